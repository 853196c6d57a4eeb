// Typed bytes: hex digits and characters in both modes.
#include <gtest/gtest.h>

#include <vector>

#include "editor/byte_editor.h"
#include "platform/codepage.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

using Bytes = std::vector<uint8_t>;

class EntryTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  EntryTest() : EditorFixture(800, 320) {}
};

TEST_F(EntryTest, OverwriteHexDigitsNibbleByNibble) {
  Load({0x7F, 0x11, 0x22});
  Type("a");
  EXPECT_EQ(ed.ReadByte(0), 0xAF);
  EXPECT_EQ(Cursor(), Hex(0, true));
  EXPECT_TRUE(ed.IsByteChanged(0));
  EXPECT_TRUE(ed.Modified());
  Type("0");
  EXPECT_EQ(ed.ReadByte(0), 0xA0);
  EXPECT_EQ(Cursor(), Hex(1));
  EXPECT_EQ(ed.UndoCount(), 2);

  // The digit already there: no undo step, no mark, but the cursor moves.
  Type("1");
  EXPECT_EQ(ed.UndoCount(), 2);
  EXPECT_FALSE(ed.IsByteChanged(1));
  EXPECT_EQ(Cursor(), Hex(1, true));
  // Upper and lower case are the same; anything else is ignored.
  Type("gG z-");
  EXPECT_EQ(Cursor(), Hex(1, true));
  Type("C");
  EXPECT_EQ(ed.ReadByte(1), 0x1C);
  Type("dE");  // the last byte: the cursor stays on it
  EXPECT_EQ(ed.ReadByte(2), 0xDE);
  EXPECT_EQ(Cursor(), Hex(2, true));
  Type("f");
  EXPECT_EQ(ed.ReadByte(2), 0xDF);
  EXPECT_EQ(ed.DataSize(), 3);

  // A typed digit drops a selection in overwrite mode.
  ed.SetSelStart(0);
  ed.SetSelEnd(2);
  Type("5");
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_EQ(ed.ReadByte(0), 0x50);
  EXPECT_EQ(ed.ReadByte(2), 0xDF);

  // The read window follows the write, so painting shows the new byte.
  ed.EnsureReadWindow(0);
  EXPECT_EQ(ed.ReadWindow()[0 - ed.ReadWindowStart()], 0x50);
}

TEST_F(EntryTest, SwapNibblesPutsTheLowDigitFirst) {
  Load({0x7F, 0x00});
  ed.SetSwapNibbles(true);
  Type("a");
  EXPECT_EQ(ed.ReadByte(0), 0x7A);
  Type("3");
  EXPECT_EQ(ed.ReadByte(0), 0x3A);
  EXPECT_EQ(Cursor(), Hex(1));
}

TEST_F(EntryTest, CharacterField) {
  Load({0x30, 0x31, 0x32});
  Put(0, true);
  Type("A");
  EXPECT_EQ(ed.ReadByte(0), 'A');
  EXPECT_EQ(Cursor(), ed.PositionToCell(1, true));
  EXPECT_TRUE(ed.IsByteChanged(0));
  ed.WMChar(0x09);  // a control character
  EXPECT_EQ(ed.ReadByte(1), 0x31);
  EXPECT_EQ(Cursor(), ed.PositionToCell(1, true));

  // Alt with the keypad digits 0, 1, 0 composes the OEM character 10.
  uint16_t k = VK_MENU;
  ed.KeyUp(k, ShiftState{});
  EXPECT_TRUE(ed.AltCodeTyped());
  ed.WMChar(OemToAnsi(10));
  EXPECT_EQ(ed.ReadByte(1), 0x0A);
  EXPECT_FALSE(ed.AltCodeTyped());
  k = 'A';
  ed.KeyUp(k, ShiftState{});
  EXPECT_FALSE(ed.AltCodeTyped());

  // An Alt code goes through the OEM code page whatever the character set.
  ed.SetTranslation(ttEBCDIC);
  k = VK_MENU;
  ed.KeyUp(k, ShiftState{});
  ed.WMChar(OemToAnsi(0x80));  // Cyrillic A in the OEM code page
  EXPECT_EQ(ed.ReadByte(2), 0x80);
  EXPECT_EQ(Cursor(), ed.PositionToCell(2, true));  // the last byte: stays
  ed.WMChar('A');  // EBCDIC 'A' is 0xC1
  EXPECT_EQ(ed.ReadByte(2), 0xC1);
  EXPECT_EQ(ed.DataSize(), 3);
}

TEST_F(EntryTest, EmptyDataTakesNothingInOverwriteMode) {
  Type("4a");
  EXPECT_EQ(ed.DataSize(), 0);
  EXPECT_FALSE(ed.Modified());
  EXPECT_EQ(Cursor(), (GridCell{2, 0}));
}

TEST_F(EntryTest, InsertModeGrowsTheData) {
  InsertMode();
  Type("4");
  EXPECT_EQ(Data(), (Bytes{0x40}));
  EXPECT_EQ(Cursor(), Hex(0, true));
  Type("1");
  EXPECT_EQ(Data(), (Bytes{0x41, 0x00}));
  EXPECT_EQ(Cursor(), Hex(1));
  EXPECT_EQ(ed.SelFrom(), 1);
  EXPECT_EQ(ed.SelTo(), 1);
  EXPECT_EQ(ed.ChangeMarksLength(), 0);
  Type("2");
  EXPECT_EQ(Data(), (Bytes{0x41, 0x20}));
  EXPECT_EQ(Cursor(), Hex(1, true));

  // 4 and 1 typed on an existing byte insert 0x41 before it.
  Put(0);
  Type("41");
  EXPECT_EQ(Data(), (Bytes{0x41, 0x41, 0x20}));
  EXPECT_EQ(Cursor(), Hex(1));
  EXPECT_FALSE(ed.IsByteChanged(0));

  // A character inserts before the cursor byte.
  Put(2, true);
  Type("z");
  EXPECT_EQ(Data(), (Bytes{0x41, 0x41, 'z', 0x20}));
  EXPECT_EQ(Cursor(), ed.PositionToCell(3, true));
}

TEST_F(EntryTest, InsertModeReplacesASelection) {
  Load({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  InsertMode();
  Put(2);
  ed.SetSelEnd(7);  // the five bytes 2..6
  ASSERT_EQ(ed.SelLength(), 5);
  Type("7");
  EXPECT_EQ(Data(), (Bytes{0, 1, 0x70, 7, 8, 9}));

  ed.SetSwapNibbles(true);
  Put(3);
  ed.SetSelEnd(5);  // 7 and 8
  Type("5");
  EXPECT_EQ(Data(), (Bytes{0, 1, 0x70, 0x05, 9}));

  // Under NoSizeChange insert mode is off: digits overwrite again.
  ed.SetNoSizeChange(true);
  EXPECT_FALSE(ed.IsInsertMode());
  Put(0);
  Type("e");
  EXPECT_EQ(Data(), (Bytes{0x0E, 1, 0x70, 0x05, 9}));
}

}  // namespace
}  // namespace bm
