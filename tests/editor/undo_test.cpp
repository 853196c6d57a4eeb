// Undo records and Undo of TByteEditor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::Iota;

uint32_t U32At(const std::vector<uint8_t>& s, size_t at) {
  return s[at] | s[at + 1] << 8 | s[at + 2] << 16 | static_cast<uint32_t>(s[at + 3]) << 24;
}

class UndoTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  UndoTest() : EditorFixture(800, 600) {}
  void SetUp() override {
    ed.OnStateChanged = [this](TByteEditor&) { ++stateCalls; };
  }

  int stateCalls = 0;
};

TEST_F(UndoTest, ByteChangesUndoNewestFirstWithTheirMarks) {
  Load(Iota(64));
  Overwrite(7, 0x70);
  Overwrite(7, 0x71);
  EXPECT_EQ(ed.UndoCount(), 2);
  EXPECT_EQ(ed.UndoDescription(), "Byte changed");
  ASSERT_TRUE(ed.IsByteChanged(7));

  ed.Undo();
  EXPECT_EQ(ed.ReadByte(7), 0x70);
  EXPECT_TRUE(ed.IsByteChanged(7));  // it was marked before the second change
  EXPECT_TRUE(ed.Modified());
  EXPECT_TRUE(ed.CanUndo());

  stateCalls = 0;
  ed.Undo();
  EXPECT_EQ(ed.ReadByte(7), 7);
  EXPECT_FALSE(ed.IsByteChanged(7));
  EXPECT_FALSE(ed.Modified());
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_EQ(ed.UndoDescription(), "No Undo");
  EXPECT_EQ(ed.UndoCount(), 0);
  EXPECT_TRUE(ed.UndoStream().empty());
  EXPECT_EQ(stateCalls, 1);  // the last undo tells the host at once

  // The working copy and the read window agree after the undo.
  ed.EnsureReadWindow(0);
  EXPECT_EQ(ed.ReadWindow()[7], 7);

  // Nothing left: Undo only clears and tells the host.
  stateCalls = 0;
  ed.Undo();
  EXPECT_EQ(stateCalls, 1);
  EXPECT_EQ(Data(), Iota(64));
}

TEST_F(UndoTest, RecordsHaveTheirFixedLayout) {
  Load(Iota(300));
  ed.MoveCurrent(ed.FirstCharColumn() + 5, 2);  // character field, byte 37
  Select(0x25, 0x28);
  Overwrite(0x102, 0xAB);
  const auto& s = ed.UndoStream();
  ASSERT_EQ(s.size(), 66u);
  EXPECT_EQ(s[0], ckByteChanged);
  EXPECT_EQ(s[1], 0);             // not marked before
  EXPECT_EQ(s[2], 0);             // not modified before
  EXPECT_EQ(U32At(s, 3), 0x25u);  // cursor position
  EXPECT_EQ(s[11], 0);            // nibble
  EXPECT_EQ(s[12], 1);            // character field
  EXPECT_EQ(U32At(s, 13), 0x25u); // selFrom
  EXPECT_EQ(U32At(s, 21), 0x28u); // selTo
  EXPECT_EQ(U32At(s, 29), 0x25u); // selAnchor
  EXPECT_EQ(U32At(s, 37), 0x102u);
  EXPECT_EQ(U32At(s, 45), 1u);
  EXPECT_EQ(U32At(s, 53), 0u);
  EXPECT_EQ(s[61], 0x02);         // the old byte
  EXPECT_EQ(U32At(s, 62), 66u);

  // A removal keeps its bytes; the cursor on a second digit column.
  ed.MoveCurrent(2 * 4 + 3, 0);  // second digit of byte 4; clears the selection
  ed.DeleteSelection();
  ASSERT_EQ(s.size(), 66u + 66u);
  EXPECT_EQ(s[66], ckBytesRemoved);
  EXPECT_EQ(s[66 + 2], 1);  // modified before
  EXPECT_EQ(s[66 + 11], 1);  // second nibble
  EXPECT_EQ(s[66 + 12], 0);
  EXPECT_EQ(U32At(s, 66 + 29), 0xFFFFFFFFu);  // no selection
  EXPECT_EQ(s[66 + 61], 4);                   // the removed byte
  EXPECT_EQ(U32At(s, 66 + 62), 66u);

  Select(10, 14);
  ed.DeleteSelection();
  ASSERT_EQ(s.size(), 132u + 5u + 65u);
  EXPECT_EQ(U32At(s, 132 + 45), 5u);
  EXPECT_EQ(Bytes(s.begin() + 132 + 61, s.begin() + 132 + 66), Bytes({11, 12, 13, 14, 15}));
  EXPECT_EQ(U32At(s, s.size() - 4), 70u);

  // Undo puts the cursor back on the second digit of byte 4.
  ed.Undo();
  ed.Undo();
  EXPECT_EQ(ed.Col(), 2 * 4 + 3);
  EXPECT_EQ(ed.Row(), 0);
  ed.Undo();
  EXPECT_EQ(ed.Col(), ed.FirstCharColumn() + 5);
  EXPECT_EQ(ed.Row(), 2);
  EXPECT_EQ(ed.SelFrom(), 0x25);
  EXPECT_EQ(ed.SelTo(), 0x28);
  EXPECT_EQ(Data(), Iota(300));
}

TEST_F(UndoTest, UndoOfRemovalRestoresBytesSelectionCursorAndModified) {
  Bytes data(4096);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + i / 256);
  Load(data);

  Select(1500, 500);  // leftwards: anchor 1500, cursor on 1500
  ASSERT_EQ(ed.SelLength(), 1001);
  ed.DeleteSelection();
  ASSERT_EQ(ed.DataSize(), 4096 - 1001);
  EXPECT_EQ(ed.UndoDescription(), "Byte(s) removed");
  ed.Undo();
  EXPECT_EQ(Data(), data);
  EXPECT_EQ(ed.SelAnchor(), 1500);
  EXPECT_EQ(ed.SelFrom(), 500);
  EXPECT_EQ(ed.SelTo(), 1500);
  EXPECT_EQ(ed.CursorPosition(), 1500);
  EXPECT_FALSE(ed.Modified());

  // After an earlier change Modified stays True through the undo.
  Overwrite(0, 0xFF);
  ed.SetSelStart(4000);
  ed.DeleteAtCursor(true);
  ed.Undo();
  EXPECT_TRUE(ed.Modified());
  EXPECT_EQ(ed.CursorPosition(), 4000);
  EXPECT_EQ(ed.ReadByte(3999), data[3999]);
  EXPECT_EQ(ed.DataSize(), 4096);
}

TEST_F(UndoTest, UndoOfInsertReplaceAndAppend) {
  Load(Iota(20));
  const uint8_t buf[] = {0xD1, 0xD2, 0xD3, 0xD4, 0xD5};

  // Paste over a selection, undo: data as before, the 2 bytes selected again.
  Overwrite(5, 0x55);
  Select(6, 7);
  ed.PasteBuffer(buf, 5);
  ASSERT_EQ(ed.DataSize(), 23);
  ed.Undo();
  Bytes want = Iota(20);
  want[5] = 0x55;
  EXPECT_EQ(Data(), want);
  EXPECT_EQ(ed.SelAnchor(), 6);
  EXPECT_EQ(ed.SelFrom(), 6);
  EXPECT_EQ(ed.SelTo(), 7);
  EXPECT_EQ(ed.SelLength(), 2);
  EXPECT_EQ(ed.UndoDescription(), "Byte changed");
  EXPECT_FALSE(ed.IsByteChanged(5));  // the byte before the replaced range loses its mark

  // Insert at the cursor, undo.
  ed.SetSelStart(19);
  ed.InsertBuffer(buf, 3, 19);
  ASSERT_EQ(ed.DataSize(), 23);
  ed.Undo();
  EXPECT_EQ(Data(), want);
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_EQ(ed.CursorPosition(), 19);

  // Append with the cursor on a second digit column, undo: cut back, cursor back.
  ed.MoveCurrent(2 * 2 + 3, 1);  // byte 18, second digit
  ed.AppendBuffer(buf, 5);
  ASSERT_EQ(ed.DataSize(), 25);
  EXPECT_EQ(ed.UndoDescription(), "Append buffer");
  ed.Undo();
  EXPECT_EQ(Data(), want);
  EXPECT_EQ(ed.RowCount(), 2);
  EXPECT_EQ(ed.Col(), 2 * 2 + 3);
  EXPECT_EQ(ed.Row(), 1);

  ed.Undo();  // the byte change
  EXPECT_EQ(Data(), Iota(20));
  EXPECT_FALSE(ed.Modified());
  EXPECT_FALSE(ed.CanUndo());
}

TEST_F(UndoTest, EmptyDocumentInsertionUndoesToEmpty) {
  const uint8_t buf[] = {1, 2, 3, 4};
  ed.PasteBuffer(buf, 4);
  ed.AppendBuffer(buf, 2);
  ASSERT_EQ(ed.DataSize(), 6);
  ed.Undo();
  EXPECT_EQ(Data(), Bytes({1, 2, 3, 4}));
  ed.Undo();
  EXPECT_EQ(ed.DataSize(), 0);
  EXPECT_EQ(ed.Col(), 2);
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_FALSE(ed.Modified());
  EXPECT_FALSE(ed.CanUndo());
}

TEST_F(UndoTest, HistoryKeepsTheNewestHundredRecords) {
  Load(Bytes(256, 0));
  for (int i = 0; i < 101; ++i) Overwrite(i, static_cast<uint8_t>(i + 1));
  EXPECT_EQ(ed.UndoCount(), 100);
  EXPECT_EQ(ed.UndoStream().size(), 100u * 66u);
  // The oldest (byte 0) was pushed out; the stream starts with byte 1's record.
  EXPECT_EQ(U32At(ed.UndoStream(), 37), 1u);

  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(ed.CanUndo()) << i;
    ed.Undo();
  }
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_EQ(ed.ReadByte(0), 1);  // not undoable any more
  for (int i = 1; i < 101; ++i) ASSERT_EQ(ed.ReadByte(i), 0) << i;
  ed.Undo();
  EXPECT_EQ(ed.ReadByte(0), 1);

  // Records of different sizes are dropped whole: of 120 records the first
  // 20 (ten rounds) stay applied.
  Bytes afterTenRounds;
  for (int i = 0; i < 60; ++i) {
    Select(10, 10 + i % 7);
    ed.DeleteSelection();
    const uint8_t b[3] = {static_cast<uint8_t>(i), 0xEE, 0xEF};
    ed.InsertBuffer(b, 1 + i % 3, 10);
    if (i == 9) afterTenRounds = Data();
  }
  EXPECT_EQ(ed.UndoCount(), 100);
  size_t records = 0;
  for (size_t end = ed.UndoStream().size(); end > 0; ++records)
    end -= U32At(ed.UndoStream(), end - 4);
  EXPECT_EQ(records, 100u);
  for (int i = 0; i < 100; ++i) ed.Undo();
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_EQ(Data(), afterTenRounds);
}

TEST_F(UndoTest, UndoIsNotSubjectToNoSizeChange) {
  Load(Iota(30));
  Select(10, 19);
  ed.DeleteSelection();
  const uint8_t b = 0x99;
  ed.AppendBuffer(&b, 1);
  ed.SetNoSizeChange(true);
  ed.Undo();
  EXPECT_EQ(ed.DataSize(), 20);
  ed.Undo();
  EXPECT_EQ(Data(), Iota(30));
  EXPECT_FALSE(ed.Modified());
}

// ---- redo -------------------------------------------------------------------

TEST_F(UndoTest, RedoBringsBackEachUndoneChangeWithItsStateAndModified) {
  Load(Iota(64));
  Put(3, false, true);  // second digit of byte 3
  Overwrite(7, 0x70);
  Select(10, 12);
  const std::vector<uint8_t> two = {0xAA, 0xBB};
  ed.PasteBuffer(two.data(), 2);
  const std::vector<uint8_t> afterPaste = Data();
  const GridCell cursorAfterPaste = Cursor();
  const int32_t anchor = ed.SelAnchor(), from = ed.SelFrom(), to = ed.SelTo();
  const ChangeMarks marks = ed.GetChangeMarks();
  EXPECT_FALSE(ed.CanRedo());

  ed.Undo();
  ed.Undo();
  ASSERT_EQ(Data(), Iota(64));
  EXPECT_FALSE(ed.Modified());
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_TRUE(ed.CanRedo());
  EXPECT_EQ(ed.RedoCount(), 2);

  ed.Redo();
  EXPECT_EQ(ed.ReadByte(7), 0x70);
  EXPECT_TRUE(ed.IsByteChanged(7));
  EXPECT_TRUE(ed.Modified());
  EXPECT_TRUE(ed.CanUndo());
  EXPECT_EQ(ed.UndoDescription(), "Byte changed");
  ed.Redo();
  EXPECT_EQ(Data(), afterPaste);
  EXPECT_EQ(Cursor(), cursorAfterPaste);
  EXPECT_EQ(ed.SelAnchor(), anchor);
  EXPECT_EQ(ed.SelFrom(), from);
  EXPECT_EQ(ed.SelTo(), to);
  // The byte before the replaced run keeps its mark, which the undo took.
  EXPECT_EQ(ed.GetChangeMarks(), marks);
  EXPECT_FALSE(ed.CanRedo());
  EXPECT_EQ(ed.UndoCount(), 2);
  ed.Redo();  // nothing left: no change
  EXPECT_EQ(Data(), afterPaste);

  // Undo and Redo as often as one likes: back at the loaded state Modified
  // is false each time.
  for (int i = 0; i < 3; ++i) {
    ed.Undo();
    ed.Undo();
    EXPECT_FALSE(ed.Modified());
    EXPECT_EQ(Data(), Iota(64));
    ed.Redo();
    ed.Redo();
    EXPECT_TRUE(ed.Modified());
    EXPECT_EQ(Data(), afterPaste);
  }
}

TEST_F(UndoTest, ANewChangeOrTheEndOfTheHistoryEmptiesTheRedoHistory) {
  Load(Iota(64));
  Overwrite(1, 0x10);
  Overwrite(2, 0x20);
  ed.Undo();
  // Undoing further and finding nothing keeps what can be redone.
  ed.Undo();
  ed.Undo();
  EXPECT_EQ(ed.RedoCount(), 2);

  ed.Redo();
  Overwrite(3, 0x30);
  EXPECT_FALSE(ed.CanRedo());
  EXPECT_TRUE(ed.RedoStream().empty());
  ed.Redo();
  EXPECT_EQ(ed.ReadByte(2), 2);

  // A refused change is no change.
  ed.Undo();
  ed.SetNoSizeChange(true);
  ed.DeleteSelection();
  EXPECT_TRUE(ed.CanRedo());
  ed.SetNoSizeChange(false);

  // Saving, loading and a new document end both histories.
  ASSERT_TRUE(ed.SaveToFile(dir.File("saved.bin")));
  EXPECT_FALSE(ed.CanRedo());
  Overwrite(4, 0x40);
  ed.Undo();
  ASSERT_TRUE(ed.CanRedo());
  ed.NewDocument("Untitled");
  EXPECT_FALSE(ed.CanRedo());
  Load(Iota(8));
  Overwrite(4, 0x40);
  ed.Undo();
  Load(Iota(8));
  EXPECT_FALSE(ed.CanRedo());
}

TEST_F(UndoTest, AHundredStepsGoBackAndForward) {
  Load(Iota(200));
  for (int i = 0; i <= kMaxUndoRecords; ++i) Overwrite(i, static_cast<uint8_t>(0xFF - i));
  const std::vector<uint8_t> changed = Data();
  for (int i = 0; i < kMaxUndoRecords; ++i) ed.Undo();
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_EQ(ed.RedoCount(), kMaxUndoRecords);
  // The first change was pushed out of the history: it stays.
  EXPECT_EQ(ed.ReadByte(0), 0xFF);
  EXPECT_EQ(ed.ReadByte(1), 1);
  EXPECT_TRUE(ed.Modified());
  for (int i = 0; i < kMaxUndoRecords; ++i) ed.Redo();
  EXPECT_EQ(Data(), changed);
  EXPECT_EQ(ed.UndoCount(), kMaxUndoRecords);
  EXPECT_FALSE(ed.CanRedo());
}

}  // namespace
}  // namespace bm
