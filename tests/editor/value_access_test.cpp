// The bytes at a position out of the read window, and a run overwritten in
// place as one change that Undo takes back.
#include <gtest/gtest.h>

#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"
#include "support/failing_files.h"

namespace bm {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ValueAccess, PeekReadsTheWindowAndTheFileOnlyWhenTheWindowLacksThePosition) {
  testing::TempDir temp;
  // Loaded by a copy into the store, whose reads are counted.
  struct Files : testing::FailingFileSystem {
    using FailingFileSystem::FailingFileSystem;
    std::unique_ptr<LoadSource> OpenForLoad(const std::string& path) override {
      return FileSystem::OpenForLoad(path);
    }
  } files(temp.Path());
  testing::EditorFixture f(800, 600, files);
  const Bytes data = testing::Pattern(200000);
  f.Load(data);
  uint8_t out[8];

  files.FailAt(0, testing::FailingFileSystem::kRead);  // counts the reads
  ASSERT_EQ(f.ed.PeekBytes(100, out, 8), 8);
  EXPECT_EQ(Bytes(out, out + 8), Bytes(data.begin() + 100, data.begin() + 108));
  const int64_t first = files.Steps();
  EXPECT_EQ(f.ed.PeekBytes(101, out, 8), 8);
  EXPECT_EQ(f.ed.PeekBytes(5000, out, 4), 4);
  EXPECT_EQ(files.Steps(), first) << "the window held them";

  // Far away, and across the window's end: loaded once, around the position.
  const int32_t edge = f.ed.ReadWindowStart() + kReadWindowSize - 3;
  ASSERT_EQ(f.ed.PeekBytes(edge, out, 8), 8);
  EXPECT_EQ(Bytes(out, out + 8), Bytes(data.begin() + edge, data.begin() + edge + 8));
  EXPECT_GT(files.Steps(), first);
  ASSERT_EQ(f.ed.PeekBytes(150000, out, 8), 8);
  EXPECT_EQ(Bytes(out, out + 8), Bytes(data.begin() + 150000, data.begin() + 150008));

  // Near the end only what there is; nothing at or past it, or before 0.
  EXPECT_EQ(f.ed.PeekBytes(199997, out, 8), 3);
  EXPECT_EQ(Bytes(out, out + 3), Bytes(data.end() - 3, data.end()));
  EXPECT_EQ(f.ed.PeekBytes(200000, out, 8), 0);
  EXPECT_EQ(f.ed.PeekBytes(-1, out, 8), 0);
  f.ed.NewDocument("Untitled");
  EXPECT_EQ(f.ed.PeekBytes(0, out, 8), 0);
}

TEST(ValueAccess, OverwriteIsOneChangeThatKeepsSizeCursorAndSelection) {
  testing::EditorFixture f;
  const Bytes data = testing::Pattern(100);
  f.Load(data);
  f.Overwrite(60, 0xEE);  // a mark beyond the run, which the write keeps
  f.Select(3, 9);
  const int col = f.ed.Col(), row = f.ed.Row();
  const int undos = f.ed.UndoCount();
  const Bytes value = {0x78, 0x56, 0x34, 0x12};

  ASSERT_TRUE(f.ed.OverwriteBytes(40, value.data(), 4));
  Bytes expected = data;
  expected[60] = 0xEE;
  std::copy(value.begin(), value.end(), expected.begin() + 40);
  EXPECT_EQ(f.Data(), expected);
  EXPECT_EQ(f.ed.UndoCount(), undos + 1);
  EXPECT_EQ(f.ed.UndoDescription(), "Replace selection");
  EXPECT_TRUE(f.ed.Modified());
  for (int32_t p = 39; p <= 44; ++p) EXPECT_EQ(f.ed.IsByteChanged(p), p >= 40 && p < 44) << p;
  EXPECT_TRUE(f.ed.IsByteChanged(60));
  EXPECT_EQ(f.ed.Col(), col);
  EXPECT_EQ(f.ed.Row(), row);
  EXPECT_EQ(f.ed.SelFrom(), 3);
  EXPECT_EQ(f.ed.SelTo(), 9);
  // What the read window shows is the new bytes (painting reads them there).
  uint8_t seen[4];
  ASSERT_EQ(f.ed.PeekBytes(40, seen, 4), 4);
  EXPECT_EQ(Bytes(seen, seen + 4), value);

  f.ed.Undo();
  expected = data;
  expected[60] = 0xEE;
  EXPECT_EQ(f.Data(), expected);
  EXPECT_EQ(f.ed.UndoCount(), undos);
  EXPECT_EQ(f.ed.SelFrom(), 3);
  EXPECT_EQ(f.ed.SelTo(), 9);
  ASSERT_EQ(f.ed.PeekBytes(40, seen, 4), 4);
  EXPECT_EQ(Bytes(seen, seen + 4), Bytes(data.begin() + 40, data.begin() + 44));

  // Refused: past the end, outside the data, nothing to write, no data.
  EXPECT_FALSE(f.ed.OverwriteBytes(97, value.data(), 4));
  EXPECT_FALSE(f.ed.OverwriteBytes(-1, value.data(), 4));
  EXPECT_FALSE(f.ed.OverwriteBytes(10, value.data(), 0));
  EXPECT_EQ(f.ed.UndoCount(), undos);
  f.ed.NewDocument("Untitled");
  EXPECT_FALSE(f.ed.OverwriteBytes(0, value.data(), 1));
  EXPECT_FALSE(f.ed.CanUndo());
}

}  // namespace
}  // namespace bm
