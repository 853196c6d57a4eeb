// Undo records whose bytes are kept in files beside the working copy.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"
#include "support/failing_files.h"

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

  // The working copy and the undo files (the recovery record aside).
  std::vector<std::string> TempFiles() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(testing::PrivateFolder(temp.Path())))
      if (e.path().extension() != ".rec") names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string SpillPath(int id) const { return ed.WorkFileName() + ".undo" + std::to_string(id); }
};

TEST_F(UndoSpillTest, ALargeRemovalKeepsItsBytesOnDiskAndUndoBringsThemBack) {
  const Bytes original = testing::Pattern(8000);
  Load(original);
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

  // The bytes are in a private file beside the working copy.
  struct stat st;
  ASSERT_EQ(::lstat(SpillPath(1).c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(testing::ReadAll(SpillPath(1)),
            Bytes(original.begin() + 1000, original.begin() + 6000));

  ed.Undo();
  EXPECT_EQ(Data(), original);
  EXPECT_EQ(Cursor(), cursor);
  EXPECT_EQ(ed.SelFrom(), 1000);
  EXPECT_EQ(ed.SelTo(), 5999);
  EXPECT_FALSE(ed.Modified());
  EXPECT_FALSE(ed.CanUndo());
  EXPECT_FALSE(std::filesystem::exists(SpillPath(1)));
}

TEST_F(UndoSpillTest, AReplacedSelectionOnDiskUndoesAmongSmallRecords) {
  const Bytes original = testing::Pattern(6000, 7);
  Load(original);
  Overwrite(10, 0x99);
  Select(2000, 4999);
  const Bytes pasted(100, 0x42);
  ed.PasteBuffer(pasted.data(), 100);
  ed.AppendBuffer(pasted.data(), 3);  // a newer record after the one on disk
  EXPECT_EQ(ed.DataSize(), 6000 - 3000 + 100 + 3);
  EXPECT_EQ(ed.UndoStream().size(), 66u + 73u + 66u);

  ed.Undo();
  ed.Undo();
  Bytes expected = original;
  expected[10] = 0x99;
  EXPECT_EQ(Data(), expected);
  EXPECT_EQ(ed.SelFrom(), 2000);
  EXPECT_EQ(ed.SelTo(), 4999);
  EXPECT_EQ(TempFiles().size(), 1u);  // the working copy only
  ed.Undo();
  EXPECT_EQ(Data(), original);
}

TEST_F(UndoSpillTest, FilesGoWithTheirRecords) {
  Load(testing::Pattern(20000));
  const auto deleteRun = [&] {
    Select(0, 1999);
    ed.DeleteSelection();
  };
  deleteRun();
  deleteRun();
  EXPECT_EQ(TempFiles().size(), 3u);

  // Saving ends the history.
  ASSERT_TRUE(ed.SaveToFile(dir.File("saved.bin")));
  EXPECT_EQ(TempFiles().size(), 1u);

  // The oldest record pushed out of a full history takes its file along.
  deleteRun();
  const auto change = [&](int32_t p) { Overwrite(p, static_cast<uint8_t>(ed.ReadByte(p) ^ 0xFF)); };
  for (int i = 0; i < kMaxUndoRecords - 1; ++i) change(i);
  EXPECT_EQ(TempFiles().size(), 2u);
  change(200);
  EXPECT_EQ(ed.UndoCount(), kMaxUndoRecords);
  EXPECT_EQ(TempFiles().size(), 1u);

  // A new document and the editor's end remove them too.
  deleteRun();
  EXPECT_EQ(TempFiles().size(), 2u);
  ed.NewDocument("Untitled");
  EXPECT_EQ(TempFiles().size(), 1u) << ::testing::PrintToString(TempFiles());
  Load(testing::Pattern(5000));
  deleteRun();
  EXPECT_EQ(TempFiles().size(), 2u);
  {
    TByteEditor other(nullptr, files);
    other.LoadFromFile(dir.Write("other.bin", testing::Pattern(5000)));
    other.SetEditLimits(1024, 256);
    other.SetSelStart(0);
    other.SetSelEnd(2999);
    other.DeleteSelection();
    EXPECT_EQ(TempFiles().size(), 4u);
  }
  EXPECT_EQ(TempFiles().size(), 2u);
}

TEST_F(UndoSpillTest, AFilePlantedUnderTheNameIsNeverOpened) {
  const Bytes original = testing::Pattern(5000);
  Load(original);
  const std::string victim = dir.Write("victim", std::string("keep"));
  ASSERT_EQ(::symlink(victim.c_str(), SpillPath(1).c_str()), 0);
  Select(0, 2999);
  ed.DeleteSelection();
  EXPECT_EQ(ed.DataSize(), 2000);
  EXPECT_EQ(testing::ReadAll(victim), Bytes({'k', 'e', 'e', 'p'}));
  ed.Undo();
  EXPECT_EQ(Data(), original);
  EXPECT_EQ(testing::ReadAll(victim), Bytes({'k', 'e', 'e', 'p'}));
}

}  // namespace
}  // namespace bm
