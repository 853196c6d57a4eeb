// The About box shown by F1, and the main window getting the keyboard back
// after it closes.
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "app/AboutBox.h"
#include "app_fixture.h"
#include "platform/qt/qt_title_fit.h"

namespace bm::testing {
namespace {

// Runs act on the next modal box once it is up (the box's own loop runs
// meanwhile).
void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(modal);
  });
  timer->start(10);
}

TEST_F(AppTest, F1ShowsTheAboutBoxWithItsTextsAndSizeAndEnterOrEscCloseIt) {
  Start();
  TAboutForm* about = form->AboutForm();
  ASSERT_NE(about, nullptr);
  QWidget* seen = nullptr;
  bool centred = false;
  WhenModal([&](QWidget* w) {
    seen = w;
    const QRect screen = w->screen()->geometry();
    centred = (w->frameGeometry().center() - screen.center()).manhattanLength() <= 2;
    QTest::keyClick(w, Qt::Key_Return);
  });
  Key(Qt::Key_F1);
  EXPECT_EQ(seen, about) << "the one box made at start-up";
  EXPECT_TRUE(centred);
  EXPECT_FALSE(about->isVisible());
  EXPECT_EQ(about->result(), QDialog::Accepted);

  EXPECT_EQ(about->windowTitle(), U("Шестнадцатеричный редактор файлов Bytemoor"));
  // Wider than its 316 pixels where a window manager needs more for the title.
  EXPECT_EQ(about->size(), QSize(std::max(316, TitleBarWidth(about->windowTitle())), 144));
  EXPECT_EQ(about->minimumSize(), about->maximumSize()) << "no resizing";
  const Qt::WindowFlags flags = about->windowFlags();
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(about->lblVersion()->text(), QStringLiteral("Bytemoor - version 1.2.0.6"));
  EXPECT_EQ(about->lblVersion()->pos(), QPoint(80, 16));
  EXPECT_EQ(about->NoticeLabel()->pos(), QPoint(56, 40));
  EXPECT_EQ(about->ContactLabel()->pos(), QPoint(80, 64));
  for (QLabel* label : {about->lblVersion(), about->NoticeLabel(), about->ContactLabel()}) {
    EXPECT_FALSE(label->text().isEmpty());
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->font().pixelSize(), 13);
    EXPECT_LE(label->geometry().right(), 316) << label->text().toStdString() << " fits the box";
  }
  EXPECT_EQ(about->Panel1()->geometry(), QRect(8, 8, 33, 33));
  EXPECT_FALSE(about->Image1()->pixmap().isNull());
  EXPECT_EQ(about->btnAboutOK()->geometry(), QRect(104, 96, 113, 25));
  EXPECT_EQ(about->btnAboutOK()->text(), QStringLiteral("OK"));
  EXPECT_TRUE(about->btnAboutOK()->isDefault());

  // Esc closes it too, and a click.
  WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  Key(Qt::Key_F1);
  EXPECT_FALSE(about->isVisible());
  WhenModal([about](QWidget*) { about->btnAboutOK()->click(); });
  Key(Qt::Key_F1);
  EXPECT_FALSE(about->isVisible());
  EXPECT_EQ(about->result(), QDialog::Accepted);
}

// Without a window manager nothing gives the focus back when a modal box
// closes; the window must take it itself, or Ctrl+A would not run Go to.
TEST_F(AppTest, MenuShortcutsWorkAgainAfterAModalBoxClosesWithNoWindowReactivated) {
  Start({WriteCounting("data.bin", 100)});
  WhenModal([](QWidget* w) {
    QTest::keyClick(w, Qt::Key_Return);
    // Where the focus went nowhere: no window of the program is active.
    QApplication::setActiveWindow(nullptr);
  });
  Key(Qt::Key_F1);
  Settle();
  EXPECT_EQ(QApplication::activeWindow(), form.get());

  dialogs.AnswerInput("50");
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(dialogs.inputs.size(), 1u) << "Ctrl+A ran Go to";
  EXPECT_EQ(Editor().CursorPosition(), 50);
}

TEST_F(AppTest, CtrlAThatReachesTheEditorChangesNoData) {
  Start({WriteCounting("data.bin", 100)});
  // As the editor's key handling gets it when the window's shortcut is not
  // dispatched.
  uint16_t key = 'A';
  ShiftState ctrl;
  ctrl.ctrl = true;
  Editor().KeyDown(key, ctrl);
  Settle();
  EXPECT_EQ(Editor().DataSize(), 100);
  EXPECT_FALSE(Editor().Modified());
  EXPECT_FALSE(Editor().CanUndo());
}

}  // namespace
}  // namespace bm::testing
