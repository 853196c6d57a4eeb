// Positions beyond 32 bits: a sparse file past 4 GiB, opened in place.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

constexpr int64_t kGiB = int64_t{1} << 30;
using Bytes = std::vector<uint8_t>;

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


// Random edits, undos and redos past 4 GiB of a file read in place, checked
// against a model of the part after 4 GiB (all before it stays zero).
TEST_F(WidePositionsTest, RandomEditsPastFourGiBAgreeWithAModelOfTheTail) {
  const int64_t head = 4 * kGiB;
  Bytes model = testing::Pattern(4096, 11);
  const std::string path = dir.Write("wide.bin", Bytes());
  {
    std::ofstream out(path, std::ios::binary);
    out.seekp(head);
    out.write(reinterpret_cast<const char*>(model.data()), static_cast<std::streamsize>(model.size()));
  }
  ASSERT_TRUE(ed.LoadFromFile(path));
  std::vector<Bytes> undo, redo;
  std::mt19937 rng(44);
  auto pick = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
  auto push = [&] {
    undo.push_back(model);
    if (undo.size() > static_cast<size_t>(kMaxUndoRecords)) undo.erase(undo.begin());
    redo.clear();
  };
  for (int step = 0; step < 3000; ++step) {
    const auto n = static_cast<int64_t>(model.size());
    const int op = static_cast<int>(pick(0, 9));
    if (op <= 2 && n > 0) {
      const int64_t p = pick(0, n - 1);
      const auto v = static_cast<uint8_t>(pick(0, 255));
      if (v == model[static_cast<size_t>(p)]) continue;
      push();
      ed.OverwriteByte(ed.ReadByte(head + p), v, head + p, ed.RowOfPosition(head + p));
      model[static_cast<size_t>(p)] = v;
    } else if (op <= 4) {
      Bytes b(static_cast<size_t>(pick(1, 40)));
      for (auto& x : b) x = static_cast<uint8_t>(pick(0, 255));
      const int64_t p = pick(0, n);
      push();
      ed.InsertBuffer(b.data(), static_cast<int64_t>(b.size()), head + p);
      model.insert(model.begin() + p, b.begin(), b.end());
    } else if (op <= 6 && n > 1) {
      const int64_t a = pick(0, n - 1), z = std::min(n - 1, a + pick(0, 60));
      push();
      ed.SetSelStart(head + a);
      ed.SetSelEnd(head + z);
      ed.DeleteSelection();
      model.erase(model.begin() + a, model.begin() + z + 1);
    } else if (op <= 8 && !undo.empty()) {
      ed.Undo();
      redo.push_back(model);
      model = undo.back();
      undo.pop_back();
    } else if (!redo.empty()) {
      ed.Redo();
      undo.push_back(model);
      model = redo.back();
      redo.pop_back();
    }
    ASSERT_EQ(ed.DataSize(), head + static_cast<int64_t>(model.size())) << "step " << step;
    if (step % 25 == 0 || step == 2999) {
      Bytes tail(model.size());
      ASSERT_EQ(ed.ReadBytes(tail.data(), head, static_cast<int64_t>(tail.size())),
                static_cast<int64_t>(tail.size()));
      ASSERT_EQ(tail, model) << "step " << step;
      ASSERT_EQ(ed.ReadByte(pick(0, head - 1)), 0);
      ASSERT_LE(ed.PieceCount(), 2 * (step + 1) + 1);
    }
  }
}

}  // namespace
}  // namespace bm
