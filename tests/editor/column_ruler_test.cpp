// The column ruler's texts and positions against the grid's own cell
// rectangles, for every line width, grouping and offset style.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editor/column_ruler.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

class ColumnRulerTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  ColumnRulerTest() : EditorFixture(4000, 600) {}

  // Every cell stands exactly over its column and says what it should;
  // returns the columns it covers.
  std::vector<int> CheckCells() {
    std::vector<int> cols;
    const int b = ed.BytesPerLine();
    for (const RulerCell& cell : ColumnRulerCells(ed)) {
      const Rect r = ed.CellRect(cell.col, ed.TopRow());
      EXPECT_FALSE(r.IsEmpty()) << cell.col;
      EXPECT_EQ(cell.left, r.left) << cell.col;
      EXPECT_EQ(cell.width, r.Width()) << cell.col;
      EXPECT_EQ(cell.text, Expected(cell.col, b)) << "column " << cell.col;
      cols.push_back(cell.col);
    }
    return cols;
  }

  std::string Expected(int col, int b) const {
    const char* format = "%02X";
    int radix = 16;
    if (ed.OffsetDisplay() == odDec) format = "%02d", radix = 10;
    if (ed.OffsetDisplay() == odOctal) format = "%02o", radix = 8;
    if (col >= 2 * b + 3) return std::string(1, "0123456789ABCDEF"[(col - 2 * b - 3) % radix]);
    char label[8];
    std::snprintf(label, sizeof label, format, (col - 2) / 2);
    return std::string(1, label[(col - 2) % 2]);
  }

  std::vector<int> Current() {
    std::vector<int> cols;
    for (const RulerCell& cell : ColumnRulerCells(ed))
      if (cell.current) cols.push_back(cell.col);
    return cols;
  }
};

TEST_F(ColumnRulerTest, TextsLineUpWithTheCellsForEveryLayout) {
  LoadPattern(1000);
  for (int b : {16, 32, 64})
    for (int group : {1, 2, 4})
      for (TOffsetDisplayStyle style : {odHex, odDec, odOctal, odNone}) {
        SCOPED_TRACE(::testing::Message() << b << " bytes, group " << group << ", style " << style);
        ed.SetBytesPerLine(b);
        ed.SetBytesPerColumn(group);
        ed.SetOffsetDisplay(style);
        std::vector<int> expected;  // every digit and character column, no other
        for (int c = 2; c < 3 * b + 3; ++c)
          if (c != 2 * b + 2) expected.push_back(c);
        EXPECT_EQ(CheckCells(), expected);
      }
  // The last byte of a 64-byte line: 3F, 63 and 77 in the three styles.
  EXPECT_EQ(RulerByteLabel(63, odHex), "3F");
  EXPECT_EQ(RulerByteLabel(63, odDec), "63");
  EXPECT_EQ(RulerByteLabel(63, odOctal), "77");
  EXPECT_EQ(RulerByteLabel(255, odNone), "FF");
}

TEST_F(ColumnRulerTest, FollowsScrollingMarkersGridLinesAndTheCursor) {
  LoadPattern(1000);
  ed.SetShowMarkerColumn(false);
  ed.SetGridLineWidth(1);
  CheckCells();

  // Scrolled sideways in a narrow window: from the first visible column to
  // the last one the window shows, part of it or all.
  ed.SetClientSize(300, 200);
  ed.SetLeftCol(9);
  const std::vector<int> cols = CheckCells();
  ASSERT_FALSE(cols.empty());
  EXPECT_EQ(cols.front(), 9);
  EXPECT_TRUE(ed.CellRect(cols.back() + 1, ed.TopRow()).IsEmpty());

  ed.SetClientSize(4000, 600);
  ed.SetLeftCol(2);
  Put(37);  // byte 5 of its line, in both fields
  EXPECT_EQ(Current(), (std::vector<int>{12, 13, 2 * 16 + 3 + 5}));
  Put(47, true);
  EXPECT_EQ(Current(), (std::vector<int>{32, 33, 2 * 16 + 3 + 15}));
}

}  // namespace
}  // namespace bm
