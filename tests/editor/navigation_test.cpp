// Keyboard and mouse navigation of TByteEditor.
#include <gtest/gtest.h>

#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

ShiftState Mods(bool shift, bool ctrl, bool alt = false) {
  ShiftState s;
  s.shift = shift;
  s.ctrl = ctrl;
  s.alt = alt;
  return s;
}

class NavigationTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  NavigationTest() : EditorFixture(800, 320) {}  // 20 fully visible rows
  void SetUp() override {
    ed.OnKeyDown = [this](uint16_t& key, ShiftState) { hostKeys.push_back(key); };
  }
  void Load(size_t size) { EditorFixture::Load(testing::Iota(size)); }
  GridCell Chr(int32_t p) const { return ed.PositionToCell(p, true); }
  void Press(const GridCell& c, ShiftState s = {}) {
    const Rect r = ed.CellRect(c.col, c.row);
    host.SetKeyDown(VK_LBUTTON, true);
    s.left = true;
    ed.MouseDown(MouseButton::Left, s, r.left + 1, r.top + 1);
  }
  void Drag(int x, int y) {
    ShiftState s;
    s.left = true;
    ed.MouseMove(s, x, y);
  }
  void DragTo(const GridCell& c) {
    const Rect r = ed.CellRect(c.col, c.row);
    Drag(r.left + 1, r.top + 1);
  }
  void Release() {
    ed.MouseUp(MouseButton::Left, ShiftState{}, 0, 0);
    host.SetKeyDown(VK_LBUTTON, false);
  }

  std::vector<uint16_t> hostKeys;
};

TEST_F(NavigationTest, PageKeysScrollByAPage) {
  Load(1600);  // 100 rows
  ASSERT_EQ(ed.VisibleRowCount(), 20);
  Put(16 * 5 + 3, false, true);
  const int col = ed.Col();
  EXPECT_EQ(Key(VK_NEXT), 0);
  EXPECT_EQ(ed.Row(), 24);
  EXPECT_EQ(ed.TopRow(), 19);
  Key(VK_NEXT);
  EXPECT_EQ(ed.Row(), 43);
  EXPECT_EQ(ed.TopRow(), 38);
  for (int i = 0; i < 5; ++i) Key(VK_NEXT);
  EXPECT_EQ(ed.Row(), 99);
  EXPECT_EQ(ed.TopRow(), 80);
  EXPECT_EQ(ed.Col(), col);

  Key(VK_PRIOR);
  EXPECT_EQ(ed.Row(), 80);
  EXPECT_EQ(ed.TopRow(), 61);
  Key(VK_PRIOR, Mods(false, true));  // to the first visible row
  EXPECT_EQ(ed.Row(), 61);
  EXPECT_EQ(ed.TopRow(), 61);
  Key(VK_NEXT, Mods(false, true));  // to the last fully visible row
  EXPECT_EQ(ed.Row(), 80);
  EXPECT_EQ(ed.TopRow(), 61);
  for (int i = 0; i < 6; ++i) Key(VK_PRIOR);
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(ed.TopRow(), 0);
  Put(16 * 3);
  Key(VK_PRIOR);
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(ed.TopRow(), 0);
  EXPECT_EQ(ed.Col(), 2);
}

TEST_F(NavigationTest, HomeEndAndArrowEdges) {
  Load(40);  // lines 0..15, 16..31, 32..39
  Put(20, false, true);
  Key(VK_HOME);
  EXPECT_EQ(Cursor(), Hex(16));
  Key(VK_END);
  EXPECT_EQ(Cursor(), Hex(31));  // the byte's first column
  Put(34);
  Key(VK_END);
  EXPECT_EQ(Cursor(), Hex(39));
  Key(VK_HOME, Mods(false, true));
  EXPECT_EQ(Cursor(), Hex(0));
  Key(VK_END, Mods(false, true));
  EXPECT_EQ(Cursor(), Hex(39));
  Put(18, true);
  Key(VK_END);
  EXPECT_EQ(Cursor(), Chr(31));
  Key(VK_HOME);
  EXPECT_EQ(Cursor(), Chr(16));
  Key(VK_END, Mods(true, true));  // Shift is ignored there
  EXPECT_EQ(Cursor(), Chr(39));

  // Arrows at the edges of the data consume the key and stay.
  Put(0);
  EXPECT_EQ(Key(VK_LEFT), 0);
  EXPECT_EQ(Cursor(), Hex(0));
  Put(0, true);
  Key(VK_LEFT);
  EXPECT_EQ(Cursor(), Chr(0));
  Put(39, false, true);
  EXPECT_EQ(Key(VK_RIGHT), 0);
  EXPECT_EQ(Cursor(), Hex(39, true));
  Put(39, true);
  Key(VK_RIGHT);
  EXPECT_EQ(Cursor(), Chr(39));
  Key(VK_UP);
  EXPECT_EQ(Cursor(), Chr(23));
  Put(3);
  EXPECT_EQ(Key(VK_UP), 0);
  EXPECT_EQ(Cursor(), Hex(3));
  // Across line ends.
  Put(15, false, true);
  Key(VK_RIGHT);
  EXPECT_EQ(Cursor(), Hex(16));
  Key(VK_LEFT);
  EXPECT_EQ(Cursor(), Hex(15, true));
  Put(15, true);
  Key(VK_RIGHT);
  EXPECT_EQ(Cursor(), Chr(16));
  // Down onto the short last line, past its data: the last byte.
  Put(29, true);
  Key(VK_DOWN);
  EXPECT_EQ(Cursor(), Chr(39));

  // Ctrl+Right: the line's last character, or the last byte on a short line.
  Put(20);
  Key(VK_RIGHT, Mods(false, true));
  EXPECT_EQ(Cursor(), (GridCell{ed.ColCount() - 1, 1}));
  Put(33, false, true);
  Key(VK_RIGHT, Mods(false, true));
  EXPECT_EQ(Cursor(), Hex(39));
}

TEST_F(NavigationTest, TabAndCtrlTSwitchFields) {
  // Empty data: nothing moves, every key is consumed.
  for (uint16_t k : {VK_TAB, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) {
    EXPECT_EQ(Key(k), 0) << k;
    EXPECT_EQ(Cursor(), (GridCell{2, 0})) << k;
  }
  EXPECT_EQ(Key('T', Mods(false, true)), 0);
  EXPECT_EQ(Cursor(), (GridCell{2, 0}));

  Load(40);
  Put(3, false, true);
  EXPECT_EQ(Key(VK_TAB), 0);
  EXPECT_EQ(Cursor(), Chr(3));
  Key(VK_TAB, Mods(true, false));
  EXPECT_EQ(Cursor(), Hex(3));
  Key('T', Mods(true, true, true));  // Shift and Alt are ignored
  EXPECT_EQ(Cursor(), Chr(3));
  Key('T', Mods(false, true));
  EXPECT_EQ(Cursor(), Hex(3));
  EXPECT_TRUE(hostKeys.empty());

  // Ctrl+Tab and a plain T are not the editor's.
  EXPECT_EQ(Key(VK_TAB, Mods(false, true)), VK_TAB);
  EXPECT_EQ(Key('T'), 'T');
  EXPECT_EQ(Cursor(), Hex(3));
  EXPECT_EQ(hostKeys, (std::vector<uint16_t>{VK_TAB, 'T'}));
}

TEST_F(NavigationTest, KeysLeftToTheGrid) {
  Load(1600);
  Put(16 * 2);
  EXPECT_EQ(Key(VK_DOWN, Mods(false, true)), VK_DOWN);
  EXPECT_EQ(ed.TopRow(), 1);
  EXPECT_EQ(ed.Row(), 2);
  Key(VK_UP, Mods(false, true));
  Key(VK_UP, Mods(false, true));
  EXPECT_EQ(ed.TopRow(), 0);
  EXPECT_EQ(Key(VK_F1), VK_F1);
  EXPECT_EQ(hostKeys, (std::vector<uint16_t>{VK_DOWN, VK_UP, VK_UP, VK_F1}));

  // Ctrl+Left: a page of columns to the left, not below column 2.
  ed.SetClientSize(300, 320);
  Put(12, true);
  const int left = ed.LeftCol(), col = ed.Col();
  ASSERT_GT(left, 2);
  const int page = std::max(1, ed.LastVisibleCol() - left);
  Key(VK_LEFT, Mods(false, true));
  EXPECT_EQ(ed.Col(), std::max(2, col - page));
  EXPECT_EQ(ed.LeftCol(), std::max(2, left - page));
  Key(VK_LEFT, Mods(false, true));
  Key(VK_LEFT, Mods(false, true));
  EXPECT_EQ(ed.Col(), 2);
  EXPECT_EQ(ed.LeftCol(), 2);

  // The host sees no Insert, whatever the modifiers.
  hostKeys.clear();
  const bool before = ed.InsertState();
  EXPECT_EQ(Key(VK_INSERT, Mods(true, false)), 0);
  EXPECT_EQ(Key(VK_INSERT, Mods(false, true)), 0);
  EXPECT_EQ(Key(VK_INSERT), 0);
  EXPECT_NE(ed.InsertState(), before);
  EXPECT_TRUE(hostKeys.empty());
}

TEST_F(NavigationTest, BackspaceAndDeleteInOverwriteMode) {
  Load(40);
  Put(5);
  Key(VK_BACK);  // moves left one column, deletes nothing
  EXPECT_EQ(Cursor(), Hex(4, true));
  EXPECT_EQ(ed.DataSize(), 40);
  Put(0, true);
  Key(VK_BACK);  // the separator is refused
  EXPECT_EQ(Cursor(), Chr(0));
  // At the first column a selection is still dropped.
  Put(0);
  ed.SetSelEnd(6);
  ASSERT_NE(ed.SelAnchor(), -1);
  Key(VK_BACK);
  EXPECT_EQ(Cursor(), Hex(0));
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_EQ(hostKeys, (std::vector<uint16_t>{VK_LEFT, VK_LEFT, VK_LEFT}));

  Put(7);
  EXPECT_EQ(Key(VK_DELETE), 0);
  EXPECT_EQ(ed.DataSize(), 40);
  EXPECT_EQ(Key(VK_DELETE, Mods(false, true)), 0);
  EXPECT_EQ(ed.DataSize(), 39);
  EXPECT_EQ(ed.ReadByte(7), 8);
  Key(VK_DELETE, Mods(true, true));  // not exactly Ctrl: nothing
  EXPECT_EQ(ed.DataSize(), 39);
  ed.SetSelEnd(10);  // 7..10
  Key(VK_DELETE, Mods(false, true));
  EXPECT_EQ(ed.DataSize(), 35);
  EXPECT_EQ(ed.ReadByte(7), 12);
  ed.SetNoSizeChange(true);
  Key(VK_DELETE, Mods(false, true));
  EXPECT_EQ(ed.DataSize(), 35);
}

TEST_F(NavigationTest, BackspaceAndDeleteInInsertMode) {
  Load(40);
  ed.SetAllowInsertMode(true);
  Key(VK_INSERT);
  ASSERT_TRUE(ed.IsInsertMode());
  Put(0);
  EXPECT_EQ(Key(VK_BACK), 0);  // nothing before byte 0
  EXPECT_EQ(ed.DataSize(), 40);

  Put(10);
  ed.SetSelEnd(13);  // the bytes between gaps 10 and 13
  ASSERT_EQ(ed.SelLength(), 3);
  Key(VK_BACK);  // the three bytes, then the byte before them
  std::vector<uint8_t> expected;
  for (int i = 0; i < 40; ++i)
    if (i < 9 || i > 12) expected.push_back(static_cast<uint8_t>(i));
  EXPECT_EQ(Data(), expected);
  EXPECT_EQ(ed.CursorPosition(), 9);

  Key(VK_DELETE);  // the byte at the cursor
  EXPECT_EQ(ed.DataSize(), 35);
  EXPECT_EQ(ed.ReadByte(9), 14);
  EXPECT_TRUE(hostKeys.empty());
}

TEST_F(NavigationTest, MousePressAndDragSelect) {
  Load(1600);
  int dbl = 0;
  ed.OnDblClick = [&] { ++dbl; };
  Press(Hex(5, true));
  EXPECT_EQ(Cursor(), Hex(5, true));
  EXPECT_TRUE(ed.Selecting());
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_TRUE(host.timerRunning);
  EXPECT_EQ(host.timerInterval, 60);
  DragTo(Chr(16 * 3 + 9));
  EXPECT_EQ(ed.SelFrom(), 5);
  EXPECT_EQ(ed.SelTo(), 57);
  DragTo(Hex(2));
  EXPECT_EQ(ed.SelFrom(), 2);
  EXPECT_EQ(ed.SelTo(), 5);
  Release();
  EXPECT_FALSE(host.timerRunning);
  EXPECT_TRUE(ed.Selecting());
  EXPECT_EQ(ed.SelTo(), 5);

  // A click elsewhere starts over at the clicked byte.
  Press(Hex(100));
  EXPECT_EQ(ed.SelAnchor(), -1);
  DragTo(Hex(103));
  EXPECT_EQ(ed.SelFrom(), 100);
  EXPECT_EQ(ed.SelTo(), 103);
  Release();
  // Shift+click is a plain click.
  Press(Hex(120), Mods(true, false));
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_EQ(Cursor(), Hex(120));
  Release();

  // A double click moves nothing; the right button selects nothing.
  ShiftState d;
  d.dbl = true;
  d.left = true;
  const Rect r = ed.CellRect(Hex(130).col, Hex(130).row);
  ed.MouseDown(MouseButton::Left, d, r.left + 1, r.top + 1);
  EXPECT_EQ(dbl, 1);
  EXPECT_EQ(Cursor(), Hex(120));
  EXPECT_FALSE(ed.Selecting());
  ed.MouseDown(MouseButton::Right, ShiftState{}, r.left + 1, r.top + 1);
  EXPECT_EQ(Cursor(), Hex(120));
  EXPECT_FALSE(host.timerRunning);

  // A press on the fixed columns does not move the cursor.
  Press(GridCell{0, 3});
  EXPECT_EQ(Cursor(), Hex(120));
  Release();
}

TEST_F(NavigationTest, DragBeyondTheEdgeScrollsOnTheTimer) {
  Load(1600);
  Press(Hex(5));
  Drag(100, 400);  // below the window: the timer scrolls
  EXPECT_EQ(ed.TopRow(), 0);
  ed.HandleTimer();
  EXPECT_EQ(ed.TopRow(), 1);
  EXPECT_EQ(ed.Row(), 20);
  ed.HandleTimer();
  EXPECT_EQ(ed.TopRow(), 2);
  EXPECT_EQ(ed.Row(), 21);
  EXPECT_EQ(ed.SelFrom(), 5);
  EXPECT_EQ(ed.SelTo(), ed.CellToPosition(ed.Col(), ed.Row()));
  EXPECT_GE(ed.SelTo(), 16 * 21);
  Drag(100, -5);  // above
  ed.HandleTimer();
  EXPECT_EQ(ed.TopRow(), 1);
  EXPECT_EQ(ed.Row(), 1);
  ed.HandleTimer();
  ed.HandleTimer();
  EXPECT_EQ(ed.TopRow(), 0);
  EXPECT_EQ(ed.Row(), 0);
  Release();
  const int top = ed.TopRow();
  ed.HandleTimer();  // the timer does nothing after the release
  EXPECT_EQ(ed.TopRow(), top);
}

}  // namespace
}  // namespace bm
