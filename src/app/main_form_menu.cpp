// TMainForm: the main menu, its shortcuts, the toolbar and the menu openers.
#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolButton>

#include "app/main_form.h"
#include "app/toolbar_icons.h"
#include "app/ui_language.h"
#include "editor/byte_editor.h"
#include "editor/editor_types.h"
#include "widgets/editor_widget.h"

namespace bm {

// ---- building ------------------------------------------------------------------------

QMenu* TMainForm::AddMenu(QMenu* parent, const char* name, const char* caption, Handler opener) {
  QMenu* menu = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
  SetTrText(menu, metaObject()->className(), caption);
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  if (opener) connect(menu, &QMenu::aboutToShow, this, [this, opener] { Guarded(opener); });
  return menu;
}

QAction* TMainForm::AddItem(QMenu* menu, const char* name, const char* caption,
                            const char* shortcut, Handler handler) {
  auto* item = new QAction(this);
  SetTrText(item, metaObject()->className(), caption);
  item->setObjectName(QString::fromLatin1(name));
  menu->addAction(item);
  if (handler) connect(item, &QAction::triggered, this, [this, handler] { Guarded(handler); });
  itemOpeners_[item] = openers_;

  // The keys themselves are set by ApplyKeyScheme, from the key table.
  if (shortcut) builtKeys_[item] = QString::fromLatin1(shortcut);
  return item;
}

QAction* TMainForm::AddRadioItem(QMenu* menu, QActionGroup* group, const char* name,
                                 const char* caption, int tag, bool checked, Handler handler) {
  QAction* item = AddItem(menu, name, caption, nullptr, handler);
  item->setCheckable(true);
  item->setChecked(checked);
  item->setData(tag);
  group->addAction(item);
  return item;
}

void TMainForm::BuildMenu() {
  // File
  datei1_ = AddMenu(nullptr, "Datei1", QT_TR_NOOP("&Файлы"), &TMainForm::Datei1Click);
  openers_ = {&TMainForm::Datei1Click};
  AddItem(datei1_, "Neu1", QT_TR_NOOP("&Новый"), "Shift+Ctrl+F3", &TMainForm::Neu1Click);
  AddItem(datei1_, "ffnen1", QT_TR_NOOP("&Открыть"), "F3", &TMainForm::ffnen1Click);
  speichern1_ = AddItem(datei1_, "Speichern1", QT_TR_NOOP("&Сохранить"), "F2", &TMainForm::Speichern1Click);
  speichernunter1_ = AddItem(datei1_, "Speichernunter1", QT_TR_NOOP("Записать &как"), "Shift+Ctrl+F2",
                             &TMainForm::Speichernunter1Click);
  BuildFileTools();
  compare1_ = AddItem(datei1_, "Compare1", QT_TR_NOOP("Сравнить с файлом..."), "Ctrl+K",
                      &TMainForm::Compare1Click);
  compare1_->setCheckable(true);
  datei1_->addSeparator();
  AddItem(datei1_, "N9", QT_TR_NOOP("Выбор &шрифта принтера"), "Ctrl+Q", &TMainForm::N9Click);
  AddItem(datei1_, "Printsetup1", QT_TR_NOOP("С&войства принтера"), "Ctrl+S", &TMainForm::Printsetup1Click);
  print1_ = AddItem(datei1_, "Print1", QT_TR_NOOP("&Печать"), "Ctrl+P", &TMainForm::Print1Click);
  printpreview1_ = AddItem(datei1_, "Printpreview1", QT_TR_NOOP("П&росмотр страницы"), "Ctrl+V",
                           &TMainForm::Printpreview1Click);
  datei1_->addSeparator();
  recent1_ = AddMenu(datei1_, "Recent1", QT_TR_NOOP("Последние файлы"), &TMainForm::Recent1Click);
  AddItem(datei1_, "Beenden1", QT_TR_NOOP("&Выход"), "Esc", &TMainForm::Beenden1Click);

  // Edit
  bearbeiten1_ = AddMenu(nullptr, "Bearbeiten1", QT_TR_NOOP("&Редактирование"), &TMainForm::Bearbeiten1Click);
  openers_ = {&TMainForm::Bearbeiten1Click};
  rckgngig1_ = AddItem(bearbeiten1_, "Rckgngig1", QT_TR_NOOP("&Отмена "), "Alt+Backspace",
                       &TMainForm::Rckgngig1Click);
  redo1_ = AddItem(bearbeiten1_, "Redo1", QT_TR_NOOP("&Повторить"), "Ctrl+Y", &TMainForm::Redo1Click);
  bearbeiten1_->addSeparator();
  ausschneiden1_ = AddItem(bearbeiten1_, "Ausschneiden1", QT_TR_NOOP("&Вырезать"), "Shift+Del",
                           &TMainForm::Ausschneiden1Click);
  kopieren1_ = AddItem(bearbeiten1_, "Kopieren1", QT_TR_NOOP("&Копировать"), "Ctrl+Ins",
                       &TMainForm::Kopieren1Click);
  einfgen1_ = AddItem(bearbeiten1_, "Einfgen1", QT_TR_NOOP("В&ставить"), "Shift+Ins",
                      &TMainForm::Einfgen1Click);
  selectAll1_ =
      AddItem(bearbeiten1_, "SelectAll1", QT_TR_NOOP("Выд&елить всё"), nullptr, &TMainForm::SelectAll1Click);
  BuildEditTools();
  bearbeiten1_->addSeparator();
  goto1_ = AddItem(bearbeiten1_, "Goto1", QT_TR_NOOP("&Перейти по адресу..."), "Ctrl+A",
                   &TMainForm::Goto1Click);
  jump1_ = AddMenu(bearbeiten1_, "Jump1", QT_TR_NOOP("С&местить"), &TMainForm::Jump1Click);
  // The submenu's own opener sets the states of its items.
  openers_ = {&TMainForm::Jump1Click};
  amount40001_ = AddItem(jump1_, "Amount40001", QT_TR_NOOP(" &На байт: 100"), nullptr,
                         &TMainForm::Amount40001Click);
  jump1_->addSeparator();
  jumpforward1_ = AddItem(jump1_, "Jumpforward1", QT_TR_NOOP("Шаг &вперед"), "F4",
                          &TMainForm::Jumpforward1Click);
  jumpbackward1_ = AddItem(jump1_, "Jumpbackward1", QT_TR_NOOP("Шаг на&зад"), "F5",
                           &TMainForm::Jumpbackward1Click);
  openers_ = {&TMainForm::Bearbeiten1Click};
  find1_ = AddItem(bearbeiten1_, "Find1", QT_TR_NOOP("&Найти"), "F7", &TMainForm::Find1Click);
  findNext1_ = AddItem(bearbeiten1_, "FindNext1", QT_TR_NOOP("Н&айти еще раз"), "F8",
                       &TMainForm::FindNext1Click);
  findPrev1_ = AddItem(bearbeiten1_, "FindPrev1", QT_TR_NOOP("Найти &предыдущее"), "Shift+F8",
                       &TMainForm::FindPrev1Click);
  replace1_ = AddItem(bearbeiten1_, "Replace1", QT_TR_NOOP("&Заменить..."), "Ctrl+R",
                      &TMainForm::Replace1Click);
  nextDiff1_ = AddItem(bearbeiten1_, "NextDiff1", QT_TR_NOOP("Следующее различие"), "F11",
                       &TMainForm::NextDiff1Click);
  prevDiff1_ = AddItem(bearbeiten1_, "PrevDiff1", QT_TR_NOOP("Предыдущее различие"), "Shift+F11",
                       &TMainForm::PrevDiff1Click);
  bearbeiten1_->addSeparator();
  AddItem(bearbeiten1_, "N8", QT_TR_NOOP("Ка&лькулятор"), "F6", &TMainForm::N8Click);

  // View
  view1_ = AddMenu(nullptr, "View1", QT_TR_NOOP("&Параметры просмотра"), &TMainForm::View1Click);
  openers_ = {&TMainForm::View1Click};
  QMenu* lineSize = AddMenu(view1_, "Linesize1", QT_TR_NOOP("Размер строки"), nullptr);
  auto* lineGroup = new QActionGroup(this);
  AddRadioItem(lineSize, lineGroup, "_16", QT_TR_NOOP("16 Байт"), 16, true, &TMainForm::_64Click);
  AddRadioItem(lineSize, lineGroup, "_32", QT_TR_NOOP("32 Байта"), 32, false, &TMainForm::_64Click);
  AddRadioItem(lineSize, lineGroup, "_64", QT_TR_NOOP("64 Байта"), 64, false, &TMainForm::_64Click);

  QMenu* blockSize = AddMenu(view1_, "Blocksize1", QT_TR_NOOP("Группировать"), &TMainForm::Blocksize1Click);
  auto* blockGroup = new QActionGroup(this);
  AddRadioItem(blockSize, blockGroup, "N1Byteperblock1", QT_TR_NOOP("Байты"), 1, true,
               &TMainForm::N4Bytesperblock1Click);
  AddRadioItem(blockSize, blockGroup, "N2Bytesperblock1", QT_TR_NOOP("Слово"), 2, false,
               &TMainForm::N4Bytesperblock1Click);
  AddRadioItem(blockSize, blockGroup, "N4Bytesperblock1", QT_TR_NOOP("Двойное слово"), 4, false,
               &TMainForm::N4Bytesperblock1Click);

  QMenu* caret = AddMenu(view1_, "Caretstyle1", QT_TR_NOOP("Форма курсора"), &TMainForm::Caretstyle1Click);
  auto* caretGroup = new QActionGroup(this);
  AddRadioItem(caret, caretGroup, "Fullblock1", QT_TR_NOOP("На весь символ"), 0, true,
               &TMainForm::Bottomline1Click);
  AddRadioItem(caret, caretGroup, "Leftline1", QT_TR_NOOP("Линия слева"), 1, false,
               &TMainForm::Bottomline1Click);
  AddRadioItem(caret, caretGroup, "Bottomline1", QT_TR_NOOP("Линия под символом"), 2, false,
               &TMainForm::Bottomline1Click);

  QMenu* offsets =
      AddMenu(view1_, "Offsetdisplay1", QT_TR_NOOP("Смещение в окне"), &TMainForm::Offsetdisplay1Click);
  auto* offsetGroup = new QActionGroup(this);
  AddRadioItem(offsets, offsetGroup, "Hex1", QT_TR_NOOP("В hex - виде"), 0, true, &TMainForm::None1Click);
  AddRadioItem(offsets, offsetGroup, "Dec1", QT_TR_NOOP("В dec - виде"), 1, false, &TMainForm::None1Click);
  AddRadioItem(offsets, offsetGroup, "oct1", QT_TR_NOOP("В oct - виде"), 2, false, &TMainForm::None1Click);
  AddRadioItem(offsets, offsetGroup, "None1", QT_TR_NOOP("Не показывать"), 3, false, &TMainForm::None1Click);

  view1_->addSeparator();
  QMenu* charset = AddMenu(view1_, "N13", QT_TR_NOOP("&Кодировка символов"), nullptr);
  auto* charsetGroup = new QActionGroup(this);
  AddRadioItem(charset, charsetGroup, "Win1", QT_TR_NOOP("Win-Симв&олы"), 0, true, &TMainForm::Win1Click);
  AddRadioItem(charset, charsetGroup, "ASCIItoANSI1", QT_TR_NOOP("OEM - &Символы"), 1, false,
               &TMainForm::ASCIItoANSI1Click);
  AddRadioItem(charset, charsetGroup, "N10", QT_TR_NOOP("ASCII-С&имволы"), 2, false, &TMainForm::N10Click);
  AddRadioItem(charset, charsetGroup, "N11", QT_TR_NOOP("EBCDIC-Сим&волы"), 3, false, &TMainForm::N11Click);
  AddRadioItem(charset, charsetGroup, "N12", QT_TR_NOOP("Mac-Си&мволы"), 4, false, &TMainForm::N12Click);

  QAction* grid = AddItem(view1_, "Grid1", QT_TR_NOOP("С&етка"), nullptr, &TMainForm::Grid1Click);
  grid->setCheckable(true);
  grid->setChecked(false);
  QAction* markers =
      AddItem(view1_, "Showmarkers1", QT_TR_NOOP("&Отступ в пробел"), nullptr, &TMainForm::Showmarkers1Click);
  markers->setCheckable(true);
  markers->setChecked(true);
  QAction* inspector = AddItem(view1_, "ValueInspector1", QT_TR_NOOP("Инспектор значений"), "F9",
                              &TMainForm::ValueInspector1Click);
  inspector->setCheckable(true);
  QAction* ruler =
      AddItem(view1_, "ColumnRuler1", QT_TR_NOOP("Линейка столбцов"), nullptr, &TMainForm::ColumnRuler1Click);
  ruler->setCheckable(true);
  view1_->addSeparator();
  standardKeys1_ = AddItem(view1_, "StandardKeys1", QT_TR_NOOP("Клавиши как в большинстве программ"), nullptr,
                           &TMainForm::StandardKeys1Click);
  standardKeys1_->setCheckable(true);
  QAction* allowInsert = AddItem(view1_, "AllowInsert1", QT_TR_NOOP("Разрешить режим вставки"), nullptr,
                                 &TMainForm::AllowInsert1Click);
  allowInsert->setCheckable(true);
  BuildLanguageMenu();

  // Help
  QMenu* help = AddMenu(nullptr, "Hilfe1", QT_TR_NOOP("&Информация"), nullptr);
  openers_.clear();
  AddItem(help, "Info1", QT_TR_NOOP("&Информация"), "F1", &TMainForm::Info1Click);
  openers_.clear();
}

void TMainForm::BuildToolbar() {
  struct Button {
    int left;
    const char* hint;
    ToolbarGlyph glyph;
    Handler handler;
  };
  static const std::array<Button, 8> kButtons = {{
      {0, QT_TR_NOOP("Открыть"), ToolbarGlyph::Open, &TMainForm::SpeedButton1Click},
      {24, QT_TR_NOOP("Сохранить"), ToolbarGlyph::Save, &TMainForm::SpeedButton2Click},
      {48, QT_TR_NOOP("Печать"), ToolbarGlyph::Print, &TMainForm::SpeedButton3Click},
      {96, QT_TR_NOOP("Найти"), ToolbarGlyph::Find, &TMainForm::SpeedButton4Click},
      {120, QT_TR_NOOP("Найти еще раз"), ToolbarGlyph::FindNext, &TMainForm::SpeedButton5Click},
      {168, QT_TR_NOOP("Отмена"), ToolbarGlyph::Undo, &TMainForm::SpeedButton6Click},
      {192, QT_TR_NOOP("Шаг назад"), ToolbarGlyph::StepBack, &TMainForm::SpeedButton7Click},
      {216, QT_TR_NOOP("Шаг в перед"), ToolbarGlyph::StepForward, &TMainForm::SpeedButton8Click},
  }};
  for (size_t i = 0; i < kButtons.size(); ++i) {
    const Button& b = kButtons[i];
    auto* button = new QToolButton(panel1_);
    button->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
    button->setGeometry(b.left, 0, 25, 25);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(ToolbarIcon(b.glyph));
    button->setIconSize(QSize(16, 16));
    SetTrToolTip(button, metaObject()->className(), b.hint);
    const Handler handler = b.handler;
    connect(button, &QToolButton::clicked, this, [this, handler] { Guarded(handler); });
    speedButtons_[i] = button;
  }
}

// ---- shortcuts -----------------------------------------------------------------------

// A shortcut refreshes the item states through the item's menu openers before
// it looks at the item, so that it acts on the state of the moment rather
// than on the one the menu last showed: F2 after an edit saves even when the
// File menu was last opened before the edit.
void TMainForm::DispatchShortcut(QAction* item) {
  const auto it = itemOpeners_.find(item);
  if (it != itemOpeners_.end())
    for (Handler opener : it->second) Guarded(opener);
  if (item->isEnabled()) item->trigger();
}

// ---- openers -------------------------------------------------------------------------

void TMainForm::Datei1Click() {
  TByteEditor& ed = ByteEditor1();
  const bool haveData = ed.DataSize() > 0;
  // A read-only document is saved under another name: Save asks for it.
  speichern1_->setEnabled(ed.Modified());
  speichernunter1_->setEnabled(haveData);
  printpreview1_->setEnabled(haveData);
  print1_->setEnabled(haveData);
  ToolsFileStates();
  compare1_->setChecked(compare_ != nullptr);
  // A submenu that would open empty is disabled.
  Recent1Click();
}

void TMainForm::Bearbeiten1Click() {
  TByteEditor& ed = ByteEditor1();
  const bool haveData = ed.DataSize() > 0;
  rckgngig1_->setEnabled(ed.CanUndo());
  redo1_->setEnabled(ed.CanRedo());
  ausschneiden1_->setEnabled(ed.SelLength() > 0);
  kopieren1_->setEnabled(ed.SelLength() > 0);
  einfgen1_->setEnabled(clipboard_.HasBytes() || clipboard_.HasText());
  selectAll1_->setEnabled(haveData);
  goto1_->setEnabled(haveData);
  find1_->setEnabled(haveData);
  findNext1_->setEnabled(haveData);
  findPrev1_->setEnabled(haveData);
  replace1_->setEnabled(ReplaceAllowed());
  ToolsEditStates();
  nextDiff1_->setEnabled(compare_ != nullptr);
  prevDiff1_->setEnabled(compare_ != nullptr);
}

void TMainForm::Jump1Click() {
  // An amount within 32 bits shows its 32-bit pattern, a larger one its 64-bit one.
  const bool narrow = jumpAmount_ >= INT32_MIN && jumpAmount_ <= INT32_MAX;
  const QString pattern =
      narrow ? QString::fromStdString(IntToHex(static_cast<uint32_t>(jumpAmount_), 4))
             : QString::number(static_cast<qulonglong>(jumpAmount_), 16).toUpper();
  amount40001_->setText(tr("Шаг на, байт : 0x%1 (%2)").arg(pattern).arg(jumpAmount_));
  const bool haveData = ByteEditor1().DataSize() > 0;
  jumpforward1_->setEnabled(haveData);
  jumpbackward1_->setEnabled(haveData);
}

// ---- toolbar -------------------------------------------------------------------------

void TMainForm::SpeedButton1Click() { ffnen1Click(); }
void TMainForm::SpeedButton2Click() { Speichern1Click(); }
// The print button prints, like the File menu's item.
void TMainForm::SpeedButton3Click() { Print1Click(); }
void TMainForm::SpeedButton4Click() { Find1Click(); }
void TMainForm::SpeedButton5Click() { FindNext1Click(); }
void TMainForm::SpeedButton6Click() { Rckgngig1Click(); }
void TMainForm::SpeedButton7Click() { Jumpbackward1Click(); }
void TMainForm::SpeedButton8Click() { Jumpforward1Click(); }

}  // namespace bm
