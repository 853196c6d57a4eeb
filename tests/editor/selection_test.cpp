// Cursor moves, the selection, the insert state and the caret of TByteEditor.
#include <gtest/gtest.h>

#include <string>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

class SelectionTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  SelectionTest() : EditorFixture(800, 320) {}  // 20 rows of 16 pixels
  void Load(size_t size) { LoadPattern(size); }
  // Presses Shift, as the keyboard does: the key state and the key itself.
  void PressShift() {
    host.SetKeyDown(VK_SHIFT, true);
    Key(VK_SHIFT, true);
  }
  void ReleaseShift() { host.SetKeyDown(VK_SHIFT, false); }
  void MoveToByte(int32_t p, bool charField = false) {
    const GridCell c = ed.PositionToCell(p, charField);
    ed.MoveCurrent(c.col, c.row);
  }
  void ExpectSelection(int32_t from, int32_t to) {
    EXPECT_NE(ed.SelAnchor(), -1);
    EXPECT_EQ(ed.SelFrom(), from);
    EXPECT_EQ(ed.SelTo(), to);
    EXPECT_EQ(ed.SelLength(), to - from + 1);
  }
};

template <class F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const EEditorError& e) {
    return e.what();
  }
  return "";
}

TEST_F(SelectionTest, MovesPastTheDataAndOntoTheSeparator) {
  // Empty data: only the first hex cell.
  ed.MoveCurrent(3, 0);
  EXPECT_EQ(ed.Col(), 2);
  ed.MoveCurrent(40, 0);
  EXPECT_EQ(ed.Col(), 2);
  EXPECT_EQ(ErrorOf([&] { ed.SetSelStart(0); }), "Invalid SelStart");
  EXPECT_EQ(ErrorOf([&] { ed.SetSelEnd(0); }), "Invalid SelEnd");

  Load(20);  // the second line holds bytes 16..19
  ed.MoveCurrent(2 + 2 * 10, 1);
  EXPECT_EQ(ed.Col(), 2 + 2 * 3);  // the last byte, hex field
  EXPECT_EQ(ed.Row(), 1);
  ed.SetSelStart(0);
  ed.SetCol(ed.CounterpartColumn(2));  // character field
  ed.MoveCurrent(2 + 2 * 10, 1);       // a hex cell past the end
  EXPECT_EQ(ed.Col(), ed.FirstCharColumn() + 3);  // lands in the cursor's field
  EXPECT_EQ(ed.CursorPosition(), 19);

  // The separator: refused without the button, the last hex column with it.
  ed.SetSelStart(0);
  ed.MoveCurrent(ed.SeparatorColumn(), 0);
  EXPECT_EQ(ed.Col(), ed.FirstCharColumn());
  host.SetKeyDown(VK_LBUTTON, true);
  ed.MoveCurrent(ed.SeparatorColumn(), 0);
  EXPECT_EQ(ed.Col(), ed.SeparatorColumn() - 1);
  EXPECT_EQ(ed.Row(), 0);
  ed.MoveCurrent(ed.SeparatorColumn(), 1);  // short line: its last byte, hex field
  EXPECT_EQ(ed.Col(), 2 + 2 * 3);
  EXPECT_EQ(ed.Row(), 1);
  host.SetKeyDown(VK_LBUTTON, false);
}

TEST_F(SelectionTest, SelStartAndSelEnd) {
  Load(100);
  ed.SetSelStart(40);
  EXPECT_EQ(ed.SelStart(), 40);
  EXPECT_EQ(ed.SelEnd(), 40);
  EXPECT_EQ(ed.SelAnchor(), -1);

  ed.SetSelStart(9);
  ed.SetSelEnd(3);  // the cursor stays on 9
  EXPECT_EQ(ed.CursorPosition(), 9);
  ExpectSelection(3, 9);
  EXPECT_EQ(ed.SelStart(), 9);
  EXPECT_EQ(ed.SelEnd(), 3);
  ed.SetSelEnd(30);
  ExpectSelection(9, 30);
  EXPECT_EQ(ed.SelStart(), 9);
  EXPECT_EQ(ed.SelEnd(), 30);

  for (int32_t bad : {-1, 100}) {
    EXPECT_EQ(ErrorOf([&] { ed.SetSelStart(bad); }), "Invalid SelStart");
    EXPECT_EQ(ErrorOf([&] { ed.SetSelEnd(bad); }), "Invalid SelEnd");
  }
  ExpectSelection(9, 30);  // nothing changed
  EXPECT_EQ(ed.CursorPosition(), 9);

  // Selecting leftwards with Shift.
  ed.SetSelStart(9);
  PressShift();
  MoveToByte(3);
  ReleaseShift();
  EXPECT_EQ(ed.SelStart(), 9);
  EXPECT_EQ(ed.SelEnd(), 3);
  EXPECT_EQ(ed.CursorPosition(), 3);

  // A range edit's view of it: the first byte's cell in the cursor's field.
  int64_t start = 0, end = 0;
  int col = 0;
  int64_t row = 0;
  ed.GetSelectionRange(start, end, col, row);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 10);
  EXPECT_EQ((GridCell{col, row}), ed.PositionToCell(3, false));
  ed.ClearSelection(true);
  ed.GetSelectionRange(start, end, col, row);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 4);
  EXPECT_EQ((GridCell{col, row}), (GridCell{ed.Col(), ed.Row()}));
}

TEST_F(SelectionTest, OverwriteModeSelectsBothEndBytes) {
  Load(100);
  ed.SetSelStart(5);
  PressShift();
  Key(VK_RIGHT, true);  // onto the second digit of byte 5
  ExpectSelection(5, 5);
  Key(VK_RIGHT, true);
  ExpectSelection(5, 6);
  Key(VK_DOWN, true);
  ExpectSelection(5, 22);
  Key(VK_UP, true);
  Key(VK_LEFT, true);
  Key(VK_LEFT, true);
  Key(VK_LEFT, true);  // back over the anchor onto byte 4
  ExpectSelection(4, 5);
  EXPECT_EQ(ed.SelStart(), 5);
  ReleaseShift();

  // A key without modifiers clears it; so does a move without Shift.
  Key(VK_RIGHT);
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_FALSE(ed.Selecting());
  ed.SetSelStart(10);
  ed.SetSelEnd(12);
  MoveToByte(50);
  EXPECT_EQ(ed.SelAnchor(), -1);
}

TEST_F(SelectionTest, InsertModeSelectsTheBytesBetweenCarets) {
  Load(100);
  InsertMode();
  // Caret before byte 5 on its second column, Shift+Right onto byte 6.
  ed.SetSelStart(5);
  ed.SetCol(ed.Col() + 1);
  PressShift();
  Key(VK_RIGHT, true);
  ExpectSelection(5, 5);
  MoveToByte(8);
  ExpectSelection(5, 7);
  MoveToByte(3);  // across the origin: the bytes between gap 3 and gap 5
  ExpectSelection(3, 4);
  EXPECT_EQ(ed.SelStart(), 4);
  MoveToByte(5);  // back at the origin: nothing
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_EQ(ed.SelLength(), 0);
  EXPECT_TRUE(ed.Selecting());
  MoveToByte(6);
  ExpectSelection(5, 5);
  ReleaseShift();

  // Shift+Left from the gap before byte 5 onto byte 4.
  ed.SetSelStart(5);
  PressShift();
  Key(VK_LEFT, true);
  ExpectSelection(4, 4);
  MoveToByte(2);
  ExpectSelection(2, 4);
  MoveToByte(9);
  ExpectSelection(5, 8);
  ReleaseShift();

  // A selection made by an insertion: its far end is the origin, so a Shift
  // move away from it keeps the inserted byte selected.
  ed.SetSelStart(20);
  PressShift();
  const uint8_t b = 0xEE;
  ed.InsertBuffer(&b, 1, 20);
  ExpectSelection(20, 20);
  ed.SetCol(ed.Col() + 1);  // second column of the inserted byte: gap 20
  ExpectSelection(20, 20);
  MoveToByte(18);
  ExpectSelection(18, 20);
  MoveToByte(23);
  ExpectSelection(21, 22);
  ReleaseShift();
}

TEST_F(SelectionTest, ClearSelectionRepaintsAndPosts) {
  Load(1600);
  ed.SetSelStart(40);
  ed.SetSelEnd(100);
  host.queue.clear();
  host.ClearInvalidations();
  ed.SetSelecting(true);
  ed.ClearSelection(true);
  EXPECT_FALSE(ed.Selecting());
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_EQ(ed.SelFrom(), -1);
  EXPECT_EQ(ed.SelTo(), -1);
  EXPECT_EQ(host.queue.size(), 1u);
  ASSERT_EQ(host.invalidated.size(), 1u);
  // Rows 2..6, from the first data column to the right edge.
  const Rect first = ed.CellRect(2, 2);
  EXPECT_EQ(host.invalidated[0], (Rect{first.left, first.top, 800, ed.CellRect(2, 6).bottom}));

  host.ClearInvalidations();
  ed.ClearSelection(false);
  EXPECT_TRUE(host.invalidated.empty());

  // With grid lines and a hidden offset column the rows still start at the
  // first data column.
  ed.SetOffsetDisplay(odNone);
  ed.SetGridLineWidth(1);
  ed.SetSelStart(40);
  ed.SetSelEnd(41);
  host.ClearInvalidations();
  ed.ClearSelection(true);
  ASSERT_EQ(host.invalidated.size(), 1u);
  EXPECT_EQ(host.invalidated[0].left, ed.CellRect(2, 2).left);
  EXPECT_EQ(host.invalidated[0].top, ed.CellRect(2, 2).top);
}

TEST_F(SelectionTest, CaretShapesFocusAndInsertKey) {
  Load(1600);
  ed.SetSelStart(3);
  ed.SetSelEnd(8);
  host.ClearInvalidations();
  host.focused = true;
  ed.FocusGained();
  ASSERT_TRUE(host.caretExists);
  EXPECT_TRUE(host.caretVisible);
  EXPECT_EQ(host.caretPos, (Point{-50, -50}));
  EXPECT_GT(host.invalidateAllCount, 0);
  const Color on = 0x800000 ^ 0xFFFFFF;
  const CaretBitmap& full = host.caretShape;
  ASSERT_EQ(full.width, 8);
  ASSERT_EQ(full.height, 14);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(full.At(x, y), on);

  ed.SetCaretStyle(csLeftLine);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(host.caretShape.At(x, y), x < 2 ? on : 0u) << x << "," << y;
  ed.SetCaretStyle(csBottomLine);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(host.caretShape.At(x, y), y >= 12 ? on : 0u) << x << "," << y;
  ed.Colors().SetCursorFrame(0x0000FF);
  ed.CreateEditorCaret();
  EXPECT_EQ(host.caretShape.At(0, 13), 0xFFFF00u);

  ed.SetSelecting(true);
  host.focused = false;
  host.ClearInvalidations();
  ed.FocusLost();
  EXPECT_FALSE(host.caretExists);
  EXPECT_FALSE(host.caretVisible);
  EXPECT_FALSE(ed.Selecting());
  EXPECT_GT(host.invalidateAllCount, 0);
  EXPECT_EQ(ed.SelFrom(), 3);  // the selection stays
  EXPECT_EQ(ed.SelTo(), 8);

  // Insert without AllowInsertMode: the state flips, the mode does not.
  ed.SetCaretStyle(csFull);
  ed.OverwriteByte(ed.ReadByte(0), static_cast<uint8_t>(ed.ReadByte(0) + 1), 0, 0);
  ASSERT_TRUE(ed.IsByteChanged(0));
  host.queue.clear();
  host.ClearInvalidations();
  uint16_t k = VK_INSERT;
  ShiftState ctrl;
  ctrl.ctrl = true;
  ed.KeyDown(k, ctrl);
  EXPECT_EQ(k, 0);
  EXPECT_TRUE(ed.InsertState());
  EXPECT_FALSE(ed.IsInsertMode());
  EXPECT_EQ(ed.CaretStyle(), csFull);
  EXPECT_EQ(ed.ChangeMarksLength(), 0);
  EXPECT_GT(host.invalidateAllCount, 0);
  EXPECT_FALSE(host.queue.empty());
  ed.SetAllowInsertMode(true);  // already toggled on: now in insert mode
  EXPECT_TRUE(ed.IsInsertMode());
  k = VK_INSERT;
  ed.KeyDown(k, ShiftState{});
  EXPECT_FALSE(ed.InsertState());
  EXPECT_EQ(ed.CaretStyle(), csFull);
  k = VK_INSERT;
  ed.KeyDown(k, ShiftState{});
  EXPECT_EQ(ed.CaretStyle(), csLeftLine);
}

TEST_F(SelectionTest, ScrollingParksTheCaretOutOfView) {
  Load(1600);  // 100 rows, 20 visible
  host.focused = true;
  ed.FocusGained();
  ed.ScrollRows(3);
  EXPECT_EQ(ed.TopRow(), 3);
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(host.caretPos, (Point{-50, -50}));
  ed.ScrollRows(-3);
  EXPECT_EQ(ed.TopRow(), 0);
  const Rect r = ed.CellRect(ed.Col(), ed.Row());
  EXPECT_EQ(host.caretPos, (Point{r.left, r.top}));
  ed.ScrollRows(-3);
  EXPECT_EQ(ed.TopRow(), 0);
  ed.ScrollRows(1000);
  EXPECT_EQ(ed.TopRow(), 80);

  // A move to a row out of view scrolls it in and puts the caret on it.
  MoveToByte(16 * 10 + 4);
  EXPECT_EQ(ed.TopRow(), 10);
  const Rect c = ed.CellRect(ed.Col(), 10);
  EXPECT_EQ(host.caretPos, (Point{c.left, c.top}));
}

}  // namespace
}  // namespace bm
