// The View menu as the user drives it: each item changes the editor at once,
// the openers read the marks back, and the cursor keeps its byte and field.
#include <QScrollBar>

#include "app_fixture.h"

namespace bm::testing {
namespace {

class ViewTest : public AppTest {
 protected:
  // Chooses a menu item as a click does.
  void Choose(const char* name) {
    Item(name)->trigger();
    Settle();
  }
  bool Checked(const char* name) { return Item(name)->isChecked(); }

  // The cursor's byte and field, as the editor maps its current cell.
  std::pair<int32_t, bool> Cursor() {
    const int32_t p = Editor().CellToPosition(Editor().Col(), Editor().Row());
    return {p, Editor().InCharField()};
  }
};

TEST_F(ViewTest, LineSizeRelaysTheLinesAndTheOpenerReadsTheMarkBack) {
  Start({WriteCounting("data.bin", 1000)});
  auto* widget = static_cast<EditorWidget*>(EditorWidgetOf());
  const int range16 = widget->horizontalScrollBar()->maximum();
  // The cursor on the character of byte 100.
  const GridCell cell = Editor().PositionToCell(100, true);
  Editor().MoveCurrent(cell.col, cell.row);
  Settle();

  Choose("_32");
  EXPECT_EQ(Editor().BytesPerLine(), 32);
  EXPECT_EQ(Editor().ColCount(), 3 * 32 + 3);
  EXPECT_EQ(Editor().RowCount(), (1000 + 31) / 32);
  EXPECT_EQ(Cursor(), std::make_pair(int32_t{100}, true));
  EXPECT_EQ(Editor().Col(), 2 * 32 + 3 + 4);
  LookAtMenu("View1");
  EXPECT_TRUE(Checked("_32"));
  EXPECT_FALSE(Checked("_16"));

  Choose("_64");
  EXPECT_EQ(Editor().BytesPerLine(), 64);
  EXPECT_GT(widget->horizontalScrollBar()->maximum(), range16 + 64) << "the scroll range follows";
  EXPECT_EQ(Cursor(), std::make_pair(int32_t{100}, true));

  // Set from elsewhere: the marks follow at the next opening ...
  Editor().SetBytesPerLine(16);
  LookAtMenu("View1");
  EXPECT_TRUE(Checked("_16"));
  EXPECT_FALSE(Checked("_64"));
  // ... and a width the menu does not offer leaves them as they are.
  Editor().SetBytesPerLine(20);
  LookAtMenu("View1");
  EXPECT_TRUE(Checked("_16"));
  EXPECT_EQ(Editor().BytesPerLine(), 20);
}

TEST_F(ViewTest, GroupingCaretAndOffsetsTakeTheChosenItemsTag) {
  Start({WriteCounting("data.bin", 4096)});
  Editor().SetSelStart(300);
  Settle();
  const int w = Editor().ColWidths(2);

  Choose("N4Bytesperblock1");
  EXPECT_EQ(Editor().BytesPerColumn(), 4);
  // The gap closes every fourth byte.
  EXPECT_EQ(Editor().ColWidths(3), w);
  EXPECT_EQ(Editor().ColWidths(9), 2 * w);
  Choose("N2Bytesperblock1");
  EXPECT_EQ(Editor().BytesPerColumn(), 2);
  EXPECT_EQ(Editor().ColWidths(5), 2 * w);

  Choose("Bottomline1");
  EXPECT_EQ(Editor().CaretStyle(), csBottomLine);
  Choose("Leftline1");
  EXPECT_EQ(Editor().CaretStyle(), csLeftLine);

  // The last line starts at 0xFF0: the offset column follows the style.
  Choose("Dec1");
  EXPECT_EQ(Editor().OffsetDisplay(), odDec);
  EXPECT_EQ(Editor().ColWidths(0), 5 * w);
  Choose("oct1");
  EXPECT_EQ(Editor().OffsetDisplay(), odOctal);
  EXPECT_EQ(Editor().ColWidths(0), 8 * w);
  Choose("None1");
  EXPECT_EQ(Editor().ColWidths(0), 0);
  EXPECT_EQ(Cursor(), std::make_pair(int32_t{300}, false));

  // Set from elsewhere, read back by the submenus' openers.
  Editor().SetBytesPerColumn(1);
  Editor().SetCaretStyle(csFull);
  Editor().SetOffsetDisplay(odHex);
  LookAtMenu("Blocksize1");
  LookAtMenu("Caretstyle1");
  LookAtMenu("Offsetdisplay1");
  EXPECT_TRUE(Checked("N1Byteperblock1"));
  EXPECT_TRUE(Checked("Fullblock1"));
  EXPECT_TRUE(Checked("Hex1"));
  EXPECT_FALSE(Checked("None1"));
  // A grouping the menu does not offer leaves the mark.
  Editor().SetBytesPerColumn(3);
  LookAtMenu("Blocksize1");
  EXPECT_TRUE(Checked("N1Byteperblock1"));
}

TEST_F(ViewTest, CharacterSetsPassTheirOwnValuesAndMoveTheirMarkAtOnce) {
  Start({WriteCounting("data.bin", 100)});
  struct Case {
    const char* item;
    TTranslationType set;
  };
  // The items' tags run Win, OEM, ASCII, EBCDIC, Mac: EBCDIC's tag (3) is
  // ttMac's number and Mac's tag (4) ttEBCDIC's.
  const Case cases[] = {{"N12", ttMac}, {"N11", ttEBCDIC}, {"N10", ttASCII},
                        {"ASCIItoANSI1", ttDos8}, {"Win1", ttAnsi}};
  for (const Case& c : cases) {
    // The mark is wrong beforehand: the handler itself puts it right.
    for (const char* other : {"Win1", "ASCIItoANSI1", "N10", "N11", "N12"})
      Item(other)->setChecked(false);
    Choose(c.item);
    EXPECT_EQ(Editor().Translation(), c.set) << c.item;
    for (const char* other : {"Win1", "ASCIItoANSI1", "N10", "N11", "N12"})
      EXPECT_EQ(Checked(other), std::string_view(other) == c.item) << c.item << " " << other;
  }
}

TEST_F(ViewTest, GridAndMarkerColumnToggleOnAlternateChoicesWithTheirMarks) {
  Start({WriteCounting("data.bin", 100)});
  Editor().SetSelStart(40);
  Settle();
  const int w = Editor().ColWidths(2);
  for (int round = 0; round < 2; ++round) {
    Choose("Grid1");
    EXPECT_EQ(Editor().GridLineWidth(), 1) << round;
    LookAtMenu("View1");
    EXPECT_TRUE(Checked("Grid1")) << round;
    Choose("Grid1");
    EXPECT_EQ(Editor().GridLineWidth(), 0) << round;
    LookAtMenu("View1");
    EXPECT_FALSE(Checked("Grid1")) << round;

    Choose("Showmarkers1");
    EXPECT_FALSE(Editor().ShowMarkerColumn()) << round;
    EXPECT_EQ(Editor().ColWidths(1), 0) << round;
    LookAtMenu("View1");
    EXPECT_FALSE(Checked("Showmarkers1")) << round;
    Choose("Showmarkers1");
    EXPECT_EQ(Editor().ColWidths(1), w) << round;
    LookAtMenu("View1");
    EXPECT_TRUE(Checked("Showmarkers1")) << round;
  }
  // Set from elsewhere: the opener reads them back.
  Editor().SetGridLineWidth(1);
  Editor().SetShowMarkerColumn(false);
  LookAtMenu("View1");
  EXPECT_TRUE(Checked("Grid1"));
  EXPECT_FALSE(Checked("Showmarkers1"));
  EXPECT_EQ(Cursor(), std::make_pair(int32_t{40}, false));
}

}  // namespace
}  // namespace bm::testing
