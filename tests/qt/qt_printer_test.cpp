// The Qt printer on PDF files, and drawing page text over the background.
#include "platform/qt/qt_printer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/qt/qt_surface.h"

namespace bm {
namespace {

class QtPrinterTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) { return (dir.path() + "/" + name).toStdString(); }
  QTemporaryDir dir;
};

TEST_F(QtPrinterTest, WritesPdfFilesAndRemovesAnAbortedOne) {
  QtPrinter printer;
  printer.Device().setPrinterName(QString());
  EXPECT_THROW(printer.BeginDoc("t"), PrinterError) << "no printer and no file";
  EXPECT_FALSE(printer.Printing());

  const std::string done = Path("done.pdf");
  printer.SetOutputFileName(done);
  EXPECT_EQ(printer.OutputFileName(), done);
  printer.BeginDoc("t");
  EXPECT_TRUE(printer.Printing());
  EXPECT_THROW(printer.BeginDoc("t"), PrinterError) << "one job at a time";
  printer.Canvas().FillRect(Rect{0, 0, 100, 100}, 0xFFFFFF);
  printer.NewPage();
  printer.EndDoc();
  EXPECT_FALSE(printer.Printing());
  QFile file(QString::fromStdString(done));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("%PDF-"));

  const std::string aborted = Path("aborted.pdf");
  printer.SetOutputFileName(aborted);
  printer.BeginDoc("t");
  printer.NewPage();
  printer.Abort();
  EXPECT_FALSE(printer.Printing());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(aborted)));

  // A file name without ".pdf" is still written as PDF on the same paper.
  const int width = printer.PageWidth();
  printer.SetOutputFileName(Path("noext"));
  EXPECT_EQ(printer.Device().outputFormat(), QPrinter::PdfFormat);
  EXPECT_EQ(printer.PageWidth(), width);

  printer.SetOutputFileName(Path("missing/dir/x.pdf"));
  try {
    printer.BeginDoc("t");
    ADD_FAILURE() << "a file that cannot be made";
  } catch (const PrinterError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot write file\r\n", 0), 0u) << e.what();
  }
  EXPECT_FALSE(printer.Printing());
}

TEST(QtSurfaceTextOut, DrawsOverTheBackgroundAndStopsAtTheClip) {
  QImage img(200, 40, QImage::Format_RGB32);
  const QColor back(200, 0, 0);
  img.fill(back);
  {
    QPainter painter(&img);
    QtSurface s(&painter);
    FontDesc font;
    font.name = "Courier New";
    font.SetHeight(20);
    s.SetFont(font);
    s.SetTextColor(0x000000);
    s.SetBkColor(0xFFFFFF);
    s.TextOut(0, 5, Rect{0, 0, 60, 40}, "MMMMMMMMMMMMMMMM");
  }
  int ink = 0, white = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) {
      const QColor c = img.pixelColor(x, y);
      if (x >= 60) {
        ASSERT_EQ(c, back) << "beyond the clip at " << x << "," << y;
      }
      if (c == Qt::black) ++ink;
      if (c == Qt::white) ++white;
    }
  EXPECT_GT(ink, 50);
  EXPECT_EQ(white, 0) << "no background box behind the text";
}

}  // namespace
}  // namespace bm
