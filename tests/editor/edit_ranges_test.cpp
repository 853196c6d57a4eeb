// Range edits, the change gate and change marks of TByteEditor.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::Iota;

class EditRangesTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  EditRangesTest() : EditorFixture(800, 600) {}

  void Load(const Bytes& data) {
    ASSERT_NO_FATAL_FAILURE(EditorFixture::Load(data));
    ASSERT_EQ(ed.DataSize(), static_cast<int32_t>(data.size()));
  }

  Bytes Data() {
    Bytes b(static_cast<size_t>(ed.DataSize()));
    if (!b.empty()) {
      EXPECT_EQ(ed.ReadBytes(b.data(), 0, static_cast<int32_t>(b.size())), ed.DataSize());
    }
    return b;
  }
};

TEST_F(EditRangesTest, PasteWithoutSelectionInsertsAtCursorAndSelectsThePastedBytes) {
  Load(Iota(10));
  ed.SetSelStart(4);
  const uint8_t paste[] = {0xA1, 0xA2, 0xA3};
  ed.PasteBuffer(paste, 3);

  Bytes want = Iota(10);
  want.insert(want.begin() + 4, paste, paste + 3);
  EXPECT_EQ(Data(), want);
  EXPECT_EQ(ed.SelAnchor(), 4);
  EXPECT_EQ(ed.SelFrom(), 4);
  EXPECT_EQ(ed.SelTo(), 6);
  EXPECT_EQ(ed.SelLength(), 3);
  EXPECT_EQ(ed.CursorPosition(), 4);
  EXPECT_TRUE(ed.Modified());
  EXPECT_TRUE(ed.CanUndo());
  EXPECT_EQ(ed.UndoDescription(), "Insert buffer");

  // Inserting away from the cursor selects nothing.
  ed.SetSelStart(0);
  ed.InsertBuffer(paste, 2, 9);
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_EQ(ed.DataSize(), 15);
  EXPECT_EQ(ed.ReadByte(9), 0xA1);
  EXPECT_EQ(ed.ReadByte(11), 6);
}

TEST_F(EditRangesTest, PasteOverSelectionReplacesItAndSelectsOnlyWhenCursorWasOnTheFirstByte) {
  Load(Iota(10));
  const uint8_t paste[] = {0xB1, 0xB2, 0xB3, 0xB4, 0xB5};

  Select(2, 3);  // cursor on byte 2, the first selected byte
  ed.PasteBuffer(paste, 5);
  Bytes want = Iota(10);
  want.erase(want.begin() + 2, want.begin() + 4);
  want.insert(want.begin() + 2, paste, paste + 5);
  EXPECT_EQ(Data(), want);
  EXPECT_EQ(ed.SelAnchor(), 2);
  EXPECT_EQ(ed.SelFrom(), 2);
  EXPECT_EQ(ed.SelTo(), 6);
  EXPECT_EQ(ed.CursorPosition(), 2);
  EXPECT_EQ(ed.UndoDescription(), "Replace selection");

  // Cursor on the last selected byte: replaced, nothing selected, cursor on
  // the first byte of the replaced range.
  Select(8, 7);
  ed.PasteBuffer(paste, 1);
  want.erase(want.begin() + 7, want.begin() + 9);
  want.insert(want.begin() + 7, paste[0]);
  EXPECT_EQ(Data(), want);
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_EQ(ed.SelLength(), 0);
  EXPECT_EQ(ed.CursorPosition(), 7);

  // Replacing the whole document.
  Select(0, ed.DataSize() - 1);
  ed.PasteBuffer(paste, 2);
  EXPECT_EQ(Data(), Bytes(paste, paste + 2));
  EXPECT_EQ(ed.SelFrom(), 0);
  EXPECT_EQ(ed.SelTo(), 1);
}

TEST_F(EditRangesTest, NoSizeChangeKeepsTheSizeAndRefusesEveryResizingEdit) {
  Load(Iota(20));
  ed.SetNoSizeChange(true);
  const uint8_t paste[] = {0xC1, 0xC2, 0xC3, 0xC4, 0xC5};

  // Refused edits: no data change, no undo step, not modified, but the host
  // is told all the same.
  Select(3, 6);
  host.queue.clear();
  ed.DeleteSelection();
  EXPECT_FALSE(host.queue.empty());
  ed.DeleteAtCursor(false);
  ed.DeleteAtCursor(true);
  ed.InsertBuffer(paste, 2, 5);
  ed.AppendBuffer(paste, 2);
  EXPECT_EQ(Data(), Iota(20));
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_FALSE(ed.Modified());

  // Longer buffer than selection: only the selection's length is used.
  Select(2, 3);
  ed.PasteBuffer(paste, 5);
  Bytes want = Iota(20);
  want[2] = 0xC1;
  want[3] = 0xC2;
  EXPECT_EQ(Data(), want);
  EXPECT_EQ(ed.SelFrom(), 2);
  EXPECT_EQ(ed.SelTo(), 3);

  // Shorter buffer: the first bytes of the selection are overwritten and the
  // rest stays.
  Select(10, 14);
  ed.PasteBuffer(paste + 3, 2);
  want[10] = 0xC4;
  want[11] = 0xC5;
  EXPECT_EQ(Data(), want);
  EXPECT_EQ(ed.SelFrom(), 10);
  EXPECT_EQ(ed.SelTo(), 11);

  // The selection may also run leftwards.
  Select(18, 16);
  ed.PasteBuffer(paste, 1);
  want[16] = 0xC1;
  EXPECT_EQ(Data(), want);

  // Typing over bytes still works.
  Overwrite(0, 0xEE);
  want[0] = 0xEE;
  EXPECT_EQ(Data(), want);
  EXPECT_TRUE(ed.Modified());
}

TEST_F(EditRangesTest, EmptyDocumentAcceptsOnlyInsertions) {
  ASSERT_EQ(ed.DataSize(), 0);
  ed.DeleteSelection();
  ed.DeleteAtCursor(false);
  ed.DeleteAtCursor(true);
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_FALSE(ed.Modified());
  EXPECT_FALSE(ed.HasWorkStream());

  const uint8_t paste[] = {1, 2, 3};
  ed.PasteBuffer(paste, 3);
  EXPECT_EQ(Data(), Bytes({1, 2, 3}));
  EXPECT_EQ(ed.SelFrom(), 0);
  EXPECT_EQ(ed.SelTo(), 2);
  EXPECT_TRUE(ed.Modified());

  // Append into a fresh empty document moves the cursor onto the new byte.
  ed.NewDocument("Untitled");
  ed.AppendBuffer(paste, 2);
  EXPECT_EQ(Data(), Bytes({1, 2}));
  EXPECT_EQ(ed.SelFrom(), 0);
  EXPECT_EQ(ed.SelTo(), 1);
  EXPECT_EQ(ed.CursorPosition(), 0);
  ed.AppendBuffer(paste + 2, 1);
  EXPECT_EQ(Data(), Bytes({1, 2, 3}));
  EXPECT_EQ(ed.CursorPosition(), 2);
  EXPECT_EQ(ed.SelAnchor(), 2);

  // Nothing to insert is no change.
  ed.NewDocument("Untitled");
  ed.PasteBuffer(paste, 0);
  ed.AppendBuffer(paste, 0);
  EXPECT_EQ(ed.DataSize(), 0);
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_FALSE(ed.Modified());
}

TEST_F(EditRangesTest, DeletingAtTheEndAndDeletingEverything) {
  Load(Iota(40));

  // Delete on the last byte removes it; the cursor goes to the new last byte.
  ed.SetSelStart(39);
  ed.DeleteAtCursor(false);
  EXPECT_EQ(ed.DataSize(), 39);
  EXPECT_EQ(ed.CursorPosition(), 38);
  EXPECT_EQ(ed.RowCount(), 3);

  // Delete in the middle: the cursor stays on its cell, now the next byte.
  ed.SetSelStart(5);
  ed.DeleteAtCursor(false);
  EXPECT_EQ(ed.CursorPosition(), 5);
  EXPECT_EQ(ed.ReadByte(5), 6);

  // Backspace removes the byte before the cursor and moves onto its place.
  ed.SetSelStart(10);
  ed.DeleteAtCursor(true);
  EXPECT_EQ(ed.DataSize(), 37);
  EXPECT_EQ(ed.CursorPosition(), 9);
  EXPECT_EQ(ed.ReadByte(9), 11);

  // Backspace at position 0 does nothing.
  ed.SetSelStart(0);
  const int undoSteps = ed.UndoCount();
  ed.DeleteAtCursor(true);
  EXPECT_EQ(ed.DataSize(), 37);
  EXPECT_EQ(ed.UndoCount(), undoSteps);

  // Deleting the last line moves the cursor, in its field, to the new last byte.
  ed.MoveCurrent(ed.FirstCharColumn() + 1, 2);  // cursor in the character field
  Select(32, 36);
  ed.DeleteSelection();
  EXPECT_EQ(ed.DataSize(), 32);
  EXPECT_EQ(ed.RowCount(), 2);
  EXPECT_EQ(ed.Row(), 1);
  EXPECT_EQ(ed.Col(), ed.FirstCharColumn() + 15);
  EXPECT_EQ(ed.SelAnchor(), -1);

  // Deleting everything leaves an empty document with the cursor on the
  // first digit cell.
  Select(0, 31);
  ed.DeleteSelection();
  EXPECT_EQ(ed.DataSize(), 0);
  EXPECT_EQ(ed.Col(), 2);
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(ed.RowCount(), 1);
  EXPECT_EQ(ed.SelAnchor(), -1);
  ed.DeleteAtCursor(false);
  EXPECT_EQ(ed.DataSize(), 0);
}

TEST_F(EditRangesTest, ChangeMarksAreCutWherePositionsStartToShift) {
  Load(Iota(32));
  Overwrite(3, 0xF3);
  Overwrite(8, 0xF8);
  EXPECT_TRUE(ed.IsByteChanged(3));
  EXPECT_TRUE(ed.IsByteChanged(8));
  EXPECT_FALSE(ed.IsByteChanged(4));
  EXPECT_FALSE(ed.IsByteChanged(100));

  ed.SetSelStart(5);
  ed.DeleteSelection();  // nothing selected: the cursor's byte
  EXPECT_TRUE(ed.IsByteChanged(3));
  EXPECT_FALSE(ed.IsByteChanged(8));
  EXPECT_FALSE(ed.IsByteChanged(7));
  EXPECT_EQ(ed.ChangeMarksLength(), 5);

  // An insertion cuts at its position; bytes before it keep their marks.
  Overwrite(20, 0x11);
  const uint8_t b = 0x55;
  ed.InsertBuffer(&b, 1, 10);
  EXPECT_FALSE(ed.IsByteChanged(20));
  EXPECT_FALSE(ed.IsByteChanged(21));
  EXPECT_TRUE(ed.IsByteChanged(3));

  // A paste cuts at the replaced range's start.
  Select(2, 4);
  ed.PasteBuffer(&b, 1);
  EXPECT_FALSE(ed.IsByteChanged(3));
  EXPECT_EQ(ed.ChangeMarksLength(), 2);

  // Marks are kept per position, and clearing past the end adds nothing.
  ed.SetChangeMark(6, true);
  ed.SetChangeMark(6, false);
  ed.SetChangeMark(30, false);
  EXPECT_EQ(ed.ChangeMarksLength(), 7);
  EXPECT_FALSE(ed.IsByteChanged(6));

  // In insert mode no byte shows as changed, and setting a mark there
  // forgets the others.
  ed.SetChangeMark(1, true);
  ed.SetAllowInsertMode(true);
  ed.ToggleInsertState();
  ASSERT_TRUE(ed.IsInsertMode());
  ed.SetChangeMark(5, true);
  ed.SetChangeMark(2, true);
  EXPECT_EQ(ed.ChangeMarksLength(), 3);
  EXPECT_FALSE(ed.IsByteChanged(2));
  ed.ToggleInsertState();
  EXPECT_FALSE(ed.IsByteChanged(1));
}

TEST_F(EditRangesTest, BufferFromFileClipsTheCountAndRejectsPositionsOutsideTheData) {
  Load(Iota(50));
  int64_t count = 10;
  auto buf = ed.BufferFromFile(48, count);
  ASSERT_TRUE(buf);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(buf[0], 48);
  EXPECT_EQ(buf[1], 49);

  count = 5;
  buf = ed.BufferFromFile(10, count);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(Bytes(buf.get(), buf.get() + 5), Bytes({10, 11, 12, 13, 14}));

  for (int32_t bad : {50, -1, 1000}) {
    count = 1;
    try {
      ed.BufferFromFile(bad, count);
      ADD_FAILURE() << "no error for position " << bad;
    } catch (const EEditorError& e) {
      EXPECT_STREQ(e.what(), "Invalid BufferFromFile argument");
    }
    EXPECT_EQ(count, 1);
  }
  count = -3;
  EXPECT_THROW(ed.BufferFromFile(0, count), EEditorError);

  ed.NewDocument("Untitled");
  count = 1;
  EXPECT_THROW(ed.BufferFromFile(0, count), EEditorError);
}

// Runs larger than the move block, shifted by less than a block (the blocks
// overlap their destinations) and by more than one.
TEST_F(EditRangesTest, MoveBytesCopiesOverlappingRunsExactlyAcrossBlocks) {
  constexpr size_t kSize = (5u << 20) / 2 + 777;  // 2.5 MiB and a bit
  Bytes data(kSize);
  std::mt19937 rng(7);
  for (auto& b : data) b = static_cast<uint8_t>(rng());
  Load(data);

  struct Move { int32_t source, destination, count; };
  const Move moves[] = {
      {1, 0, static_cast<int32_t>(kSize) - 1},            // down by one
      {0, 3, static_cast<int32_t>(kSize) - 3},            // up by three
      {(1 << 20) + 5, 17, (1 << 20) + 100},               // down, more than a block
      {100, (3 << 19) + 100, static_cast<int32_t>(kSize) - (3 << 19) - 100},  // up, 1.5 MiB
      {4096, 4096, 100},                                  // onto itself
  };
  for (const Move& m : moves) {
    SCOPED_TRACE(::testing::Message() << m.source << " -> " << m.destination << " x" << m.count);
    ed.MoveBytes(m.source, m.destination, m.count);
    std::memmove(data.data() + m.destination, data.data() + m.source, static_cast<size_t>(m.count));
    ASSERT_EQ(Data(), data);
  }

  // The edits built on it: delete at 0, insert at 0, and their undo.
  const Bytes before = Data();
  ed.SetSelStart(0);
  ed.DeleteAtCursor(false);
  Bytes want(before.begin() + 1, before.end());
  ASSERT_EQ(Data(), want);
  const uint8_t ins[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};
  ed.InsertBuffer(ins, 16, 0);
  want.insert(want.begin(), ins, ins + 16);
  ASSERT_EQ(Data(), want);
  ed.Undo();
  ed.Undo();
  ASSERT_EQ(Data(), before);
}

}  // namespace
}  // namespace bm
