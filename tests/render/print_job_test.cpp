// Printing a document: pages, their numbers, cancelling and failures; the
// page layout and the header text.
#include <gtest/gtest.h>

#include <string>

#include "render/print_job.h"
#include "support/editor_fixture.h"
#include "support/page_recorder.h"

namespace bm::testing {
namespace {

class PrintJobTest : public ::testing::Test, public EditorFixture {
 protected:
  void SetUp() override {
    r.SetByteEditor(&ed);
    printer.width = 1000;
    printer.height = 2000;
  }
  // The dump lines of a page: what is neither its header nor its footer.
  static std::vector<std::string> DumpLines(const RecordingSurface& page) {
    std::vector<std::string> lines;
    for (size_t i = 1; i + 1 < page.texts.size(); ++i) lines.push_back(page.texts[i].text);
    return lines;
  }
  THexToCanvas r;
  FakePrinter printer;
};

const std::string kPage = "\xD1\xF2\xF0\xE0\xED\xE8\xF6\xE0 ";  // "Страница " in Windows-1251

TEST_F(PrintJobTest, PrintsEveryLineOnceOnPagesNumberedFromOne) {
  LoadPattern(16 * 1000 + 3);
  r.AssignFromEditor();
  const PrintResult result = PrintDocument(printer, r, "title", "Bytemoor: x");
  ASSERT_GT(printer.pages.size(), 3u);
  EXPECT_EQ(result.pages, static_cast<int>(printer.pages.size()));
  EXPECT_FALSE(result.cancelled);
  EXPECT_EQ(printer.ended, 1);
  EXPECT_EQ(printer.aborted, 0);
  EXPECT_EQ(printer.titles, std::vector<std::string>{"title"});

  int32_t next = 0;
  for (size_t p = 0; p < printer.pages.size(); ++p) {
    const RecordingSurface& page = printer.pages[p];
    ASSERT_FALSE(page.fills.empty());
    EXPECT_EQ(page.fills.front().rect, (Rect{0, 0, 1000, 2000}));
    EXPECT_EQ(page.fills.front().color, 0xFFFFFFu);
    EXPECT_EQ(page.back, 0xFFFFFFu);
    ASSERT_GE(page.texts.size(), 3u);
    EXPECT_EQ(page.texts.front().text, "Bytemoor: x");
    EXPECT_EQ(page.texts.front().x, 50);
    EXPECT_EQ(page.texts.front().y, 100);
    EXPECT_EQ(page.texts.back().text, kPage + std::to_string(p + 1));
    for (const std::string& line : DumpLines(page)) {
      ASSERT_EQ(line, r.FormatLine(next, ed.DataSize() - 1)) << "page " << p + 1;
      next += 16;
    }
    if (p + 1 < printer.pages.size()) {
      EXPECT_EQ(DumpLines(page).size(), DumpLines(printer.pages[0]).size()) << "full pages";
    }
  }
  EXPECT_EQ(next, 16 * 1001) << "every line, the short last one included";
}

TEST_F(PrintJobTest, SmallAndEmptyDocuments) {
  Load({0x41});
  r.AssignFromEditor();
  EXPECT_EQ(PrintDocument(printer, r, "t", "h").pages, 1);
  ASSERT_EQ(printer.pages.size(), 1u);
  ASSERT_EQ(printer.pages[0].texts.size(), 3u) << "header, one line, footer";
  EXPECT_EQ(printer.pages[0].texts[2].text, kPage + "1");

  ed.NewDocument("Untitled");
  printer.pages.clear();
  EXPECT_EQ(PrintDocument(printer, r, "t", "h").pages, 0);
  EXPECT_TRUE(printer.titles.size() == 1 && printer.pages.empty()) << "no job for no data";
}

TEST_F(PrintJobTest, ProgressCountsThePagesAndCanCancel) {
  LoadPattern(16 * 1000);
  r.AssignFromEditor();
  std::vector<std::pair<int, int>> calls;
  const PrintResult result = PrintDocument(printer, r, "t", "h", [&](int page, int pages) {
    calls.emplace_back(page, pages);
    return page < 3;
  });
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(result.pages, 2);
  EXPECT_EQ(printer.pages.size(), 2u) << "no page after the cancel";
  EXPECT_EQ(printer.aborted, 1);
  EXPECT_EQ(printer.ended, 0);
  EXPECT_FALSE(printer.Printing());
  ASSERT_EQ(calls.size(), 2u);
  const int perPage = static_cast<int>(DumpLines(printer.pages[0]).size());
  const int pages = (1000 + perPage - 1) / perPage;
  EXPECT_EQ(calls[0], std::make_pair(2, pages));
  EXPECT_EQ(calls[1], std::make_pair(3, pages));
}

TEST_F(PrintJobTest, FailuresEndTheJobAndReachTheCaller) {
  LoadPattern(100);
  r.AssignFromEditor();
  printer.failure = "Нет выбранного по умолчанию принтера";
  EXPECT_THROW(PrintDocument(printer, r, "t", "h"), PrinterError);
  EXPECT_TRUE(printer.pages.empty());

  // A page too low for one line beside header and footer would print blank
  // pages without end.
  printer.failure.clear();
  printer.width = 20000;
  printer.height = 200;
  EXPECT_THROW(PrintDocument(printer, r, "t", "h"), PrinterError);
  EXPECT_EQ(printer.pages.size(), 1u);
  EXPECT_EQ(printer.aborted, 1);
  EXPECT_FALSE(printer.Printing());
}

TEST(PrintTextsTest, LayoutHeaderAndFooter) {
  EXPECT_EQ(PageLayout(1000, 1414), (Rect{50, 70, 950, 1344}));
  EXPECT_EQ(PageLayout(19, 39), (Rect{0, 1, 19, 38}));
  EXPECT_EQ(PrintHeaderText("/home/u/data.bin"), "Bytemoor: data.bin");
  EXPECT_EQ(PrintHeaderText("C:\\dir\\x.dat"), "Bytemoor: x.dat");
  EXPECT_EQ(PrintHeaderText("a:b"), "Bytemoor: b");
  EXPECT_EQ(PrintHeaderText("Untitled"), "Bytemoor: Untitled");
  EXPECT_EQ(PrintHeaderText("/tmp/файл.bin"), "Bytemoor: \xF4\xE0\xE9\xEB.bin") << "Windows-1251";
  EXPECT_EQ(PrintHeaderText("/tmp/日本"), "Bytemoor: ??");
  EXPECT_EQ(PrintHeaderText("/tmp/\xFF\xC3"), "Bytemoor: \xFF\xC3") << "not UTF-8: bytes as they are";
  EXPECT_EQ(PrintFooterText(12), kPage + "12");
}

}  // namespace
}  // namespace bm::testing
