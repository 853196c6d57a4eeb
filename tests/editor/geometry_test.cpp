// Columns, rows and the cell/position mapping of TByteEditor.
#include <gtest/gtest.h>

#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

class GeometryTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  GeometryTest() : EditorFixture(800, 600) {}
  void Load(size_t size) {
    ASSERT_NO_FATAL_FAILURE(LoadPattern(size));
    ASSERT_EQ(ed.DataSize(), static_cast<int32_t>(size));
  }
  std::vector<int> Widths() const {
    std::vector<int> w;
    for (int c = 0; c < ed.ColCount(); ++c) w.push_back(ed.ColWidths(c));
    return w;
  }
};

TEST_F(GeometryTest, ColumnWidthsFollowFontAndGrouping) {
  EXPECT_EQ(ed.CharWidth(), 8);
  EXPECT_EQ(ed.LineHeight(), 16);
  EXPECT_EQ(ed.DefaultRowHeight(), 16);
  EXPECT_EQ(ed.RowCount(), 1);
  EXPECT_EQ(ed.OffsetChars(), 4);  // empty document: "0" plus 3

  ed.SetBytesPerColumn(1);
  std::vector<int> expected{32, 8};
  for (int i = 0; i < 16; ++i) {
    expected.push_back(8);
    expected.push_back(16);
  }
  for (int i = 0; i < 17; ++i) expected.push_back(8);
  EXPECT_EQ(Widths(), expected);

  ed.SetBytesPerColumn(4);
  std::vector<int> w = Widths();
  ASSERT_EQ(w.size(), 51u);
  for (int c = 2; c <= 33; ++c)
    EXPECT_EQ(w[static_cast<size_t>(c)], (c == 9 || c == 17 || c == 25 || c == 33) ? 16 : 8) << c;

  // A grouping that does not divide the line: the last, shorter group ends
  // the line without a gap.
  ed.SetBytesPerColumn(3);
  w = Widths();
  for (int c = 2; c <= 33; ++c)
    EXPECT_EQ(w[static_cast<size_t>(c)], (c == 7 || c == 13 || c == 19 || c == 25 || c == 31) ? 16 : 8)
        << c;

  // A grouping below 1 has no gaps (and must not divide by zero).
  ed.SetBytesPerColumn(0);
  w = Widths();
  for (int c = 2; c <= 33; ++c) EXPECT_EQ(w[static_cast<size_t>(c)], 8) << c;
  ed.SetBytesPerColumn(2);

  ed.SetShowMarkerColumn(false);
  EXPECT_EQ(ed.ColWidths(1), 0);
  ed.SetShowMarkerColumn(true);
  EXPECT_EQ(ed.ColWidths(1), 8);

  // A new font takes effect on the next relayout.
  FontDesc big = ed.Font();
  big.SetSize(20);
  ed.SetFont(big);
  host.measure.charWidth = 10;
  host.measure.textHeight = 20;
  EXPECT_EQ(ed.CharWidth(), 8);
  ed.UpdateColumnWidths();
  EXPECT_EQ(ed.CharWidth(), 10);
  EXPECT_EQ(ed.LineHeight(), 22);
  EXPECT_EQ(ed.ColWidths(0), 40);
}

TEST_F(GeometryTest, RowsAndOffsetColumnFollowDataSize) {
  Load(32);
  EXPECT_EQ(ed.RowCount(), 2);  // no extra row past the end
  EXPECT_EQ(ed.PositionToCell(32, false), (GridCell{2, 2}));
  Load(1);
  EXPECT_EQ(ed.RowCount(), 1);
  Load(16);
  EXPECT_EQ(ed.OffsetChars(), 4);
  Load(17);  // the last row starts at 0x10: one digit more
  EXPECT_EQ(ed.OffsetChars(), 5);

  Load(4096);  // last row at 4080 = 0xFF0 = 07760
  EXPECT_EQ(ed.RowCount(), 256);
  EXPECT_EQ(ed.OffsetChars(), 6);
  EXPECT_EQ(ed.ColWidths(0), 48);
  host.ClearInvalidations();
  ed.SetOffsetDisplay(odDec);
  EXPECT_EQ(ed.OffsetChars(), 5);
  EXPECT_EQ(ed.ColWidths(0), 40);
  EXPECT_GT(host.invalidateAllCount, 0);
  ed.SetOffsetDisplay(odOctal);
  EXPECT_EQ(ed.OffsetChars(), 8);
  ed.SetOffsetDisplay(odNone);
  EXPECT_EQ(ed.OffsetChars(), 0);
  EXPECT_EQ(ed.ColWidths(0), 0);
  host.ClearInvalidations();
  ed.SetOffsetDisplay(odNone);
  EXPECT_EQ(host.invalidateAllCount, 0);
}

TEST_F(GeometryTest, CellAndPositionMappingsAreInverse) {
  Load(1000);
  for (int bpl : {1, 3, 16, 256}) {
    ed.SetBytesPerLine(bpl);
    const int h = 2 * bpl;
    for (int32_t p = 0; p < 1000; ++p) {
      for (bool field : {false, true}) {
        const GridCell cell = ed.PositionToCell(p, field);
        ASSERT_EQ(cell.row, p / bpl);
        ASSERT_LT(cell.col, ed.ColCount());
        ASSERT_EQ(ed.CellToPosition(cell.col, cell.row), p) << bpl << " " << field;
        ASSERT_EQ(ed.InCharField(), field) << bpl << " " << p;
        if (!field) {
          // The second digit column maps to the same byte, in the hex field.
          ASSERT_EQ(ed.CellToPosition(cell.col + 1, cell.row), p);
          ASSERT_FALSE(ed.InCharField());
        }
      }
    }
    // Every data column of a row maps into that row's line.
    for (int c = 2; c < ed.ColCount(); ++c) {
      if (c == h + 2) continue;
      const int32_t p = ed.CellToPosition(c, 2);
      EXPECT_EQ(ed.RowOfPosition(p), 2);
      EXPECT_EQ(ed.InCharField(), c > h + 2);
    }
  }
  ed.SetBytesPerLine(16);
  EXPECT_EQ(ed.PositionToCell(-1, true), (GridCell{2, 0}));
  EXPECT_EQ(ed.CellToPosition(0, 0), 0);  // negative sums clamp to 0
  EXPECT_EQ(ed.CellToPosition(0, 1), 15);
  EXPECT_EQ(ed.LineStart(3), 48);
  EXPECT_EQ(ed.RowOfPosition(47), 2);

  for (int i = 0; i < 16; ++i) {
    bool isChar = true;
    EXPECT_EQ(ed.CounterpartColumn(2 + 2 * i, &isChar), 35 + i);
    EXPECT_FALSE(isChar);
    EXPECT_EQ(ed.CounterpartColumn(3 + 2 * i), 35 + i);
    EXPECT_EQ(ed.CounterpartColumn(35 + i, &isChar), 2 + 2 * i);
    EXPECT_TRUE(isChar);
  }
}

TEST_F(GeometryTest, BytesPerLineChecksAndKeepsCaretAndSelection) {
  ed.SetBytesPerLine(1);
  EXPECT_EQ(ed.ColCount(), 6);
  ed.SetBytesPerLine(256);
  EXPECT_EQ(ed.ColCount(), 771);
  ed.SetBytesPerLine(16);

  for (int bad : {0, 257, -1}) {
    try {
      ed.SetBytesPerLine(bad);
      ADD_FAILURE() << bad;
    } catch (const EEditorError& e) {
      EXPECT_STREQ(e.what(), "Invalid BytesPerLine argument");
    }
    EXPECT_EQ(ed.BytesPerLine(), 16);
    EXPECT_EQ(ed.ColCount(), 51);
  }

  Load(1000);
  host.lockCalls = 0;
  host.ClearInvalidations();
  host.scrollChanges = 0;
  ed.SetBytesPerLine(16);  // unchanged: no relayout at all
  EXPECT_EQ(host.lockCalls, 0);
  EXPECT_EQ(host.invalidateAllCount, 0);
  EXPECT_EQ(host.scrollChanges, 0);

  // Caret on the character of byte 100, bytes 100..120 selected.
  ed.SetCol(ed.CounterpartColumn(ed.Col()));
  ed.SetSelStart(100);
  ed.SetSelEnd(120);
  ASSERT_EQ(ed.Col(), ed.PositionToCell(100, true).col);
  ASSERT_EQ(ed.SelTo(), 120);

  host.lockCalls = 0;
  ed.SetBytesPerLine(32);
  EXPECT_EQ(ed.Col(), 71);
  EXPECT_EQ(ed.Row(), 3);
  EXPECT_EQ(ed.CellToPosition(ed.Col(), ed.Row()), 100);
  EXPECT_TRUE(ed.InCharField());
  EXPECT_EQ(ed.SelAnchor(), 100);
  EXPECT_EQ(ed.SelFrom(), 100);
  EXPECT_EQ(ed.SelTo(), 120);
  EXPECT_EQ(ed.RowCount(), 32);
  EXPECT_EQ(host.lockCalls, 2);
  EXPECT_EQ(host.lockDepth, 0);

  // From the second digit column the caret lands on the byte's first one.
  ed.SetCol(ed.CounterpartColumn(ed.Col()));
  ed.SetSelStart(77);
  ed.SetCol(ed.Col() + 1);
  ed.SetBytesPerLine(8);
  EXPECT_EQ(ed.Col(), 2 + 2 * (77 % 8));
  EXPECT_EQ(ed.Row(), 77 / 8);
  EXPECT_FALSE(ed.InCharField());
}

TEST_F(GeometryTest, GotoPositionClampsOrRefuses) {
  EXPECT_FALSE(ed.GotoPosition(0, 0, false));  // empty document
  Load(100);
  EXPECT_TRUE(ed.GotoPosition(50, 0, true));
  EXPECT_EQ(ed.CursorPosition(), 50);
  EXPECT_TRUE(ed.GotoPosition(-5, 0, false));
  EXPECT_EQ(ed.CursorPosition(), 0);
  ed.GotoPosition(40, 0, true);
  EXPECT_FALSE(ed.GotoPosition(-5, 0, true));
  EXPECT_EQ(ed.CursorPosition(), 40);
  EXPECT_FALSE(ed.GotoPosition(100, 0, true));
  EXPECT_EQ(ed.CursorPosition(), 40);
  EXPECT_TRUE(ed.GotoPosition(0, 2, false));
  EXPECT_EQ(ed.CursorPosition(), 99);
  EXPECT_TRUE(ed.GotoPosition(-9, 2, true));
  EXPECT_EQ(ed.CursorPosition(), 90);
  EXPECT_TRUE(ed.GotoPosition(500, 0, false));
  EXPECT_EQ(ed.CursorPosition(), 99);
  ed.GotoPosition(10, 0, true);
  EXPECT_TRUE(ed.GotoPosition(16, 1, true));
  EXPECT_EQ(ed.CursorPosition(), 26);
  EXPECT_FALSE(ed.GotoPosition(-27, 1, true));
  EXPECT_TRUE(ed.GotoPosition(1234, 7, true));  // unknown origin: the cursor itself
  EXPECT_EQ(ed.CursorPosition(), 26);

  // The move keeps the field and clears the selection.
  ed.SetSelStart(5);
  ed.SetSelEnd(9);
  ed.SetCol(ed.CounterpartColumn(ed.Col()));
  ASSERT_GT(ed.Col(), ed.SeparatorColumn());
  ed.SetSelEnd(9);
  ASSERT_NE(ed.SelAnchor(), -1);
  EXPECT_TRUE(ed.GotoPosition(33, 0, true));
  EXPECT_EQ(ed.Col(), ed.PositionToCell(33, true).col);
  EXPECT_EQ(ed.SelAnchor(), -1);
}

}  // namespace
}  // namespace bm
