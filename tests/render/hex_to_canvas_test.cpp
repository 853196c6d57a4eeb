// The dump renderer: line texts, font fitting, line height and pages.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "render/hex_to_canvas.h"
#include "support/editor_fixture.h"
#include "support/page_recorder.h"

namespace bm::testing {
namespace {

class HexToCanvasTest : public ::testing::Test, public EditorFixture {
 protected:
  // The renderer bound to ed, laid out as ed is.
  void Bind() {
    r.SetByteEditor(&ed);
    r.AssignFromEditor();
  }
  THexToCanvas r;
};

TEST_F(HexToCanvasTest, FormatsTheFieldsInEveryStyle) {
  std::vector<uint8_t> bytes = Iota(0x123);
  bytes[0] = 0x1F;
  bytes[1] = 7;
  bytes[2] = 0xFF;
  bytes[3] = 'A';
  Load(bytes);
  ed.SetBytesPerLine(4);
  ed.SetBytesPerColumn(2);
  Bind();
  const int32_t last = ed.DataSize() - 1;
  // Offsets to 0x122: three hex digits.
  EXPECT_EQ(r.FormatLine(0, last), "0x000:1F07 FF41  ..\xFF" "A");
  EXPECT_EQ(r.FormatLine(0x120, last), "0x120:2021 22     !\" ") << "short last line";

  r.SetSwapNibbles(true);
  EXPECT_EQ(r.FormatLine(0, last).substr(0, 15), "0x000:F170 FF14");
  r.SetSwapNibbles(false);

  r.SetMemFieldDisplay(odDec);
  r.SetMemFieldSeparator(0);
  r.SetDisplayCharField(false);
  r.SetCharFieldSeparator('|');
  EXPECT_EQ(r.FormatLine(0, last), "0x000: 31  7 255 65 |");
  EXPECT_EQ(r.FormatLine(0x120, last), "0x120: 32 33  34    |");

  r.SetMemFieldDisplay(odOctal);
  EXPECT_EQ(r.FormatLine(0, last), "0x000:00370007 03770101 |");
  EXPECT_EQ(r.FormatLine(0x120, last), "0x120:00400041 0042     |");

  r.SetMemFieldDisplay(odNone);
  r.SetDisplayCharField(true);
  r.SetCharFieldSeparator(0);
  EXPECT_EQ(r.FormatLine(4, last), "0x004:....");

  // The offset field follows the editor's width for its style.
  ed.SetOffsetDisplay(odDec);  // 290 is the last offset: three digits
  Bind();
  r.SetMemFieldDisplay(odNone);
  EXPECT_EQ(r.FormatLine(8, last).substr(0, 4), "  8:");
  ed.SetOffsetDisplay(odOctal);  // 0440
  Bind();
  EXPECT_EQ(r.FormatLine(8, last).substr(0, 7), "o 0010:");
  ed.SetOffsetDisplay(odNone);
  ed.SetOffsetSeparator(0);
  Bind();
  EXPECT_EQ(r.FormatLine(0, last).substr(0, 5), "1F07 ") << "starts with the first cell";

  // A grouping that is not a divisor, and none at all.
  r.SetBytesPerColumn(3);
  EXPECT_EQ(r.FormatLine(0, last).substr(0, 10), "1F07FF 41 ");
  r.SetBytesPerColumn(0);
  EXPECT_EQ(r.FormatLine(0, last).substr(0, 9), "1F07FF41 ");
}

TEST_F(HexToCanvasTest, AssignFromEditorTakesTheEditorsLayoutAndResetsTheFields) {
  FontDesc font;
  font.name = "Courier New Cyr";
  font.SetHeight(13);
  font.bold = true;
  font.color = 0x00FFFF;
  ed.SetFont(font);
  ed.SetBytesPerLine(32);
  ed.SetBytesPerColumn(4);
  ed.SetOffsetDisplay(odOctal);
  ed.SetOffsetSeparator('|');
  ed.SetSwapNibbles(true);
  r.SetMemFieldDisplay(odDec);
  r.SetMemFieldSeparator(0);
  r.SetDisplayCharField(false);
  r.SetCharFieldSeparator('#');
  r.AssignFromEditor();
  EXPECT_EQ(r.BytesPerLine(), 16) << "nothing without an editor";
  Bind();
  EXPECT_EQ(r.Font(), font);
  EXPECT_EQ(r.BytesPerLine(), 32);
  EXPECT_EQ(r.BytesPerColumn(), 4);
  EXPECT_EQ(r.OffsetDisplay(), odOctal);
  EXPECT_EQ(r.OffsetSeparator(), '|');
  EXPECT_TRUE(r.SwapNibbles());
  EXPECT_EQ(r.MemFieldDisplay(), odHex);
  EXPECT_EQ(r.MemFieldSeparator(), ' ');
  EXPECT_TRUE(r.DisplayCharField());
  EXPECT_EQ(r.CharFieldSeparator(), 0);
}

TEST_F(HexToCanvasTest, DrawRefusesWhatItCannotDrawAndLeavesTheSurfaceAsItWas) {
  RecordingSurface s;
  FontDesc before;
  before.name = "Arial";
  before.SetSize(9);
  s.SetFont(before);
  r.DrawRect = Rect{0, 0, 800, 600};
  EXPECT_EQ(r.Draw(s, 0, 10, "h", "f"), THexToCanvas::kNoEditor);
  LoadPattern(100);
  Bind();
  EXPECT_EQ(r.Draw(s, 50, 49, "h", "f"), THexToCanvas::kNoPage);
  EXPECT_EQ(r.Draw(s, -16, 99, "h", "f"), THexToCanvas::kNoPage);
  EXPECT_EQ(r.Draw(s, 100, 500, "h", "f"), THexToCanvas::kNoPage) << "last is cut to the data";
  r.SetBytesPerLine(0);
  EXPECT_EQ(r.Draw(s, 0, 99, "h", "f"), THexToCanvas::kNoPage);
  r.SetBytesPerLine(16);
  for (int right : {0, -40}) {
    r.DrawRect = Rect{0, 0, right, 600};
    EXPECT_EQ(r.Draw(s, 32, 99, "h", "f"), 32) << "an area without width draws nothing";
  }
  EXPECT_TRUE(s.texts.empty());

  r.DrawRect = Rect{0, 0, 800, 600};
  EXPECT_EQ(r.Draw(s, 0, 5000, "", ""), 100) << "the data ends on this page";
  EXPECT_EQ(s.texts.size(), 7u);
  EXPECT_EQ(s.texts.back().text, r.FormatLine(96, 99));
  EXPECT_EQ(s.Font(), before);
}

TEST_F(HexToCanvasTest, FitsTheFontToTheWidthWithinItsBounds) {
  LoadPattern(64);
  Bind();
  RecordingSurface s;
  const int len = static_cast<int>(r.FormatLine(0, 63).size());
  auto drawnSize = [&](int width) {
    s.texts.clear();
    r.DrawRect = Rect{10, 0, 10 + width, 100000};
    r.Draw(s, 0, 63, "", "");
    return s.texts.empty() ? -1 : s.texts.front().size;
  };
  // Stretched (up, then back down) to the largest size that fits.
  EXPECT_EQ(drawnSize(len * 30 + len - 1), 30);
  EXPECT_EQ(drawnSize(len * 5), 5);
  // Only shrunk: never grows past the font's size.
  r.SetStretchToFit(false);
  EXPECT_EQ(drawnSize(len * 30), 12);
  EXPECT_EQ(drawnSize(len * 7 + 3), 7);
  r.SetShrinkToFit(false);
  EXPECT_EQ(drawnSize(len), 12) << "neither: the font as it is";
  r.SetShrinkToFit(true);
  r.SetStretchToFit(true);
  // Bounds: a line that fits at no size is drawn at 1 point and cut at the
  // area's edge; a very wide area stops at 1000 points.
  EXPECT_EQ(drawnSize(len / 2), THexToCanvas::kMinFontSize);
  EXPECT_EQ(s.texts.size(), 4u);
  EXPECT_EQ(s.texts.front().clip, (Rect{10, 0, 10 + len / 2, 100000}));
  EXPECT_EQ(drawnSize(len * 5000), THexToCanvas::kMaxFontSize);
  EXPECT_EQ(r.Font().Size(), 12) << "fitting changes the surface's font only";
}

TEST_F(HexToCanvasTest, LinesAreTwelveTenthsOfTheTextHeightAndAtLeastOneMore) {
  LoadPattern(16 * 50);
  Bind();
  const int len = static_cast<int>(r.FormatLine(0, 0).size());
  struct Case {
    int size;
    double heightPerPoint;
    int textHeight, lineHeight;
  };
  for (const Case& c : {Case{10, 1.0, 10, 12}, Case{20, 1.0, 20, 24}, Case{1, 1.0, 1, 2},
                        Case{1, 2.0, 2, 3}, Case{3, 1.0, 3, 4}, Case{11, 1.0, 11, 13}}) {
    RecordingSurface s;
    s.heightPerPoint = c.heightPerPoint;
    r.DrawRect = Rect{0, 7, len * c.size, 7 + 50 * c.lineHeight};
    r.Draw(s, 0, 16 * 50 - 1, "head", "foot");
    ASSERT_GE(s.texts.size(), 3u);
    EXPECT_EQ(s.texts[0].size, c.size);
    EXPECT_EQ(s.texts[0].y, 7) << "header at the top";
    EXPECT_EQ(s.texts[1].y - s.texts[0].y, c.lineHeight) << c.textHeight;
    EXPECT_EQ(s.texts[2].y - s.texts[1].y, c.lineHeight) << c.textHeight;
    EXPECT_EQ(s.texts.back().text, "foot");
    EXPECT_EQ(s.texts.back().y, 7 + 49 * c.lineHeight) << "footer on the area's last line";
    EXPECT_EQ(s.texts.size(), 50u) << "48 lines between header and footer, then the footer";
  }
}

// Pages drawn one after another against a plain count of lines: each page
// starts with the first line not drawn before, no line is drawn twice or left
// out, and a header and a footer each take one line from the page.
TEST_F(HexToCanvasTest, PagesCoverEveryLineOnceAcrossManyPages) {
  struct Case {
    int bytesPerLine, size, areaLines;
    bool header, footer;
  };
  for (const Case& c : {Case{16, 16 * 100, 10, true, true}, Case{16, 16 * 100 + 5, 10, false, true},
                        Case{4, 999, 7, true, false}, Case{1, 50, 3, false, false},
                        Case{64, 64 * 3, 3, true, true}, Case{16, 1, 3, true, true},
                        Case{8, 8 * 40 - 1, 3, true, true}}) {
    SCOPED_TRACE(::testing::Message() << c.bytesPerLine << " per line, " << c.size << " bytes, "
                                      << c.areaLines << " lines high");
    Load(Iota(static_cast<size_t>(c.size)));
    ed.SetBytesPerLine(c.bytesPerLine);
    Bind();
    const int32_t last = c.size - 1;
    const int len = static_cast<int>(r.FormatLine(0, last).size());
    const int dataLines = c.areaLines - (c.header ? 1 : 0) - (c.footer ? 1 : 0);
    const int64_t totalLines = (c.size + c.bytesPerLine - 1) / c.bytesPerLine;

    int64_t expectedLine = 0;
    int32_t pos = 0;
    int page = 0;
    while (pos <= last) {
      ++page;
      ASSERT_LE(page, totalLines + 1) << "no progress";
      RecordingSurface s;
      s.heightPerPoint = 1.0;  // 10 points: 10 high, lines 12 apart
      r.DrawRect = Rect{0, 0, len * 10, c.areaLines * 12 + 11};
      const std::string header = c.header ? "head " + std::to_string(page) : "";
      const std::string footer = c.footer ? "foot " + std::to_string(page) : "";
      const int32_t next = r.Draw(s, pos, last, header, footer);
      size_t first = 0;
      if (c.header) {
        ASSERT_FALSE(s.texts.empty());
        EXPECT_EQ(s.texts.front().text, header);
        first = 1;
      }
      size_t end = s.texts.size();
      if (c.footer) {
        ASSERT_GT(end, first);
        EXPECT_EQ(s.texts.back().text, footer);
        --end;
      }
      const int64_t drawn = static_cast<int64_t>(end - first);
      EXPECT_EQ(drawn, std::min<int64_t>(dataLines, totalLines - expectedLine)) << "page " << page;
      for (size_t i = first; i < end; ++i, ++expectedLine)
        ASSERT_EQ(s.texts[i].text, r.FormatLine(static_cast<int32_t>(expectedLine * c.bytesPerLine), last))
            << "page " << page << ", line " << expectedLine;
      EXPECT_EQ(next, std::min<int64_t>(expectedLine * c.bytesPerLine, c.size));
      pos = next;
    }
    EXPECT_EQ(expectedLine, totalLines);
    EXPECT_EQ(page, (totalLines + dataLines - 1) / dataLines);
  }
}

TEST_F(HexToCanvasTest, ForgetsItsEditorWhenTheEditorGoesFirst) {
  auto editor = std::make_unique<TByteEditor>(nullptr);
  editor->Loaded();
  THexToCanvas second;
  r.SetByteEditor(editor.get());
  second.SetByteEditor(editor.get());
  {
    THexToCanvas gone;
    gone.SetByteEditor(editor.get());
  }  // went first: the editor must not call back into it
  editor.reset();
  EXPECT_EQ(r.ByteEditor(), nullptr);
  EXPECT_EQ(second.ByteEditor(), nullptr);
  RecordingSurface s;
  r.DrawRect = Rect{0, 0, 100, 100};
  EXPECT_EQ(r.Draw(s, 0, 0, "", ""), THexToCanvas::kNoEditor);
  EXPECT_EQ(r.FormatLine(0, 0), "");
}

}  // namespace
}  // namespace bm::testing
