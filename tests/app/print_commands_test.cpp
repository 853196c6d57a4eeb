// The printer font, printer setup, print and preview commands, printing to
// real PDF files through the program's Qt printer.
#include <QApplication>
#include <QPageSize>
#include <QRegularExpression>
#include <QTimer>
#include <cmath>
#include <functional>

#include "app/preview.h"
#include "app_fixture.h"
#include "platform/printer.h"
#include "platform/qt/qt_printer.h"
#include "render/hex_to_canvas.h"
#include "render/print_job.h"

namespace bm::testing {
namespace {

// Page objects in a PDF file.
int PdfPageCount(const std::string& pdf) {
  const QString text = QString::fromLatin1(pdf.data(), static_cast<qsizetype>(pdf.size()));
  return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

class PrintCommandsTest : public AppTest {
 protected:
  // Runs command and, once its modal window is up, inspect on that window;
  // the window is closed afterwards.
  void WithModal(const std::function<void()>& command, const std::function<void(QWidget*)>& inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QWidget* w = QApplication::activeModalWidget();
      ASSERT_NE(w, nullptr);
      seen = true;
      inspect(w);
      w->close();
    });
    command();
    EXPECT_TRUE(seen);
  }
};

TEST_F(PrintCommandsTest, PrinterFontIsSetOnlyByConfirmingTheDialog) {
  Start();
  dialogs.CancelFont();
  Key(Qt::Key_Q, Qt::ControlModifier);
  ASSERT_EQ(dialogs.fonts.size(), 1u);
  EXPECT_EQ(dialogs.fonts[0].name, "MS Sans Serif") << "not preset from the print font";
  EXPECT_EQ(dialogs.fonts[0].pixelHeight, 11);
  EXPECT_EQ(form->PrinterFontName(), "Courier New Cyr");
  EXPECT_EQ(form->PrinterFontSize(), 10);

  FontDesc chosen;
  chosen.name = "DejaVu Sans Mono";
  chosen.SetSize(14);
  dialogs.AnswerFont(chosen);
  form->N9Click();
  EXPECT_EQ(form->PrinterFontName(), "DejaVu Sans Mono");
  EXPECT_EQ(form->PrinterFontSize(), 14);
  EXPECT_EQ(Editor().Font().name, "Courier New Cyr") << "the editor keeps its font";

  // Printing starts from that font on the renderer, black, fixed pitch.
  Start({WriteCounting("a.bin", 100)});
  dialogs.AnswerFont(chosen);
  form->N9Click();
  QtPrinter printer;
  printer.SetOutputFileName(Path("font.pdf"));
  form->SetPrinter(printer);
  form->Print1Click();
  const FontDesc& used = form->HexToCanvas1().Font();
  EXPECT_EQ(used.name, "DejaVu Sans Mono");
  EXPECT_EQ(used.Size(), 14);
  EXPECT_EQ(used.color, 0u);
  EXPECT_TRUE(used.fixedPitch);
  EXPECT_TRUE(used.bold) << "the rest comes from the editor's font";
  EXPECT_EQ(form->HexToCanvas1().BytesPerColumn(), 1);
  EXPECT_FALSE(form->HexToCanvas1().ShrinkToFit());
  EXPECT_TRUE(form->HexToCanvas1().StretchToFit());
}

TEST_F(PrintCommandsTest, WithoutAPrinterPrintReportsItUnlessAFileWasChosen) {
  const std::string path = WriteCounting("data.bin", 500);
  Start({path});
  QtPrinter printer;
  printer.Device().setPrinterName(QString());  // no printer, as on a machine without CUPS
  form->SetPrinter(printer);

  form->Print1Click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, kNoDefaultPrinter);
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_FALSE(Editor().Modified());
  EXPECT_EQ(ReadFile(path).size(), 500u);

  // Printer setup chooses a PDF file: now Print (and the toolbar button) writes it.
  dialogs.CancelPrinterSetup();
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(dialogs.printerSetups, 1);
  EXPECT_TRUE(printer.OutputFileName().empty()) << "a cancelled setup changes nothing";
  const std::string pdf = Path("out.pdf");
  dialogs.AnswerPrinterSetup(pdf);
  form->Printsetup1Click();
  Button(3)->click();
  Settle();
  EXPECT_EQ(dialogs.messages.size(), 1u) << "no further error";
  const std::string written = ReadFile(pdf);
  ASSERT_EQ(written.substr(0, 5), "%PDF-");
  EXPECT_EQ(PdfPageCount(written), 1) << "32 lines fit on one page";
}

TEST_F(PrintCommandsTest, PrintsEveryPageToAPdfFile) {
  const int size = 40000;  // 2500 lines: dozens of pages
  Start({WriteCounting("big.bin", size)});
  QtPrinter printer;
  const std::string pdf = Path("big.pdf");
  printer.SetOutputFileName(pdf);
  form->SetPrinter(printer);
  Key(Qt::Key_P, Qt::ControlModifier);
  Settle();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(printer.Printing());

  // The first page drawn alone on a page of the same printer tells how many
  // bytes a page holds.
  QtPrinter probe;
  probe.SetOutputFileName(Path("probe.pdf"));
  probe.BeginDoc("probe");
  THexToCanvas& r = form->HexToCanvas1();
  r.DrawRect = PageLayout(probe.PageWidth(), probe.PageHeight());
  const int32_t perPage = r.Draw(probe.Canvas(), 0, size - 1, "h", "f");
  probe.EndDoc();
  ASSERT_GT(perPage, 0);
  ASSERT_LT(perPage, size);
  EXPECT_EQ(perPage % 16, 0);
  EXPECT_EQ(PdfPageCount(ReadFile(pdf)), (size + perPage - 1) / perPage);

  // An empty document prints nothing.
  const std::string again = Path("empty.pdf");
  printer.SetOutputFileName(again);
  Editor().NewDocument("Untitled");
  form->Print1Click();
  EXPECT_FALSE(Exists(again));
}

TEST_F(PrintCommandsTest, PreviewShowsTheFirstPageInANewWindow) {
  Start({WriteCounting("p.bin", 5000)});
  QtPrinter printer;
  printer.Device().setPrinterName(QString());
  printer.Device().setPageSize(QPageSize(QPageSize::A4));
  form->SetPrinter(printer);
  const int expectedHeight = static_cast<int>(
      std::lround(double(printer.PageHeight()) / printer.PageWidth() * 1000));
  QImage picture;
  WithModal([&] { Key(Qt::Key_V, Qt::ControlModifier); },
            [&](QWidget* w) {
              auto* preview = qobject_cast<TfmPreview*>(w);
              ASSERT_NE(preview, nullptr);
              EXPECT_NE(preview, form->fmPreview()) << "a window of its own";
              EXPECT_EQ(preview->windowTitle(), U("Просмотр страницы"));
              EXPECT_EQ(preview->size(), QSize(311, 480));
              picture = preview->Image1()->Picture();
              // As wide as the window, with the page's proportions.
              EXPECT_EQ(preview->Image1()->geometry(),
                        QRect(0, 0, 311, static_cast<int>(std::lround(311.0 / 1000 * expectedHeight))));
            });
  ASSERT_EQ(picture.size(), QSize(1000, expectedHeight));
  // Ink in the header's line and on the last line of the area (the footer),
  // nothing in the margins.
  auto inkInRows = [&](int top, int bottom, int left, int right) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (picture.pixel(x, y) != qRgb(255, 255, 255)) return true;
    return false;
  };
  const Rect area = PageLayout(1000, expectedHeight);
  EXPECT_TRUE(inkInRows(area.top, area.top + 15, area.left, area.right));
  EXPECT_TRUE(inkInRows(area.bottom - 20, area.bottom, area.left, area.left + 200));
  EXPECT_FALSE(inkInRows(0, area.top, 0, 1000));
  EXPECT_FALSE(inkInRows(0, expectedHeight, 0, area.left));
  EXPECT_EQ(form->findChildren<TfmPreview*>().size(), 1u) << "the preview window is gone";

  // An empty document previews as a blank page.
  Editor().NewDocument("Untitled");
  WithModal([&] { form->Printpreview1Click(); },
            [&](QWidget* w) { picture = qobject_cast<TfmPreview*>(w)->Image1()->Picture(); });
  EXPECT_FALSE(inkInRows(0, picture.height(), 0, picture.width()));
}

TEST_F(PrintCommandsTest, TheProgramsOwnPrinterPrintsOnA4WithoutAPrinter) {
  Start({WriteCounting("d.bin", 10)});
  Printer& own = form->CurrentPrinter();
  auto* qt = dynamic_cast<QtPrinter*>(&own);
  ASSERT_NE(qt, nullptr);
  if (qt->Device().outputFormat() != QPrinter::PdfFormat) GTEST_SKIP() << "this machine has a printer";
  EXPECT_EQ(qt->Device().pageLayout().pageSize().id(), QPageSize::A4);
  EXPECT_GT(own.PageHeight(), own.PageWidth());
  form->Print1Click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, kNoDefaultPrinter);
}

}  // namespace
}  // namespace bm::testing
