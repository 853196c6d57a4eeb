// TMainForm: construction, layout, window events and the state handler.
#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>
#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AboutBox.h"
#include "app/CalchHex.h"
#include "app/compare_view.h"
#include "app/core_texts.h"
#include "app/findf.h"
#include "app/modal_return.h"
#include "app/preview.h"
#include "app/recovery_offer.h"
#include "app/settings.h"
#include "app/toolbar_icons.h"
#include "app/utf8_text.h"
#include "app/value_inspector.h"
#include "editor/byte_editor.h"
#include "editor/editor_types.h"
#include "platform/qt/qt_surface.h"
#include "widgets/editor_widget.h"

namespace bm {

namespace {

constexpr int kToolbarHeight = 25;
constexpr int kStatusBarHeight = 19;
constexpr std::array<int, 5> kPanelWidths = {200, 150, 30, 30, 100};

// The window's face, "MS Sans Serif", where the machine has it; otherwise the
// face with Arial's metrics, which is close to its widths, so that the texts
// fit the status panels as they were measured for it.
QFont WindowFont(int pixels, bool bold) {
  const QString face = QStringLiteral("MS Sans Serif");
  QFont font(QFontDatabase::hasFamily(face) ? face : ResolveFontFamily("Arial"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// A status panel is as wide as its text needs, and never narrower than its
// own width: a cut text would show a wrong offset without a sign of the cut.
// The last panel runs on to the right edge, as a status bar's last part does.
void FitPanel(QLabel* panel, int width, bool last) {
  const int needed = std::max(width, panel->sizeHint().width());
  if (last) panel->setMinimumWidth(needed);
  else panel->setFixedWidth(needed);
}

}  // namespace

QString DisplayName(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

TMainForm::TMainForm(Dialogs& dialogs, Clipboard& clipboard, std::vector<std::string> arguments,
                     FileSystem& files, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      clipboard_(clipboard),
      files_(files),
      arguments_(std::move(arguments)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowIcon(ApplicationIcon());
  setFont(WindowFont(13, true));
  move(234, 155);
  resize(696, 480);
  setAcceptDrops(true);

  BuildLayout();
  BuildToolbar();
  BuildMenu();
  BuildInspector();
  BuildInsertMode();
  ApplyKeyScheme(settings::Flag(settings::kStandardKeys, false));
  // Menus keep the desktop's menu font, as they do on other systems.
  menuBar()->setFont(QApplication::font(menuBar()));
  ApplyEditorSettings();
  // Before ModalReturn: the application runs the filter installed last first.
  qApp->installEventFilter(this);
  new ModalReturn(this);
  FormCreate();
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  FormDestroy();
  EndComparison();
  // The editor goes with the child widgets, after this object's members.
  ByteEditor1().OnStateChanged = nullptr;
  ByteEditor1().OnKeyDown = nullptr;
}

TByteEditor& TMainForm::ByteEditor1() const { return byteEditor1_->Editor(); }

void TMainForm::AttachForms(TAboutForm* about, TFindForm* find, TfmPreview* preview,
                            THexCalc* calc) {
  aboutForm_ = about;
  findForm_ = find;
  fmPreview_ = preview;
  hexCalc_ = calc;
}

std::unique_ptr<TMainForm> CreateForms(Dialogs& dialogs, Clipboard& clipboard,
                                       std::vector<std::string> arguments, FileSystem& files) {
  auto main = std::make_unique<TMainForm>(dialogs, clipboard, std::move(arguments), files);
  auto* about = new TAboutForm(main.get());
  auto* find = new TFindForm(main.get());
  auto* preview = new TfmPreview(main.get());
  auto* calc = new THexCalc(dialogs, clipboard, main.get());
  main->AttachForms(about, find, preview, calc);
  return main;
}

// ---- layout --------------------------------------------------------------------------

void TMainForm::BuildLayout() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  panel1_ = new QWidget(client);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  panel1_->setFixedHeight(kToolbarHeight);
  column->addWidget(panel1_);

  byteEditor1_ = new EditorWidget(client, files_);
  byteEditor1_->setObjectName(QStringLiteral("ByteEditor1"));
  // Told after the event that failed has been handled, not inside it.
  byteEditor1_->OnError = [this](const std::string& text) {
    QTimer::singleShot(0, this, [this, text] { ShowError(text); });
  };
  column->addWidget(byteEditor1_, 1);
  setCentralWidget(client);

  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setFont(WindowFont(11, false));
  bar->setFixedHeight(kStatusBarHeight);
  bar->setContentsMargins(0, 0, 0, 0);
  for (size_t i = 0; i < panels_.size(); ++i) {
    auto* label = new QLabel(bar);
    label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(1, 0, 1, 0);
    const bool last = i + 1 == panels_.size();
    FitPanel(label, kPanelWidths[i], last);
    bar->addWidget(label, last ? 1 : 0);
    panels_[i] = label;
  }

  byteEditor1_->setFocus();
}

void TMainForm::ApplyEditorSettings() {
  TByteEditor& ed = ByteEditor1();
  ed.SetBytesPerLine(16);
  ed.SetBytesPerColumn(1);
  ed.SetOffsetDisplay(odHex);
  ed.SetOffsetSeparator(':');
  ed.SetTranslation(ttAnsi);
  ed.SetBackupExtension(".bak");
  ed.SetFocusFrame(false);

  FontDesc font;
  font.name = "Courier New Cyr";
  font.SetHeight(13);
  font.bold = true;
  font.color = RGBColor(0, 255, 255);
  ed.SetFont(font);

  TColors& colors = ed.Colors();
  colors.SetBackground(RGBColor(0, 0, 128));
  colors.SetPositionBackground(RGBColor(255, 255, 0));
  colors.SetPositionText(RGBColor(255, 0, 0));
  colors.SetChangedBackground(RGBColor(128, 0, 0));
  colors.SetChangedText(RGBColor(192, 192, 192));
  colors.SetCursorFrame(RGBColor(255, 0, 255));
  colors.SetOffset(RGBColor(255, 255, 255));
  colors.SetOddColumn(RGBColor(0, 255, 255));
  colors.SetEvenColumn(RGBColor(192, 192, 192));

  ed.OnStateChanged = [this](TByteEditor&) { ByteEditor1StateChanged(); };
  ed.OnKeyDown = [this](uint16_t& key, ShiftState shift) { ByteEditor1KeyDown(key, shift); };
  ed.Loaded();
}

// ---- window events ------------------------------------------------------------------

void TMainForm::FormCreate() {
  const FontDesc& font = ByteEditor1().Font();
  printerFontName_ = font.name;
  printerFontSize_ = font.Size();
  calcValue_ = 0;
}

void TMainForm::FormActivate() {
  // The arguments joined by blanks, up to the first empty one, are empty
  // exactly when the first argument is.
  const bool haveArgument = !arguments_.empty() && !arguments_.front().empty();
  // Qt reports activation again after every dialog and every switch back
  // from another program; only the first one starts the program up.
  if (!firstActivation_) return;
  firstActivation_ = false;
  startingUp_ = true;
  // Work that a crashed or killed editor left comes first; a restored
  // document is not replaced by the named file.
  bool recovered = false;
  GuardedCall([&] {
    recovered = OfferRecovery(ByteEditor1(), dialogs_, [this] { return !isVisible(); });
  });
  // A window closed meanwhile (a signal during the offer) loads nothing.
  if (haveArgument && !recovered && isVisible()) {
    // Draw the window before a long copy starts.
    QCoreApplication::processEvents();
    GuardedCall([&] { OpenNamedFile(arguments_.front()); });
  } else if (haveArgument && recovered && isVisible()) {
    // The restored work stays the document; the named file is not dropped
    // without a word.
    dialogs_.MessageBox(tr("Файл \r\n%1\r\nне открыт: вместо него восстановлен несохранённый "
                           "документ. Откройте его, когда закончите с восстановленным.")
                            .arg(DisplayName(arguments_.front()))
                            .toStdString(),
                        tr("Предупреждение").toStdString(), MessageIcon::Warning, MessageButtons::Ok);
  }
  ByteEditor1().SetBytesPerColumn(1);
  jumpAmount_ = 256;
  startingUp_ = false;
  WatchDocumentFile();
}

void TMainForm::FormCloseQuery(bool& canClose) {
  canClose = false;
  GuardedCall([&] { canClose = QuerySave(); });
}

void TMainForm::FormDestroy() {
  // The search pattern lives with the search state of the Find commands.
}

bool TMainForm::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) {
    FormActivate();
    // Back from another program, which may have changed the document's file.
    ScheduleFileCheck(0);
  }
  if (e->type() == QEvent::LanguageChange) RetranslateUi();
  if (e->type() == QEvent::Show && firstActivation_) {
    // Without a window manager (or where activation is refused) the window
    // is never activated: start up from the event loop all the same.
    QTimer::singleShot(0, this, [this] { FormActivate(); });
  }
  return QMainWindow::event(e);
}

void TMainForm::closeEvent(QCloseEvent* e) {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (canClose) e->accept();
  else e->ignore();
}

void TMainForm::ShowError(const std::string& text) {
  // Messages of the layers below the windows are told in the interface language.
  dialogs_.MessageBox(CoreText(text).toStdString(), std::string(), MessageIcon::Error,
                      MessageButtons::Ok);
}

void TMainForm::Guarded(Handler handler) {
  GuardedCall([&] { (this->*handler)(); });
}

// ---- state ---------------------------------------------------------------------------

void TMainForm::ByteEditor1StateChanged() {
  TByteEditor& ed = ByteEditor1();
  if (compare_) compare_->FirstStateChanged();
  const int64_t size = ed.DataSize();
  const bool haveData = size > 0;
  speedButtons_[0]->setEnabled(true);
  speedButtons_[1]->setEnabled(ed.Modified());
  speedButtons_[2]->setEnabled(haveData);
  speedButtons_[3]->setEnabled(haveData);
  speedButtons_[4]->setEnabled(haveData);
  speedButtons_[5]->setEnabled(ed.CanUndo());
  speedButtons_[6]->setEnabled(haveData);
  speedButtons_[7]->setEnabled(haveData);

  const int64_t position = ed.CursorPosition();
  panels_[0]->setText(tr("Смещение Dec: %1 Hex: %2")
                          .arg(position)
                          .arg(QString::fromStdString(IntToHex(position, 6))));
  if (ed.SelLength() != 0) {
    const int64_t a = ed.SelStart(), b = ed.SelEnd();
    panels_[1]->setText(tr("Выделено : %1 - %2").arg(std::min(a, b)).arg(std::max(a, b)));
  } else {
    panels_[1]->clear();
  }
  panels_[2]->setText(ed.Modified() ? U("*") : QString());
  panels_[3]->setText(ed.ReadOnly() ? tr("Ч") : QString());
  panels_[3]->setToolTip(
      ed.ReadOnly() ? tr("Файл открыт только для чтения: сохраняется только под другим именем")
                    : QString());
  panels_[4]->setText(tr("Размер файла : %1").arg(size));
  for (size_t i = 0; i < panels_.size(); ++i)
    FitPanel(panels_[i], kPanelWidths[i], i + 1 == panels_.size());
  UpdateInsertPanel();

  // "[*]" is Qt's placeholder for the modified mark; a name holding it is
  // shown as it is by doubling it.
  QString name = DisplayName(ed.FileName());
  name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
  setWindowTitle(tr("Редактируемый файл - [%1]").arg(name));
  if (valueInspector1_ && !valueInspector1_->isHidden()) valueInspector1_->Refresh();
  TellIfRecoveryIsOff();
}

QString TMainForm::PanelText(int panel) const {
  if (panel == static_cast<int>(panels_.size())) return insertPanel_ ? insertPanel_->text() : QString();
  return panels_.at(static_cast<size_t>(panel))->text();
}

}  // namespace bm
