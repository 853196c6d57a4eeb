// Undo records whose removed or replaced bytes are kept as pieces of the
// document: nothing copied to keep them or to put them back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "platform/posix/posix_files.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t U32At(const Bytes& s, size_t at) {
  return s[at] | s[at + 1] << 8 | s[at + 2] << 16 | static_cast<uint32_t>(s[at + 3]) << 24;
}

struct SpillFiles {
  testing::TempDir temp;
  PosixFileSystem files{temp.Path()};
};

class UndoSpillTest : public ::testing::Test, protected SpillFiles, public testing::EditorFixture {
 protected:
  UndoSpillTest() : EditorFixture(800, 600, files) { ed.SetEditLimits(1024, 256); }

  // Bytes in the store of added bytes.
  int64_t Stored() const { return static_cast<int64_t>(std::filesystem::file_size(ed.WorkFileName())); }
  size_t FolderFiles() const {
    return testing::FolderNames(testing::PrivateFolder(temp.Path())).size();
  }
};

TEST_F(UndoSpillTest, ALargeRemovalKeepsItsPiecesAndUndoCopiesNothing) {
  const Bytes original = testing::Pattern(8000);
  Load(original);
  const size_t files = FolderFiles();
  Select(1000, 5999);
  const GridCell cursor = Cursor();
  ed.DeleteSelection();

  // The record keeps its fixed part and a trailer; its count is the real one.
  const Bytes& s = ed.UndoStream();
  ASSERT_EQ(s.size(), 73u);
  EXPECT_EQ(s[0], ckBytesRemoved);
  EXPECT_EQ(U32At(s, 37), 1000u);  // position
  EXPECT_EQ(U32At(s, 45), 5000u);  // count
  EXPECT_EQ(U32At(s, 69), 73u);
  EXPECT_EQ(ed.SpilledUndo().Count(), 1u);
  EXPECT_EQ(FolderFiles(), files) << "no file for the removed bytes";

  ed.Undo();
  EXPECT_EQ(Data(), original);
  EXPECT_EQ(Cursor(), cursor);
  EXPECT_EQ(ed.SelFrom(), 1000);
  EXPECT_EQ(ed.SelTo(), 5999);
  EXPECT_FALSE(ed.Modified());
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_EQ(Stored(), 0) << "the removed bytes went back as pieces of the file";
  EXPECT_EQ(ed.PieceCount(), 1) << "and joined their neighbours again";
  ed.Redo();
  ed.Undo();
  EXPECT_EQ(Data(), original);
  EXPECT_EQ(Stored(), 0);
}

TEST_F(UndoSpillTest, AReplacedSelectionAsPiecesUndoesAmongSmallRecords) {
  const Bytes original = testing::Pattern(6000, 7);
  Load(original);
  Overwrite(10, 0x99);
  Select(2000, 4999);
  const Bytes pasted(100, 0x42);
  ed.PasteBuffer(pasted.data(), 100);
  ed.AppendBuffer(pasted.data(), 3);  // a newer record after the one kept as pieces
  EXPECT_EQ(ed.DataSize(), 6000 - 3000 + 100 + 3);
  EXPECT_EQ(ed.UndoStream().size(), 66u + 73u + 66u);

  ed.Undo();
  ed.Undo();
  Bytes expected = original;
  expected[10] = 0x99;
  EXPECT_EQ(Data(), expected);
  EXPECT_EQ(ed.SelFrom(), 2000);
  EXPECT_EQ(ed.SelTo(), 4999);
  ed.Undo();
  EXPECT_EQ(Data(), original);
}

TEST_F(UndoSpillTest, PiecesGoWithTheirRecords) {
  Load(testing::Pattern(20000));
  const auto deleteRun = [&] {
    Select(0, 1999);
    ed.DeleteSelection();
  };
  deleteRun();
  deleteRun();
  EXPECT_EQ(ed.SpilledUndo().Count(), 2u);
  ed.Undo();
  EXPECT_EQ(ed.SpilledUndo().Count(), 1u);
  EXPECT_EQ(ed.SpilledRedo().Count(), 0u) << "a redo cuts the run again: nothing to keep";
  ed.Redo();
  EXPECT_EQ(ed.SpilledUndo().Count(), 2u);
  EXPECT_EQ(ed.SpilledRedo().Count(), 0u);

  // Saving ends the history.
  ASSERT_TRUE(ed.SaveToFile(dir.File("saved.bin")));
  EXPECT_EQ(ed.SpilledUndo().Count(), 0u);

  // The oldest record pushed out of a full history takes its pieces along.
  deleteRun();
  const auto change = [&](int32_t p) { Overwrite(p, static_cast<uint8_t>(ed.ReadByte(p) ^ 0xFF)); };
  for (int i = 0; i < kMaxUndoRecords - 1; ++i) change(i);
  EXPECT_EQ(ed.SpilledUndo().Count(), 1u);
  change(200);
  EXPECT_EQ(ed.UndoCount(), kMaxUndoRecords);
  EXPECT_EQ(ed.SpilledUndo().Count(), 0u);

  // A new document drops them too.
  deleteRun();
  EXPECT_EQ(ed.SpilledUndo().Count(), 1u);
  ed.NewDocument("Untitled");
  EXPECT_EQ(ed.SpilledUndo().Count(), 0u);
}

// Typed bytes are rewritten in place only while no kept version can see
// them: the content a replace-all keeps for Undo holds a typed byte, and
// typing over that byte afterwards must not change what was kept.
TEST_F(UndoSpillTest, KeptVersionsNeverSeeLaterTyping) {
  const Bytes original = testing::Pattern(5000);
  Load(original);
  Overwrite(2500, 0xAB);  // into the store
  Overwrite(2500, 0xAC);  // rewritten where it is: nothing else sees it yet
  EXPECT_EQ(Stored(), 1);
  Bytes typed = original;
  typed[2500] = 0xAC;
  ASSERT_EQ(Data(), typed);

  ReplaceAllRequest request;
  request.pattern = {original[10], original[11]};
  request.replacement = {0xEE, 0xEE, 0xEE};
  ASSERT_GE(ed.ReplaceAll(request).count, 1);
  const Bytes replaced = Data();
  const int64_t at = std::find(replaced.begin() + 2400, replaced.end(), 0xAC) - replaced.begin();
  ASSERT_LT(at, static_cast<int64_t>(replaced.size()));
  Overwrite(at, 0xCD);
  Overwrite(at, 0xCE);
  EXPECT_EQ(Data()[static_cast<size_t>(at)], 0xCE);
  ed.Undo();
  ed.Undo();
  EXPECT_EQ(Data(), replaced);
  ed.Undo();
  EXPECT_EQ(Data(), typed) << "the kept content still has the byte as it was";
  ed.Redo();
  EXPECT_EQ(Data(), replaced);
}

}  // namespace
}  // namespace bm
