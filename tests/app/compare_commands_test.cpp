// The comparison in the main window: opening it, the count, stepping through
// the runs, edits, Esc, bad second files and a file changed meanwhile.
#include <sys/stat.h>

#include <QLabel>
#include <QScrollBar>
#include <QSplitter>
#include <set>

#include "app/app_fixture.h"
#include "app/compare_view.h"
#include "app/key_table.h"

namespace bm::testing {
namespace {

class CompareTest : public AppTest {
 protected:
  // The first file and a copy with three single bytes changed (at 5, 40 and
  // 300) and four bytes appended.
  void StartOnPair() {
    original_ = std::string(1000, '\0');
    for (size_t i = 0; i < original_.size(); ++i) original_[i] = static_cast<char>(i * 7 + 3);
    std::string copy = original_;
    for (int at : {5, 40, 300}) copy[at] = static_cast<char>(~copy[at]);
    copy += "WXYZ";
    first_ = WriteFile("first.bin", original_);
    second_ = WriteFile("second.bin", copy);
    Start({first_});
  }
  void Compare(const std::string& path) {
    dialogs.AnswerOpen(path);
    QTest::keyClick(EditorWidgetOf(), Qt::Key_K, Qt::ControlModifier);
    Settle();
  }
  QString Status() {
    auto* label = form->findChild<QLabel*>(QStringLiteral("CompareStatus"));
    return label ? label->text() : QString();
  }
  EditorWidget* Second() { return form->findChild<EditorWidget*>(QStringLiteral("CompareEditor")); }

  std::string original_, first_, second_;
};

TEST_F(CompareTest, OpensCountsStepsThroughTheRunsAndFollowsEdits) {
  StartOnPair();
  Compare(second_);
  ASSERT_NE(Second(), nullptr);
  EXPECT_NE(form->findChild<QSplitter*>(QStringLiteral("CompareSplitter")), nullptr);
  EXPECT_NE(form->findChild<QWidget*>(QStringLiteral("CompareCaption")), nullptr);
  ASSERT_EQ(dialogs.opens.size(), 1u);
  EXPECT_EQ(dialogs.opens[0].title, "Сравнить с");
  EXPECT_TRUE(Item("Compare1")->isChecked());
  EXPECT_EQ(Status(), U("Различий: 7 байт в 4 участках"));
  // A byte differs in both panes, also past the end of the shorter file.
  EXPECT_TRUE(Editor().IsByteDiffering(5));
  EXPECT_FALSE(Editor().IsByteDiffering(6));
  EXPECT_TRUE(Second()->Editor().IsByteDiffering(1002));

  // F11 visits the runs in order, in both panes, then says there are no more.
  const std::vector<std::pair<int32_t, int32_t>> runs = {{5, 5}, {40, 40}, {300, 300}, {1000, 1003}};
  for (const auto& [from, to] : runs) {
    Key(Qt::Key_F11);
    TByteEditor& second = Second()->Editor();
    EXPECT_EQ(std::min(second.SelStart(), second.SelEnd()), from);
    EXPECT_EQ(std::max(second.SelStart(), second.SelEnd()), to);
    if (from < 1000) {
      EXPECT_EQ(std::min(Editor().SelStart(), Editor().SelEnd()), from);
    }
  }
  EXPECT_EQ(Second()->Editor().TopRow(), Editor().TopRow());
  Key(Qt::Key_F11);
  ASSERT_FALSE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.messages.back().text, "Различий больше нет.");
  // Shift+F11 goes back the same way.
  Key(Qt::Key_F11, Qt::ShiftModifier);
  EXPECT_EQ(std::min(Editor().SelStart(), Editor().SelEnd()), 300);

  // An edit that removes the first run updates the marks and the count at once.
  Editor().SetSelStart(5);
  Settle();
  // Typing the second file's byte into the first makes the two agree.
  const auto v = static_cast<uint8_t>(~static_cast<uint8_t>(original_[5]));
  const char digits[3] = {"0123456789ABCDEF"[v >> 4], "0123456789ABCDEF"[v & 15], 0};
  Type(digits);
  EXPECT_FALSE(Editor().IsByteDiffering(5));
  EXPECT_EQ(Status(), U("Различий: 6 байт в 3 участках"));
  // Undo brings the difference back.
  Key(Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(Status(), U("Различий: 7 байт в 4 участках"));

  // The second pane is never changed by typing.
  Second()->setFocus();
  QTest::keyClicks(Second(), QStringLiteral("FF"));
  QTest::keyClick(Second(), Qt::Key_Delete);
  Settle();
  EXPECT_FALSE(Second()->Editor().Modified());
  EXPECT_EQ(Second()->Editor().DataSize(), 1004);

  // Esc in the second pane closes the comparison, not the program.
  QTest::keyClick(Second(), Qt::Key_Escape);
  Settle();
  EXPECT_EQ(form->Comparison(), nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(Item("Compare1")->isChecked());
  EXPECT_FALSE(Editor().IsByteDiffering(300));
}

TEST_F(CompareTest, ScrollingAndLayoutFollowTheFirstPane) {
  StartOnPair();
  Compare(second_);
  ASSERT_NE(Second(), nullptr);
  form->ByteEditor1Widget()->verticalScrollBar()->setValue(20);
  Settle();
  EXPECT_EQ(Second()->Editor().TopRow(), Editor().TopRow());
  Second()->verticalScrollBar()->setValue(10);
  Settle();
  EXPECT_EQ(Editor().TopRow(), 10);
  Item("_32")->trigger();
  Settle();
  EXPECT_EQ(Second()->Editor().BytesPerLine(), 32);
  Editor().SetSelStart(333);
  Settle();
  EXPECT_EQ(Second()->Editor().CursorPosition(), 333);
  // Choosing the item again closes the comparison; so does New.
  Item("Compare1")->trigger();
  Settle();
  EXPECT_EQ(form->Comparison(), nullptr);
  Compare(second_);
  ASSERT_NE(form->Comparison(), nullptr);
  form->Neu1Click();
  Settle();
  EXPECT_EQ(form->Comparison(), nullptr);
}

TEST_F(CompareTest, BadSecondFilesAreRefusedAndAChangedOneIsReread) {
  StartOnPair();
  const std::string fifo = Path("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& bad : {Path("missing"), Path(""), fifo}) {
    const size_t shown = dialogs.messages.size();
    Compare(bad);
    EXPECT_EQ(form->Comparison(), nullptr) << bad;
    EXPECT_EQ(dialogs.messages.size(), shown + 1) << bad;
  }
  // An empty file: every byte of the first differs, in one run.
  Compare(WriteFile("empty.bin", ""));
  ASSERT_NE(form->Comparison(), nullptr);
  EXPECT_EQ(Status(), U("Различий: 1000 байт в 1 участках"));
  form->EndComparison();
  // The document's own file: no differences until it is edited.
  Compare(first_);
  EXPECT_EQ(Status(), U("Различий: 0 байт в 0 участках"));

  // Another program changes the file; the next activation reads it again.
  WriteFile("first.bin", original_.substr(0, 990));
  emit form->Comparison()->windowActivated();
  Settle();
  EXPECT_EQ(Status(), U("Различий: 10 байт в 1 участках"));
  // ... and removes it: the comparison closes with the reason.
  std::remove(first_.c_str());
  const size_t shown = dialogs.messages.size();
  emit form->Comparison()->windowActivated();
  Settle();
  EXPECT_EQ(form->Comparison(), nullptr);
  EXPECT_EQ(dialogs.messages.size(), shown + 1);
}

TEST_F(CompareTest, TheNewKeysAreBoundOnceInBothSchemes) {
  for (bool standard : {false, true}) {
    std::set<std::string> keys;
    for (const ItemKeys& row : KeyTable())
      for (const char* key : standard ? row.standard : row.classic)
        EXPECT_TRUE(keys.insert(key).second) << key << (standard ? " standard" : " classic");
    for (const char* key : {"Ctrl+K", "F11", "Shift+F11"}) EXPECT_EQ(keys.count(key), 1u) << key;
  }
}

}  // namespace
}  // namespace bm::testing
