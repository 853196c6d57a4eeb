// The Replace dialog: its controls, keys and the case box that only text
// searches use.
#include "app/replace_form.h"
#include "app/ui_language.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/dialog_font.h"
#include "app/utf8_text.h"
#include "platform/codepage.h"
#include "platform/qt/qt_surface.h"
#include "platform/qt/qt_title_fit.h"

namespace bm {

namespace {

std::string AnsiBytes(const QString& text) {
  std::string bytes;
  for (char32_t ch : text.toUcs4()) {
    const int b = UnicodeToAnsi(ch);
    bytes.push_back(static_cast<char>(b < 0 ? '?' : b));
  }
  return bytes;
}

// A group of the two kinds "Строка" and "Код" at top within the dialog.
QGroupBox* ModeGroup(QWidget* parent, const char* name, const char* caption, int top,
                     QRadioButton* (&items)[2], const QFont& font) {
  auto* group = TrText(parent, new QGroupBox(parent), caption);
  group->setObjectName(QString::fromLatin1(name));
  group->setGeometry(8, top, 193, 41);
  group->setFont(font);
  const char* texts[2] = {QT_TRANSLATE_NOOP("bm::TReplaceForm", "Строка"),
                          QT_TRANSLATE_NOOP("bm::TReplaceForm", "Код")};
  for (int i = 0; i < 2; ++i) {
    items[i] = TrText(parent, new QRadioButton(group), texts[i]);
    items[i]->setObjectName(QStringLiteral("%1Item%2").arg(QString::fromLatin1(name)).arg(i));
    items[i]->setGeometry(8 + i * 92, 17, 88, 20);
  }
  items[0]->setChecked(true);
  return group;
}

}  // namespace

TReplaceForm::TReplaceForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ReplaceForm"));
  setModal(true);
  SetTrTitle(this, metaObject()->className(), QT_TR_NOOP("Замена данных"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(481, 250);
  FitTitle(this);
  setFont(DialogFont(11, false));
  const QFont system = DialogFont(13, true);

  auto* findLabel = TrText(this, new QLabel(this), QT_TR_NOOP("&Найти:"));
  findLabel->setGeometry(8, 6, 465, 16);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(8, 22, 465, 21);
  findLabel->setBuddy(Edit1);
  ModeGroup(this, "RadioGroup1", QT_TR_NOOP("Искать"), 48, FindItems, system);
  CheckBox1 = TrText(this, new QCheckBox(this), QT_TR_NOOP("Прописные и строчные буквы различать"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setGeometry(208, 64, 265, 17);

  auto* replaceLabel = TrText(this, new QLabel(this), QT_TR_NOOP("&Заменить на:"));
  replaceLabel->setGeometry(8, 98, 465, 16);
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setGeometry(8, 114, 465, 21);
  replaceLabel->setBuddy(Edit2);
  ModeGroup(this, "RadioGroup2", QT_TR_NOOP("Вставить"), 140, ReplaceItems, system);

  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
  StatusLabel->setGeometry(208, 156, 265, 20);

  struct ButtonDef {
    QPushButton** button;
    const char* name;
    const char* caption;
  };
  const ButtonDef buttons[] = {
      {&FindNextButton, "FindNextButton", QT_TR_NOOP("Найти далее")},
      {&ReplaceButton, "ReplaceButton", QT_TR_NOOP("Заменить")},
      {&ReplaceAllButton, "ReplaceAllButton", QT_TR_NOOP("Заменить все")},
      {&FindAllButton, "FindAllButton", QT_TR_NOOP("Найти все")},
      {&CloseButton, "CloseButton", QT_TR_NOOP("Закрыть")},
  };
  for (int i = 0; i < 5; ++i) {
    auto* b = TrText(this, new QPushButton(this), buttons[i].caption);
    b->setObjectName(QString::fromLatin1(buttons[i].name));
    b->setGeometry(8 + i * 94, 214, 90, 25);
    b->setAutoDefault(false);
    *buttons[i].button = b;
  }
  FindNextButton->setDefault(true);  // Enter finds the next match
  connect(FindNextButton, &QPushButton::clicked, this, [this] {
    if (OnFindNext) OnFindNext();
  });
  connect(ReplaceButton, &QPushButton::clicked, this, [this] {
    if (OnReplace) OnReplace();
  });
  connect(ReplaceAllButton, &QPushButton::clicked, this, [this] {
    if (OnReplaceAll) OnReplaceAll();
  });
  connect(FindAllButton, &QPushButton::clicked, this, [this] {
    if (OnFindAll) OnFindAll();
  });
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
  for (QRadioButton* item : FindItems)
    connect(item, &QRadioButton::toggled, this, [this](bool on) {
      if (on) ModeChanged();
    });

  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, FindNextButton);
}

void TReplaceForm::ShowModal() {
  StatusLabel->clear();
  Edit1->setSelection(0, static_cast<int>(Edit1->text().size()));
  exec();
  if (QWidget* owner = parentWidget()) owner->window()->activateWindow();
}

int TReplaceForm::FindMode() const { return FindItems[1]->isChecked() ? 1 : 0; }
void TReplaceForm::SetFindMode(int mode) { FindItems[mode == 1 ? 1 : 0]->setChecked(true); }
int TReplaceForm::ReplaceMode() const { return ReplaceItems[1]->isChecked() ? 1 : 0; }
void TReplaceForm::SetReplaceMode(int mode) { ReplaceItems[mode == 1 ? 1 : 0]->setChecked(true); }
bool TReplaceForm::CaseSensitive() const { return CheckBox1->isChecked(); }
std::string TReplaceForm::FindText() const { return AnsiBytes(Edit1->text()); }
std::string TReplaceForm::ReplaceText() const { return AnsiBytes(Edit2->text()); }
void TReplaceForm::ShowStatus(const QString& text) { StatusLabel->setText(text); }

void TReplaceForm::ModeChanged() { CheckBox1->setEnabled(FindMode() != 1); }

bool TReplaceForm::event(QEvent* e) {
  const bool handled = QDialog::event(e);
  // Shown without a window manager the dialog may never be activated.
  if (e->type() == QEvent::Show) Edit1->setFocus();
  return handled;
}

void TReplaceForm::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    reject();
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace bm
