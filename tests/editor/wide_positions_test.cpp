// Positions beyond 32 bits: a sparse file past 4 GiB, opened in place.
#include <gtest/gtest.h>
#include <unistd.h>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

constexpr int64_t kGiB = int64_t{1} << 30;

class WidePositionsTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  // A loaded file of size bytes, 0..63 and then zeros.
  void Grow(int64_t size) {
    const std::string path = dir.Write("wide.bin", testing::Iota(64));
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
    ASSERT_TRUE(ed.LoadFromFile(path));
    ASSERT_EQ(ed.DataSize(), size);
  }
};

TEST_F(WidePositionsTest, RowsCellsAndOffsetsReachPastFourGiB) {
  const int64_t size = 5 * kGiB + 7;
  ASSERT_NO_FATAL_FAILURE(Grow(size));
  EXPECT_EQ(ed.RowCount(), (size + 15) / 16);
  EXPECT_EQ(ed.OffsetChars(), 9 + 3) << "the offset column widens for nine hex digits";

  const int64_t p = 4 * kGiB + 0x123;
  const GridCell cell = ed.PositionToCell(p, false);
  EXPECT_EQ(cell.row, p / 16);
  EXPECT_EQ(ed.CellToPosition(cell.col, cell.row), p);
  EXPECT_EQ(ed.RowOfPosition(p), p / 16);
  EXPECT_EQ(ed.LineStart(p / 16), p - p % 16);
  EXPECT_EQ(ed.OffsetText(p / 16), "0x100000120:");
  ed.SetOffsetDisplay(odDec);
  EXPECT_EQ(ed.OffsetText(ed.RowCount() - 1), std::to_string(size - 7) + ":");

  // Go to, strictly and by steps, lands exactly; past the end it is refused.
  ASSERT_TRUE(ed.GotoPosition(p, 0, true));
  EXPECT_EQ(ed.CursorPosition(), p);
  EXPECT_LE(ed.TopRow(), p / 16);
  EXPECT_GT(ed.TopRow() + ed.VisibleRowCount(), p / 16);
  ASSERT_TRUE(ed.GotoPosition(-3 * kGiB, 1, true));
  EXPECT_EQ(ed.CursorPosition(), p - 3 * kGiB);
  EXPECT_FALSE(ed.GotoPosition(5 * kGiB, 1, true));
  EXPECT_FALSE(ed.GotoPosition(size, 0, true));
  ASSERT_TRUE(ed.GotoPosition(0, 2, true));
  EXPECT_EQ(ed.CursorPosition(), size - 1);
  EXPECT_EQ(ed.Row(), ed.RowCount() - 1);
  EXPECT_EQ(ed.TopRow(), ed.MaxTopRow());
}

TEST_F(WidePositionsTest, EditsAndTheirUndoPastFourGiBKeepTheirPlace) {
  ASSERT_NO_FATAL_FAILURE(Grow(4 * kGiB + 100));
  const int64_t p = 4 * kGiB + 10;
  ed.SetSelStart(p);
  Type("4");
  Type("1");
  EXPECT_EQ(ed.ReadByte(p), 0x41);
  EXPECT_TRUE(ed.IsByteChanged(p));
  EXPECT_FALSE(ed.IsByteChanged(p - (int64_t{1} << 32))) << "no 32-bit alias of the mark";
  EXPECT_EQ(ed.CursorPosition(), p + 1);

  // Removing two bytes far out and taking it back restores them and the cursor.
  Select(p - 1, p);
  ed.DeleteSelection();
  EXPECT_EQ(ed.DataSize(), 4 * kGiB + 98);
  EXPECT_EQ(ed.ReadByte(p - 1), 0);
  ed.Undo();
  EXPECT_EQ(ed.DataSize(), 4 * kGiB + 100);
  EXPECT_EQ(ed.ReadByte(p), 0x41);
  EXPECT_EQ(ed.SelFrom(), p - 1);
  EXPECT_EQ(ed.SelTo(), p);
  ed.Undo();  // each digit was a step of its own
  EXPECT_EQ(ed.ReadByte(p), 0x40);
  ed.Undo();
  EXPECT_EQ(ed.ReadByte(p), 0);
  EXPECT_EQ(ed.CursorPosition(), p);
  ed.Redo();
  EXPECT_EQ(ed.ReadByte(p), 0x40);

  // Markers keep rows past 2^31.
  ed.SetMarker(3, ed.Row());
  EXPECT_EQ(ed.GetMarker(3), p / 16);
  EXPECT_GT(ed.GetMarker(3), int64_t{INT32_MAX} / 16);

  // Searches forward and backward find the byte past 4 GiB.
  uint8_t pattern[] = {0x40};
  EXPECT_EQ(ed.FindData(pattern, 1, p - 5000, ed.DataSize() - 1, false, false), p);
  EXPECT_EQ(ed.FindDataBackward(pattern, 1, ed.DataSize() - 1, p - 5000, false, false), p);
}

}  // namespace
}  // namespace bm
