// The ten row markers of TByteEditor and the keys that set and use them.
#include <gtest/gtest.h>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

class MarkersTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  MarkersTest() : EditorFixture(800, 320) {}
  void Load(size_t size) { LoadPattern(size); }
  static ShiftState Ctrl() { ShiftState s; s.ctrl = true; return s; }
  static ShiftState CtrlShift() { ShiftState s; s.ctrl = true; s.shift = true; return s; }
};

TEST_F(MarkersTest, SetFindAndGet) {
  for (int i = 0; i < 10; ++i) EXPECT_EQ(ed.FindMarker(i), -1);
  try {
    ed.SetMarker(10, 3);
    ADD_FAILURE();
  } catch (const EEditorError& e) {
    EXPECT_STREQ(e.what(), "SetMarker : Invalid marker index");
  }
  EXPECT_EQ(ed.FindMarker(3), -1);

  host.ClearInvalidations();
  ed.SetMarker(9, 3);
  EXPECT_EQ(ed.FindMarker(3), 9);
  EXPECT_EQ(ed.GetMarker(9), 3);
  EXPECT_EQ(host.invalidateAllCount, 1);
  host.ClearInvalidations();
  ed.SetMarker(9, 3);  // the row it already holds: no repaint
  EXPECT_EQ(host.invalidateAllCount, 0);

  ed.SetMarker(4, 3);
  EXPECT_EQ(ed.FindMarker(3), 4);  // the lower index wins
  ed.SetMarker(4, -1);
  EXPECT_EQ(ed.FindMarker(3), 9);

  Load(100);
  ed.SetSelStart(70);  // row 4
  EXPECT_EQ(ed.GetMarker(2), 4);  // unset: the cursor's row
}

TEST_F(MarkersTest, MarkersHoldRowsAcrossDocumentsAndLayouts) {
  Load(10000);
  ed.SetMarker(5, 500);
  Load(160);  // 10 rows
  EXPECT_EQ(ed.GetMarker(5), 500);
  ed.NewDocument("Untitled");
  EXPECT_EQ(ed.GetMarker(5), 500);
  Load(160);
  ed.SetMarker(1, 3);
  ed.SetBytesPerLine(32);
  EXPECT_EQ(ed.GetMarker(1), 3);
}

TEST_F(MarkersTest, CtrlDigitKeysStoreAndJump) {
  Load(1600);  // 100 rows
  ed.SetSelStart(16 * 42 + 5);
  ed.SetCol(ed.CounterpartColumn(ed.Col()));  // in the character field
  Key('3', CtrlShift());
  EXPECT_EQ(ed.GetMarker(3), 42);

  ed.SetSelStart(7);
  ed.SetSelEnd(20);
  Key('3', Ctrl());
  EXPECT_EQ(ed.Row(), 42);
  EXPECT_EQ(ed.Col(), 2);  // first hex column of the marked row
  EXPECT_EQ(ed.SelAnchor(), -1);

  // An empty slot: the start of the cursor's own row.
  ed.SetSelStart(16 * 60 + 9);
  Key('8', Ctrl());
  EXPECT_EQ(ed.Row(), 60);
  EXPECT_EQ(ed.Col(), 2);
  EXPECT_EQ(ed.GetMarker(8), 60);  // still unset: follows the cursor
  EXPECT_EQ(ed.FindMarker(60), -1);

  // Other modifier sets do not touch markers.
  ShiftState altCtrl = Ctrl();
  altCtrl.alt = true;
  Key('4', altCtrl);
  EXPECT_EQ(ed.FindMarker(60), -1);

  // A marked row that is gone: the cursor stays and the slot is emptied.
  ed.SetMarker(6, 90);
  Load(160);
  ed.SetSelStart(37);
  Key('6', Ctrl());
  EXPECT_EQ(ed.CursorPosition(), 37);
  EXPECT_EQ(ed.FindMarker(90), -1);
  EXPECT_EQ(ed.FindMarker(1), -1);  // emptied, not given some other row
  EXPECT_EQ(ed.GetMarker(6), ed.Row());
  // A row below 0, as a host may store it, is gone as well.
  ed.SetMarker(7, -5);
  Key('7', Ctrl());
  EXPECT_EQ(ed.CursorPosition(), 37);
  EXPECT_EQ(ed.FindMarker(-5), -1);
}

}  // namespace
}  // namespace bm
