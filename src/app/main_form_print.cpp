// TMainForm: the printer font, printer setup, print and print preview commands.
#include <QImage>
#include <QPainter>
#include <QProgressDialog>
#include <cmath>
#include <memory>

#include "app/main_form.h"
#include "app/preview.h"
#include "app/wait_cursor.h"
#include "editor/byte_editor.h"
#include "platform/printer.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_surface.h"
#include "render/hex_to_canvas.h"
#include "render/print_job.h"
#include "platform/qt/qt_title_fit.h"

namespace bm {

namespace {

constexpr int kPreviewWidth = 1000;
constexpr int kPreviewDpi = 96;  // the off-screen image measures fonts as the screen does
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;

// The file name without its folder, as the user sees it.
std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

struct TMainForm::PrintState {
  THexToCanvas hexToCanvas1;
  std::unique_ptr<QtPrinter> systemPrinter;
  Printer* printer = nullptr;
};

TMainForm::PrintState& TMainForm::Printing() {
  if (!print_) {
    print_ = std::make_shared<PrintState>();
    THexToCanvas& r = print_->hexToCanvas1;
    r.SetByteEditor(&ByteEditor1());
    FontDesc font;
    font.name = "Courier New";
    font.SetHeight(11);
    r.SetFont(font);
    r.SetShrinkToFit(false);
  }
  return *print_;
}

THexToCanvas& TMainForm::HexToCanvas1() { return Printing().hexToCanvas1; }

Printer& TMainForm::CurrentPrinter() {
  PrintState& p = Printing();
  if (!p.printer) {
    p.systemPrinter = std::make_unique<QtPrinter>();
    p.printer = p.systemPrinter.get();
  }
  return *p.printer;
}

void TMainForm::SetPrinter(Printer& printer) { Printing().printer = &printer; }

void TMainForm::PrepareRenderer() {
  THexToCanvas& r = HexToCanvas1();
  r.AssignFromEditor();
  FontDesc font = r.Font();
  font.color = kBlack;
  font.name = printerFontName_;
  font.SetSize(printerFontSize_);
  font.fixedPitch = true;
  r.SetFont(font);
}

void TMainForm::N9Click() {
  // The dialog starts from its own font, not from the current print font.
  FontDesc initial;
  initial.name = "MS Sans Serif";
  initial.SetHeight(11);
  const std::optional<FontDesc> chosen = dialogs_.ChooseFont(initial);
  if (!chosen) return;
  printerFontName_ = chosen->name;
  printerFontSize_ = chosen->Size();
}

void TMainForm::Printsetup1Click() { dialogs_.PrinterSetup(CurrentPrinter()); }

void TMainForm::Print1Click() {
  TByteEditor& ed = ByteEditor1();
  if (ed.DataSize() < 1) return;
  PrepareRenderer();
  const std::string header = PrintHeaderText(ed.FileName());
  WaitCursor busy;
  // Shown only when the job looks like taking more than a second.
  QProgressDialog progress(tr("Печать..."), tr("Отмена"), 0, 1, this);
  progress.setObjectName(QStringLiteral("PrintProgress"));
  progress.setWindowTitle(tr("Печать"));
  FitTitle(&progress);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(1000);
  progress.setAutoReset(false);
  progress.setValue(0);
  const auto onPage = [&](int page, int pages) {
    progress.setMaximum(pages);
    progress.setLabelText(tr("Печать: страница %1 из %2").arg(page).arg(pages));
    progress.setValue(page - 1);
    return !progress.wasCanceled();
  };
  try {
    PrintDocument(CurrentPrinter(), HexToCanvas1(), "Bytemoor: " + BaseName(ed.FileName()), header,
                  onPage);
  } catch (const PrinterError& e) {
    progress.cancel();
    ShowError(e.what());
  }
}

void TMainForm::Printpreview1Click() {
  Printer& printer = CurrentPrinter();
  const int pageW = printer.PageWidth(), pageH = printer.PageHeight();
  const int height = pageW > 0 ? static_cast<int>(std::lround(double(pageH) / pageW * kPreviewWidth))
                               : kPreviewWidth;
  QImage bitmap(kPreviewWidth, height > 0 ? height : 1, QImage::Format_RGB32);
  const int dotsPerMeter = static_cast<int>(std::lround(kPreviewDpi / 0.0254));
  bitmap.setDotsPerMeterX(dotsPerMeter);
  bitmap.setDotsPerMeterY(dotsPerMeter);
  bitmap.fill(Qt::white);
  {
    QPainter painter(&bitmap);
    QtSurface surface(&painter);
    surface.SetBkColor(kWhite);
    PrepareRenderer();
    THexToCanvas& r = HexToCanvas1();
    r.DrawRect = PageLayout(bitmap.width(), bitmap.height());
    TByteEditor& ed = ByteEditor1();
    r.Draw(surface, 0, ed.DataSize() - 1, PrintHeaderText(ed.FileName()), PrintFooterText(1));
  }
  TfmPreview preview(this);
  preview.ShowPicture(bitmap);
  preview.exec();
}

}  // namespace bm
