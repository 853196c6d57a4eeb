#include "platform/qt/qt_printer.h"

#include <QFile>
#include <QPageSize>
#include <QString>

namespace bm {

namespace {

QString PathToQString(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

}  // namespace

QtPrinter::QtPrinter() : printer_(QPrinter::HighResolution) {
  // Without a printer Qt falls back to PDF output on the locale's paper.
  if (printer_.outputFormat() == QPrinter::PdfFormat) printer_.setPageSize(QPageSize(QPageSize::A4));
}

QtPrinter::~QtPrinter() {
  if (painter_.isActive()) Abort();
}

int QtPrinter::PageWidth() { return printer_.width(); }
int QtPrinter::PageHeight() { return printer_.height(); }

void QtPrinter::BeginDoc(const std::string& title) {
  if (painter_.isActive()) throw PrinterError("Printing in progress");
  // PDF output without a file is what Qt offers where no printer is set.
  if (printer_.outputFormat() == QPrinter::PdfFormat && printer_.outputFileName().isEmpty())
    throw PrinterError(kNoDefaultPrinter);
  printer_.setDocName(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
  if (!painter_.begin(&printer_)) {
    if (!printer_.outputFileName().isEmpty())
      throw PrinterError("Cannot write file\r\n" + printer_.outputFileName().toStdString());
    throw PrinterError(kNoDefaultPrinter);
  }
  surface_.SetPainter(&painter_);
}

void QtPrinter::NewPage() {
  if (!painter_.isActive()) return;
  if (!printer_.newPage()) throw PrinterError("Cannot start a new page");
}

void QtPrinter::EndDoc() {
  if (!painter_.isActive()) return;
  surface_.SetPainter(nullptr);
  const bool ok = painter_.end();
  if (!ok || printer_.printerState() == QPrinter::Error)
    throw PrinterError("Cannot finish printing");
}

void QtPrinter::Abort() {
  if (!painter_.isActive()) return;
  surface_.SetPainter(nullptr);
  const QString file = printer_.outputFileName();
  if (file.isEmpty()) printer_.abort();
  painter_.end();
  if (!file.isEmpty()) QFile::remove(file);
}

std::string QtPrinter::OutputFileName() const {
  return QFile::encodeName(printer_.outputFileName()).toStdString();
}

void QtPrinter::SetOutputFileName(const std::string& path) {
  // A file is always written as PDF, whatever its name; the page stays.
  const QPageLayout layout = printer_.pageLayout();
  printer_.setOutputFileName(PathToQString(path));
  if (!path.empty() && printer_.outputFormat() != QPrinter::PdfFormat) {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(PathToQString(path));
  }
  printer_.setPageLayout(layout);
}

}  // namespace bm
