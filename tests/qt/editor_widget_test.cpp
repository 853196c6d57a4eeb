#include "widgets/editor_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <unistd.h>

#include "platform/scroll_map.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::Pattern;
using testing::TempDir;

class EditorWidgetTest : public ::testing::Test {
 protected:
  void Open(size_t size) { Open(Pattern(size)); }
  void Open(const std::vector<unsigned char>& bytes) {
    window_.resize(800, 600);
    auto* layout = new QVBoxLayout(&window_);
    widget_ = new EditorWidget(&window_);
    other_ = new QLineEdit(&window_);
    layout->addWidget(widget_);
    layout->addWidget(other_);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    ASSERT_TRUE(ed().LoadFromFile(dir_.Write("data.bin", bytes)));
    QApplication::processEvents();
  }
  TByteEditor& ed() { return widget_->Editor(); }
  QPoint CellCenter(int col, int row) {
    const Rect r = ed().CellRect(col, row);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  // Colours of a cell in a grab: (background, text) taken as the most
  // frequent and the second most frequent colour.
  static std::pair<QColor, QColor> CellColors(const QImage& img, const Rect& r) {
    std::map<QRgb, int> count;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ++count[img.pixel(x, y)];
    std::vector<std::pair<int, QRgb>> byCount;
    for (auto [c, n] : count) byCount.push_back({n, c});
    std::sort(byCount.rbegin(), byCount.rend());
    return {QColor(byCount.at(0).second), byCount.size() > 1 ? QColor(byCount[1].second) : QColor()};
  }

  TempDir dir_;
  QWidget window_;
  EditorWidget* widget_ = nullptr;
  QLineEdit* other_ = nullptr;
};

TEST_F(EditorWidgetTest, PaintsCellsInTheirColours) {
  Open(64);
  ed().SetSelStart(1);
  ed().SetSelEnd(2);
  const QImage img = widget_->viewport()->grab().toImage();
  ASSERT_FALSE(img.isNull());
  // Byte 1 (first group, blue) and byte 2 (second group, navy) are selected;
  // the second digit columns carry no caret or frame.
  auto [back1, text1] = CellColors(img, ed().CellRect(5, 0));
  EXPECT_EQ(back1, QColor(0, 0, 255));
  EXPECT_EQ(text1, QColor(255, 255, 0));
  auto [back2, text2] = CellColors(img, ed().CellRect(7, 0));
  EXPECT_EQ(back2, QColor(0, 0, 128));
  EXPECT_EQ(text2, QColor(255, 255, 127));
  // Byte 3 is not selected: navy digit on the window colour.
  auto [back3, text3] = CellColors(img, ed().CellRect(9, 0));
  EXPECT_EQ(back3, QColor(255, 255, 255));
  EXPECT_EQ(text3, QColor(0, 0, 128));
  // The offset cell of row 1 has black text on white.
  auto [back4, text4] = CellColors(img, ed().CellRect(0, 1));
  EXPECT_EQ(back4, QColor(255, 255, 255));
  EXPECT_EQ(text4, QColor(0, 0, 0));
}

TEST_F(EditorWidgetTest, PostedMessagesArriveFromTheLoopInOrderAndUnmerged) {
  Open(16);
  std::vector<int32_t> seen;
  int calls = 0;
  ed().OnStateChanged = [&](TByteEditor& e) {
    ++calls;
    seen.push_back(e.SelStart());
    // A post made while one is delivered waits for a later turn of the loop.
    if (calls == 1) widget_->PostMessage(kStateChangedMessage, kStateChangedParam, 7);
  };
  widget_->PostMessage(kStateChangedMessage, kStateChangedParam, 7);
  widget_->PostMessage(kStateChangedMessage, 99, 7);  // not the notification
  widget_->PostMessage(kStateChangedMessage, kStateChangedParam, 7);
  EXPECT_EQ(calls, 0);
  QCoreApplication::sendPostedEvents(widget_);
  EXPECT_EQ(calls, 2);
  QCoreApplication::sendPostedEvents(widget_);
  EXPECT_EQ(calls, 3);
  // An editor operation posts too, delivered once the loop runs.
  ed().SetSelStart(5);
  EXPECT_EQ(calls, 3);
  QApplication::processEvents();
  ASSERT_GT(calls, 3);
  EXPECT_EQ(seen.back(), 5);
}

TEST_F(EditorWidgetTest, UpdateLocksNestAndTheBusyCursorIsBalanced) {
  Open(16);
  QWidget* vp = widget_->viewport();
  widget_->LockUpdate(true);
  widget_->LockUpdate(true);
  widget_->LockUpdate(false);
  EXPECT_FALSE(vp->updatesEnabled());
  widget_->LockUpdate(false);
  EXPECT_TRUE(vp->updatesEnabled());
  widget_->LockUpdate(false);  // an unlock too many changes nothing
  widget_->LockUpdate(true);
  EXPECT_FALSE(vp->updatesEnabled());
  widget_->LockUpdate(false);
  EXPECT_TRUE(vp->updatesEnabled());

  widget_->SetBusyCursor(true);
  widget_->SetBusyCursor(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  widget_->SetBusyCursor(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  widget_->SetBusyCursor(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(EditorWidgetTest, ScrollBarsFollowTheGridAndMoveIt) {
  Open(16 * 5000);
  QScrollBar* v = widget_->verticalScrollBar();
  EXPECT_EQ(v->minimum(), 0);
  EXPECT_EQ(v->maximum(), ed().MaxTopRow());
  EXPECT_EQ(v->pageStep(), ed().VisibleRowCount());
  EXPECT_GT(ed().MaxTopRow(), 4000);

  ed().SetTopRow(1234);
  EXPECT_EQ(v->value(), 1234);
  // Ctrl+End moves the cursor to the last row and the bar with it.
  QTest::keyClick(widget_, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(ed().Row(), 4999);
  EXPECT_EQ(v->value(), ed().TopRow());
  EXPECT_EQ(v->value(), ed().MaxTopRow());

  // The user drags the bar: the grid follows, the caret leaves the screen
  // with the cursor cell.
  widget_->setFocus();
  v->setValue(100);
  EXPECT_EQ(ed().TopRow(), 100);
  EXPECT_EQ(widget_->CaretPos(), QPoint(-50, -50));

  QScrollBar* h = widget_->horizontalScrollBar();
  widget_->resize(250, 300);
  QApplication::processEvents();
  ASSERT_GT(h->maximum(), h->minimum());
  EXPECT_EQ(h->minimum(), ed().FixedCols());
  h->setValue(h->minimum() + 3);
  EXPECT_EQ(ed().LeftCol(), h->minimum() + 3);
}

TEST_F(EditorWidgetTest, WheelScrollsThreeRowsANotch) {
  Open(16 * 1000);
  ed().SetTopRow(50);
  auto wheel = [&](int delta) {
    const QPointF pos(100, 100);
    QWheelEvent e(pos, widget_->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget_->viewport(), &e);
  };
  wheel(-120);
  EXPECT_EQ(ed().TopRow(), 53);
  wheel(120);
  wheel(120);
  EXPECT_EQ(ed().TopRow(), 47);
  // Partial deltas of a smooth wheel add up to whole notches.
  wheel(-60);
  EXPECT_EQ(ed().TopRow(), 47);
  wheel(-60);
  EXPECT_EQ(ed().TopRow(), 50);
  EXPECT_EQ(widget_->verticalScrollBar()->value(), 50);
}

TEST_F(EditorWidgetTest, KeysAndTypedCharactersReachTheEditor) {
  Open(std::vector<unsigned char>(64, 0x00));
  widget_->setFocus();
  ASSERT_TRUE(widget_->hasFocus());
  // Overwrite the first byte with two hex digits; the cursor goes on.
  QTest::keyClicks(widget_, "4a");
  EXPECT_EQ(ed().ReadByte(0), 0x4A);
  EXPECT_EQ(ed().CursorPosition(), 1);
  QTest::keyClick(widget_, Qt::Key_Right);
  QTest::keyClick(widget_, Qt::Key_Right);
  EXPECT_EQ(ed().CursorPosition(), 2);
  // Tab switches to the character field and keeps the focus.
  QTest::keyClick(widget_, Qt::Key_Tab);
  EXPECT_TRUE(widget_->hasFocus());
  ed().CellToPosition(ed().Col(), ed().Row());
  EXPECT_TRUE(ed().InCharField());
  QTest::keyClick(widget_, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(widget_->hasFocus());
  ed().CellToPosition(ed().Col(), ed().Row());
  EXPECT_FALSE(ed().InCharField());
  QTest::keyClick(widget_, Qt::Key_Tab);
  // A Cyrillic letter is typed as its Windows-1251 byte.
  QKeyEvent press(QEvent::KeyPress, 0x0416, Qt::NoModifier, QString::fromUtf8("Ж"));
  QKeyEvent release(QEvent::KeyRelease, 0x0416, Qt::NoModifier, QString::fromUtf8("Ж"));
  QApplication::sendEvent(widget_, &press);
  QApplication::sendEvent(widget_, &release);
  EXPECT_EQ(ed().ReadByte(2), 0xC6);
  EXPECT_EQ(ed().CursorPosition(), 3);
  // Delete types nothing in overwrite mode, Ctrl+letter types nothing.
  QTest::keyClick(widget_, Qt::Key_Delete);
  QTest::keyClick(widget_, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(ed().ReadByte(3), 0x00);
  EXPECT_EQ(ed().CursorPosition(), 3);

  // Ctrl+Shift+1 sets marker 1 even when Shift turned the key into "!".
  QTest::keyClick(widget_, Qt::Key_Down);
  QTest::keyClick(widget_, Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ed().GetMarker(1), 1);
  QTest::keyClick(widget_, Qt::Key_Up);
  QTest::keyClick(widget_, Qt::Key_1, Qt::ControlModifier);
  EXPECT_EQ(ed().Row(), 1);
}

TEST_F(EditorWidgetTest, AltCodesOnTheKeypadTypeTheirCharacter) {
  Open(std::vector<unsigned char>(32, 0x41));
  widget_->setFocus();
  QTest::keyClick(widget_, Qt::Key_Tab);  // character field
  // Raw events: QTest would press and release Alt around every key.
  auto send = [&](QEvent::Type type, int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
    QKeyEvent e(type, key, mods, text);
    QApplication::sendEvent(widget_, &e);
  };
  auto altCode = [&](const char* digits) {
    send(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    for (const char* d = digits; *d; ++d) {
      const auto mods = Qt::AltModifier | Qt::KeypadModifier;
      send(QEvent::KeyPress, Qt::Key_0 + (*d - '0'), mods, QString(QChar(*d)));
      send(QEvent::KeyRelease, Qt::Key_0 + (*d - '0'), mods, QString(QChar(*d)));
    }
    send(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
  };
  // OEM code 128 is the Cyrillic A, stored as its OEM byte.
  altCode("128");
  EXPECT_EQ(ed().ReadByte(0), 0x80);
  // Control characters come in only as Alt codes.
  altCode("010");
  EXPECT_EQ(ed().ReadByte(1), 0x0A);
  EXPECT_EQ(ed().CursorPosition(), 2);
  // Alt alone types nothing.
  altCode("");
  EXPECT_EQ(ed().ReadByte(2), 0x41);
  // A key other than a keypad digit ends the code.
  send(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
  send(QEvent::KeyPress, Qt::Key_6, Qt::AltModifier | Qt::KeypadModifier, "6");
  send(QEvent::KeyPress, Qt::Key_X, Qt::AltModifier, "x");
  send(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
  EXPECT_EQ(ed().ReadByte(2), 0x41);
  EXPECT_EQ(ed().CursorPosition(), 2);
}

TEST_F(EditorWidgetTest, MouseClickAndDragSelect) {
  Open(16 * 10);
  QTest::mouseClick(widget_->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(2 + 2 * 5, 1));
  EXPECT_EQ(ed().CursorPosition(), 21);
  EXPECT_TRUE(widget_->hasFocus());

  QTest::mousePress(widget_->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(4, 0));
  QTest::mouseMove(widget_->viewport(), CellCenter(2 + 2 * 3, 2));
  QTest::mouseRelease(widget_->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(2 + 2 * 3, 2));
  EXPECT_EQ(ed().SelFrom(), 1);
  EXPECT_EQ(ed().SelTo(), 35);
}

TEST_F(EditorWidgetTest, DraggingBelowTheWindowScrollsOnTheTimer) {
  Open(16 * 1000);
  QWidget* vp = widget_->viewport();
  QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, CellCenter(4, 2));
  QTest::mouseMove(vp, QPoint(CellCenter(4, 2).x(), vp->height() + 30));
  QTest::qWait(400);
  const int top = ed().TopRow();
  EXPECT_GT(top, 0);
  QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, QPoint(CellCenter(4, 2).x(), vp->height() + 30));
  QTest::qWait(200);
  EXPECT_EQ(ed().TopRow(), top);  // the timer stopped with the button
  EXPECT_EQ(widget_->verticalScrollBar()->value(), top);
  EXPECT_EQ(ed().SelFrom(), 33);
  EXPECT_GT(ed().SelTo(), 16 * (top + ed().VisibleRowCount() - 2));
}

TEST_F(EditorWidgetTest, CaretIsDrawnWithTheFocusAndRemovedWithoutIt) {
  Open(64);
  // No blinking, so the grab cannot catch the caret's dark phase.
  const int flash = QApplication::cursorFlashTime();
  QApplication::setCursorFlashTime(0);
  struct Restore {
    int flash;
    ~Restore() { QApplication::setCursorFlashTime(flash); }
  } restore{flash};
  window_.activateWindow();
  widget_->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(widget_->hasFocus());
  ASSERT_TRUE(widget_->CaretShown());
  const Rect cell = ed().CellRect(2, 0);
  EXPECT_EQ(widget_->CaretPos(), QPoint(cell.left, cell.top));
  const QImage with = widget_->viewport()->grab().toImage();

  other_->setFocus();
  QApplication::processEvents();
  EXPECT_FALSE(widget_->CaretShown());
  const QImage without = widget_->viewport()->grab().toImage();
  // The caret is XOR-ed over the cursor cell in the complement of the
  // CursorFrame colour (navy): white becomes navy.
  auto [backWith, t1] = CellColors(with, cell);
  auto [backWithout, t2] = CellColors(without, cell);
  EXPECT_EQ(backWithout, QColor(255, 255, 255));
  EXPECT_EQ(backWith, QColor(0, 0, 128));
  // Elsewhere nothing differs but the counterpart frame in the character field.
  const Rect next = ed().CellRect(4, 0);
  EXPECT_EQ(with.copy(next.left, next.top, next.Width(), next.Height()),
            without.copy(next.left, next.top, next.Width(), next.Height()));
}

TEST_F(EditorWidgetTest, TheScrollBarReachesBothEndsOfATebibyteAndKeysStayExact) {
  Open(64);
  // A sparse file of 1 TiB, opened in place.
  const std::string path = dir_.File("data.bin");
  ASSERT_EQ(::truncate(path.c_str(), int64_t{1} << 40), 0);
  ASSERT_TRUE(ed().LoadFromFile(path));
  QApplication::processEvents();
  QScrollBar* bar = widget_->verticalScrollBar();
  const int64_t maxTop = ed().MaxTopRow();
  ASSERT_GT(maxTop, int64_t{INT32_MAX});
  EXPECT_EQ(bar->maximum(), kScrollBarSteps);
  EXPECT_EQ(bar->value(), 0);

  // Dragging the thumb to the bottom shows the last line; half way, the middle.
  bar->setValue(bar->maximum());
  EXPECT_EQ(ed().TopRow(), maxTop);
  EXPECT_EQ(ed().TopRow() + ed().VisibleRowCount(), ed().RowCount());
  bar->setValue(bar->maximum() / 2);
  EXPECT_EQ(ed().TopRow(), ScrollValueToRow(bar->maximum() / 2, maxTop));
  EXPECT_NEAR(static_cast<double>(ed().TopRow()), maxTop / 2.0, maxTop / double{kScrollBarSteps} + 1);

  // Rows, not steps: the bar's arrow, Ctrl+Down and the wheel each move by
  // whole rows from where the view is.
  const int64_t top = ed().TopRow();
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(ed().TopRow(), top + 1);
  QTest::keyClick(widget_, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(ed().TopRow(), top + 2);
  EXPECT_EQ(bar->value(), RowToScrollValue(top + 2, maxTop));
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(ed().TopRow(), top + 2 - ed().VisibleRowCount());

  // Go to the last byte and back to the first: the bar follows to its ends.
  ASSERT_TRUE(ed().GotoPosition(0, 2, true));
  QApplication::processEvents();
  EXPECT_EQ(bar->value(), bar->maximum());
  ASSERT_TRUE(ed().GotoPosition(0, 0, true));
  QApplication::processEvents();
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(ed().TopRow(), 0);
}

}  // namespace
}  // namespace bm
