// TAboutForm: layout, contents and placement of the About box.
#include "app/AboutBox.h"
#include "app/ui_language.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "app/toolbar_icons.h"
#include "app/version.h"
#include "platform/qt/qt_surface.h"
#include "platform/qt/qt_title_fit.h"

namespace bm {

namespace {

constexpr int kClientWidth = 316;
constexpr int kClientHeight = 144;

// The labels' bold 13-pixel face: "MS Sans Serif" where the machine has it,
// else the face with Arial's metrics. Pixel sizes keep the box's texts fitting
// its fixed size whatever the desktop's font scaling.
QFont LabelFont() {
  const QString face = QStringLiteral("MS Sans Serif");
  QFont font(QFontDatabase::hasFamily(face) ? face : ResolveFontFamily("Arial"));
  font.setPixelSize(13);
  font.setBold(true);
  return font;
}

QLabel* AddLabel(QWidget* parent, const char* name, int left, int top, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(LabelFont());
  label->setAutoFillBackground(false);
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->move(left, top);
  label->adjustSize();
  return label;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("AboutForm"));
  setModal(true);
  SetTrTitle(this, metaObject()->className(), QT_TR_NOOP("Шестнадцатеричный редактор файлов Bytemoor"));
  setFixedSize(kClientWidth, kClientHeight);
  FitTitle(this);
  setSizeGripEnabled(false);

  panel1_ = new QFrame(this);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  panel1_->setFrameStyle(QFrame::Box | QFrame::Plain);
  panel1_->setLineWidth(1);
  panel1_->setGeometry(8, 8, 33, 33);
  image1_ = new QLabel(panel1_);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setGeometry(panel1_->contentsRect());
  image1_->setScaledContents(true);

  lblVersion_ = AddLabel(this, "lblVersion", 80, 16, QString());
  notice_ = TrText(this, AddLabel(this, "Label2", 56, 40, QString()), QT_TR_NOOP("Распространяется без гарантий"));
  contact_ = TrText(this, AddLabel(this, "Label3", 80, 64, QString()), QT_TR_NOOP("Замечания: команда Bytemoor"));

  btnAboutOK_ = new QPushButton(QStringLiteral("OK"), this);
  btnAboutOK_->setObjectName(QStringLiteral("btnAboutOK"));
  btnAboutOK_->setGeometry(104, 96, 113, 25);
  // The default button takes Enter; Esc rejects the box, so all three ways
  // close it.
  btnAboutOK_->setDefault(true);
  btnAboutOK_->setAutoDefault(true);
  connect(btnAboutOK_, &QPushButton::clicked, this, &QDialog::accept);

  FormCreate();
}

QString TAboutForm::VersionLine() {
  return QStringLiteral("Bytemoor - version ") + QString::fromLatin1(kProgramVersion);
}

void TAboutForm::FormCreate() {
  image1_->setPixmap(ApplicationIcon().pixmap(image1_->size()));
  lblVersion_->setText(VersionLine());
  lblVersion_->adjustSize();
}

void TAboutForm::CentreOnScreen() {
  QScreen* screen = parentWidget() ? parentWidget()->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  // The frame is known once a window manager has decorated the box; before
  // that the client area is centred.
  const QRect frame = frameGeometry();
  const QPoint offset = pos() - frame.topLeft();
  QRect placed(QPoint(0, 0), frame.size());
  placed.moveCenter(screen->geometry().center());
  move(placed.topLeft() + offset);
}

void TAboutForm::showEvent(QShowEvent* e) {
  CentreOnScreen();
  btnAboutOK_->setFocus();
  QDialog::showEvent(e);
}

}  // namespace bm
