// Cell painting of TByteEditor: texts, colours, marker digits and the frame
// around the cursor's byte in the other field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "platform/colors.h"
#include "support/editor_fixture.h"

namespace bm {
namespace {

using testing::FakeSurface;

constexpr Color kWhite = 0xFFFFFF;  // the window colour, resolved
constexpr Color kBlack = 0x000000;  // the window text colour, resolved
constexpr Color kBlue = 0xFF0000;
constexpr Color kNavy = 0x800000;
constexpr Color kYellow = 0x00FFFF;

class PaintTest : public ::testing::Test, public testing::EditorFixture {
 protected:
  PaintTest() : EditorFixture(kWidth, kHeight) {}
  void Paint() {
    s.Clear();
    ed.Paint(s, Rect{0, 0, kWidth, kHeight});
  }
  const FakeSurface::TextCall& At(int col, int row) {
    const FakeSurface::TextCall* t = s.TextAt(ed.CellRect(col, row));
    if (!t) {
      ADD_FAILURE() << "cell " << col << "," << row << " not drawn";
      static FakeSurface::TextCall none{};
      return none;
    }
    return *t;
  }
  int HexCol(int i) const { return 2 + 2 * i; }
  int CharCol(int i) const { return ed.FirstCharColumn() + i; }
  std::vector<FakeSurface::RectCall> Frames() const {
    std::vector<FakeSurface::RectCall> r;
    for (const auto& c : s.rects)
      if (c.kind != FakeSurface::RectCall::Fill) r.push_back(c);
    return r;
  }

  static constexpr int kWidth = 800, kHeight = 320;
  FakeSurface s;
};

std::vector<unsigned char> Letters(size_t n) {
  std::vector<unsigned char> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>('A' + i % 26);
  return v;
}

TEST_F(PaintTest, DigitsTakeGroupColoursCharactersTheFontColour) {
  Load(Letters(32));
  ed.SetBytesPerColumn(4);
  Paint();
  for (int i = 0; i < 16; ++i) {
    const Color group = (i / 4) % 2 == 0 ? kBlue : kNavy;
    for (int d = 0; d < 2; ++d) {
      EXPECT_EQ(At(HexCol(i) + d, 1).textColor, group) << i;
      EXPECT_EQ(At(HexCol(i) + d, 1).backColor, kWhite) << i;
    }
    EXPECT_EQ(At(CharCol(i), 1).textColor, kBlack) << i;
    EXPECT_EQ(At(CharCol(i), 1).backColor, kWhite) << i;
    EXPECT_EQ(At(CharCol(i), 1).text, std::string(1, static_cast<char>('A' + (16 + i) % 26)));
  }
  ed.SetBytesPerColumn(1);
  Paint();
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(At(HexCol(i) + 1, 0).textColor, i % 2 == 0 ? kBlue : kNavy) << i;
  EXPECT_EQ(At(0, 0).text, "0x00:");
  EXPECT_EQ(At(0, 1).text, "0x10:");
  EXPECT_EQ(At(0, 1).textColor, kBlack);
  EXPECT_EQ(At(ed.SeparatorColumn(), 0).text, " ");
  EXPECT_EQ(At(1, 0).text, " ");

  // Without a usable grouping the whole line is one group.
  ed.SetBytesPerColumn(0);
  Paint();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(At(HexCol(i), 0).textColor, kBlue) << i;
}

TEST_F(PaintTest, DigitTextsFollowSwapNibblesAndCellsPastTheEndAreBlank) {
  Load({0x1F});
  Paint();
  EXPECT_EQ(At(2, 0).text, "1");
  EXPECT_EQ(At(3, 0).text, "F");
  EXPECT_EQ(At(CharCol(0), 0).text, ".");  // 0x1F is masked
  for (int i = 1; i < 16; ++i) {
    for (int col : {HexCol(i), HexCol(i) + 1, CharCol(i)}) {
      EXPECT_EQ(At(col, 0).text, " ") << col;
      EXPECT_EQ(At(col, 0).textColor, kBlack) << col;
      EXPECT_EQ(At(col, 0).backColor, kWhite) << col;
    }
  }
  host.ClearInvalidations();
  ed.SetSwapNibbles(true);
  EXPECT_GT(host.invalidateAllCount, 0);
  Paint();
  EXPECT_EQ(At(2, 0).text, "F");
  EXPECT_EQ(At(3, 0).text, "1");
}

TEST_F(PaintTest, SelectionInvertsAndChangedBytesKeepTheirColours) {
  Load(Letters(16));
  ed.SetBytesPerColumn(4);
  ed.OverwriteByte(ed.ReadByte(3), 'x', 3, 0);
  ed.OverwriteByte(ed.ReadByte(9), 'y', 9, 0);
  ed.SetSelStart(2);
  ed.SetSelEnd(5);
  Paint();
  // Byte 2: selected, first group: yellow on blue; its character inverted.
  EXPECT_EQ(At(HexCol(2), 0).textColor, kYellow);
  EXPECT_EQ(At(HexCol(2), 0).backColor, kBlue);
  EXPECT_EQ(At(CharCol(2), 0).textColor, kWhite);
  EXPECT_EQ(At(CharCol(2), 0).backColor, kBlack);
  // Byte 4: selected, second group.
  EXPECT_EQ(At(HexCol(4) + 1, 0).textColor, InvertColor(kNavy));
  EXPECT_EQ(At(HexCol(4) + 1, 0).backColor, kNavy);
  // Byte 3: changed and selected, in both fields.
  for (int col : {HexCol(3), HexCol(3) + 1, CharCol(3)}) {
    EXPECT_EQ(At(col, 0).textColor, 0xA8FFFFu) << col;
    EXPECT_EQ(At(col, 0).backColor, 0x000080u) << col;
  }
  EXPECT_EQ(At(CharCol(3), 0).text, "x");
  // Byte 9: changed, not selected, whatever its group.
  for (int col : {HexCol(9), HexCol(9) + 1, CharCol(9)}) {
    EXPECT_EQ(At(col, 0).textColor, 0x000080u) << col;
    EXPECT_EQ(At(col, 0).backColor, 0xA8FFFFu) << col;
  }
  // Unselected neighbours are untouched.
  EXPECT_EQ(At(HexCol(6), 0).textColor, kNavy);
  EXPECT_EQ(At(HexCol(6), 0).backColor, kWhite);
  EXPECT_EQ(At(HexCol(1), 0).backColor, kWhite);

  // Colour changes reach the painting; system colours are resolved.
  ed.Colors().SetOddColumn(0x00FF00);
  ed.Colors().SetBackground(clBtnFace);
  Paint();
  EXPECT_EQ(At(HexCol(2), 0).textColor, 0xFF00FFu);
  EXPECT_EQ(At(HexCol(2), 0).backColor, 0x00FF00u);
  EXPECT_EQ(At(HexCol(7), 0).backColor, 0xC0C0C0u);
}

TEST_F(PaintTest, EmptyDocumentShowsOneRowAndPlacesTheCaret) {
  const struct {
    TOffsetDisplayStyle style;
    const char* text;
  } cases[] = {{odHex, "0x0:"}, {odDec, "0:"}, {odOctal, "o 0:"}};
  for (const auto& c : cases) {
    ed.SetOffsetDisplay(c.style);
    host.caretPos = {-1, -1};
    Paint();
    EXPECT_EQ(At(0, 0).text, c.text);
    EXPECT_EQ(At(0, 0).textColor, kBlack);
    for (int col = 1; col < ed.ColCount(); ++col) {
      EXPECT_EQ(At(col, 0).text, "   ") << col;
      EXPECT_EQ(At(col, 0).backColor, kWhite) << col;
    }
    const Rect r = ed.CellRect(2, 0);
    EXPECT_EQ(host.caretPos, (Point{r.left, r.top}));  // also without the focus
  }
  ed.SetOffsetDisplay(odNone);
  Paint();
  EXPECT_EQ(s.TextAt(ed.CellRect(0, 0)), nullptr);  // no width, nothing drawn
  EXPECT_EQ(ed.OffsetText(0), " ");
}

TEST_F(PaintTest, OffsetTextsArePaddedToTheLastRow) {
  Load(std::vector<unsigned char>(4096, 0));
  EXPECT_EQ(ed.OffsetText(1), "0x010:");
  EXPECT_EQ(ed.OffsetText(255), "0xFF0:");
  ed.SetOffsetDisplay(odDec);
  EXPECT_EQ(ed.OffsetText(1), "  16:");
  EXPECT_EQ(ed.OffsetText(255), "4080:");
  ed.SetOffsetDisplay(odOctal);
  EXPECT_EQ(ed.OffsetText(1), "o 00020:");
  EXPECT_EQ(ed.OffsetText(0), "o 00000:");
  ed.SetOffsetDisplay(odHex);
  ed.SetOffsetSeparator('|');
  EXPECT_EQ(ed.OffsetText(1), "0x010|");
  Paint();
  EXPECT_EQ(At(0, 1).text, "0x010|");
}

TEST_F(PaintTest, MarkerColumnShowsLowestIndexInSmallArial) {
  Load(Letters(64));
  ed.SetMarker(3, 1);
  ed.SetMarker(1, 1);
  ed.SetMarker(7, 2);
  Paint();
  const FakeSurface::TextCall& m = At(1, 1);
  EXPECT_EQ(m.text, "1");
  EXPECT_EQ(m.textColor, kWhite);
  EXPECT_EQ(m.backColor, 0x000080u);
  EXPECT_EQ(m.font.name, "Arial");
  EXPECT_EQ(m.font.Size(), 9);
  EXPECT_EQ(At(1, 2).text, "7");
  EXPECT_EQ(At(1, 0).text, " ");
  EXPECT_EQ(At(1, 0).backColor, kWhite);
  // The control's font is back for the cells after a marker.
  EXPECT_EQ(At(2, 1).font.name, "Courier");
  EXPECT_EQ(s.Font().name, "Courier");

  FontDesc f = ed.Font();
  f.SetSize(10);
  ed.SetFont(f);
  s.SetFont(f);
  Paint();
  EXPECT_EQ(At(1, 1).font.Size(), 8);  // 7.5 rounds to the even 8
  EXPECT_EQ(s.Font().Size(), 10);
}

TEST_F(PaintTest, CounterpartFrameOnlyWithTheFocus) {
  Load(Letters(40));
  ed.SetSelStart(18);           // row 1, byte 2 of the line
  ed.SetCol(ed.Col() + 1);      // its second digit
  const int row = 1;
  host.focused = true;
  host.caretPos = {-1, -1};
  Paint();
  const Rect cursor = ed.CellRect(ed.Col(), row);
  EXPECT_EQ(host.caretPos, (Point{cursor.left, cursor.top}));
  const Rect charCell = ed.CellRect(CharCol(2), row);
  auto frames = Frames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].kind, FakeSurface::RectCall::Focus);
  EXPECT_EQ(frames[0].rect, (Rect{charCell.left, charCell.top, charCell.left + 8, charCell.bottom}));

  ed.SetFocusFrame(false);
  Paint();
  frames = Frames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].kind, FakeSurface::RectCall::Frame);
  EXPECT_EQ(frames[0].color, kNavy);
  EXPECT_EQ(frames[0].rect.left, charCell.left);
  EXPECT_EQ(At(CharCol(2), row).text, "S");  // the text stays

  // In the character field the frame covers the byte's first digit column.
  ed.SetCol(CharCol(2));
  Paint();
  frames = Frames();
  ASSERT_EQ(frames.size(), 1u);
  const Rect digit = ed.CellRect(HexCol(2), row);
  EXPECT_EQ(frames[0].rect, (Rect{digit.left, digit.top, digit.left + 8, digit.bottom}));

  host.focused = false;
  host.caretPos = {-1, -1};
  Paint();
  EXPECT_TRUE(Frames().empty());
  EXPECT_EQ(host.caretPos, (Point{-1, -1}));
}

}  // namespace
}  // namespace bm
