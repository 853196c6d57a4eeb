// The number edit on Qt: keys, focus, the clipboard keys and the context
// menu, each as the user reaches them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "app/number_edit_control.h"
#include "support/scripted_dialogs.h"

namespace bm {
namespace {

class NumberEditControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    auto* column = new QVBoxLayout(window_.get());
    edit = new TNumberEdit(clipboard, window_.get());
    other = new QLineEdit(window_.get());
    column->addWidget(edit);
    column->addWidget(other);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  // Puts the focus in the edit with the caret at the end.
  void Enter(const char* text) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->SetText(text);
    edit->end(false);
  }
  void Leave() { other->setFocus(Qt::TabFocusReason); }
  QString Text() const { return edit->text(); }
  QAction* MenuItem(QMenu* menu, const char* name) {
    QAction* item = menu->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(item, nullptr) << name;
    return item;
  }

  MemoryClipboard clipboard;
  TNumberEdit* edit = nullptr;
  QLineEdit* other = nullptr;

 private:
  std::unique_ptr<QWidget> window_;
};

TEST_F(NumberEditControlTest, TypedKeysAreUpperCasedOrDropped) {
  Enter("");
  QTest::keyClicks(edit, "1a-f z");
  EXPECT_EQ(Text(), "1AF");
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape})
    QTest::keyClick(edit, key);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);  // no select-all
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(Text(), "1A");
  EXPECT_EQ(edit->cursorPosition(), 2);

  edit->SetNumBase(ebBin);
  Enter("");
  QTest::keyClicks(edit, "1201");
  EXPECT_EQ(Text(), "101");
  // The same number in the other bases, as the calculator's choice shows it.
  edit->SetNumBase(ebHex);
  Enter("FF");
  edit->SetNumBase(ebDec);
  EXPECT_EQ(Text(), "255");
  edit->SetNumBase(ebOct);
  EXPECT_EQ(Text(), "377");
  edit->SetNumBase(ebBin);
  EXPECT_EQ(Text(), "11111111");
}

TEST_F(NumberEditControlTest, ValidateRefusesKeysLeavingTheRange) {
  edit->SetNumBase(ebDec);
  edit->SetMaxValue(100);
  edit->SetMinValue(10);
  edit->SetValidate(true);
  Enter("50");
  QTest::keyClick(edit, Qt::Key_0);
  EXPECT_EQ(Text(), "50") << "500 is above the range";
  edit->setCursorPosition(0);
  QTest::keyClick(edit, Qt::Key_Delete);
  EXPECT_EQ(Text(), "50") << "0 is below the range";
  edit->setCursorPosition(1);
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(Text(), "50");
  // The edit's own word and line deletions are held to the range as well.
  QTest::keyClick(edit, Qt::Key_Delete, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Backspace, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_K, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "50");
  edit->setSelection(1, 1);
  QTest::keyClick(edit, Qt::Key_1);
  EXPECT_EQ(Text(), "51");
}

TEST_F(NumberEditControlTest, FocusExitRewritesTheTextFromItsNumber) {
  edit->SetNumBase(ebDec);
  Enter("007");
  Leave();
  EXPECT_EQ(Text(), "7");
  Enter("");
  Leave();
  EXPECT_EQ(Text(), "0");

  edit->SetMaxValue(100);
  edit->SetMinValue(10);
  edit->SetValidate(true);
  Enter("5");  // set directly, past the checks
  EXPECT_EQ(Text(), "5");
  Leave();
  EXPECT_EQ(Text(), "10");
}

TEST_F(NumberEditControlTest, FocusEntrySelectsAllExceptByLeftClick) {
  edit->SetText("1234");
  other->setFocus();
  QTest::keyClick(other, Qt::Key_Tab);
  ASSERT_TRUE(edit->hasFocus());
  EXPECT_EQ(edit->selectedText(), "1234");

  other->setFocus();
  QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
  ASSERT_TRUE(edit->hasFocus());
  EXPECT_FALSE(edit->hasSelectedText());

  other->setFocus();
  edit->SetAutoSelect(false);
  QTest::keyClick(other, Qt::Key_Tab);
  ASSERT_TRUE(edit->hasFocus());
  EXPECT_FALSE(edit->hasSelectedText());
}

TEST_F(NumberEditControlTest, PasteIsTestedAsHeadPlusClipboardPlusTail) {
  edit->SetNumBase(ebDec);
  Enter("");
  clipboard.SetText("1A");
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Text(), "");
  clipboard.SetText("12");
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "12");

  Enter("12345");
  edit->selectAll();
  clipboard.SetText("9");
  QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Text(), "9");

  // Copy and cut go to the program's clipboard.
  Enter("678");
  edit->setSelection(1, 2);
  QTest::keyClick(edit, Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(clipboard.Text(), "78");
  edit->setSelection(0, 1);
  QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(clipboard.Text(), "6");
  EXPECT_EQ(Text(), "78");
  clipboard.Clear();
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "78") << "nothing to paste";
}

TEST_F(NumberEditControlTest, ContextMenuOffersOnlyWhatTheTestsAllow) {
  edit->SetNumBase(ebDec);
  Enter("45");
  clipboard.SetText("1A");
  {
    std::unique_ptr<QMenu> menu(edit->CreateContextMenu());
    EXPECT_FALSE(MenuItem(menu.get(), "edit-paste")->isEnabled());
    EXPECT_FALSE(MenuItem(menu.get(), "edit-cut")->isEnabled()) << "nothing selected";
    for (QAction* item : menu->actions())
      EXPECT_NE(item->objectName(), "edit-undo") << "undo could bring back any text";
  }
  clipboard.SetText("3");
  edit->setSelection(0, 1);
  {
    std::unique_ptr<QMenu> menu(edit->CreateContextMenu());
    QAction* paste = MenuItem(menu.get(), "edit-paste");
    ASSERT_TRUE(paste->isEnabled());
    paste->trigger();
  }
  EXPECT_EQ(Text(), "35");

  edit->SetMaxValue(100);
  edit->SetMinValue(10);
  edit->SetValidate(true);
  edit->setSelection(0, 1);
  std::unique_ptr<QMenu> menu(edit->CreateContextMenu());
  EXPECT_FALSE(MenuItem(menu.get(), "edit-cut")->isEnabled()) << "5 is below the range";
  EXPECT_FALSE(MenuItem(menu.get(), "edit-delete")->isEnabled());
  EXPECT_TRUE(MenuItem(menu.get(), "edit-copy")->isEnabled());
  MenuItem(menu.get(), "edit-cut")->trigger();  // a stale menu still tests
  EXPECT_EQ(Text(), "35");
}

TEST_F(NumberEditControlTest, DroppedTextDoesNotGetIn) {
  Enter("12");
  QMimeData data;
  data.setText(QStringLiteral("zz"));
  const QPointF at(2, edit->height() / 2);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(edit, &enter);
  EXPECT_FALSE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(edit, &drop);
  EXPECT_EQ(Text(), "12");
}

}  // namespace
}  // namespace bm
