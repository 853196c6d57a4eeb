// The program's one printer on Qt: a QPrinter at its full resolution, drawn
// through a QtSurface. Printing to a PDF file is an output file name.
#pragma once
#include <QPainter>
#include <QPrinter>
#include <string>

#include "platform/printer.h"
#include "platform/qt/qt_surface.h"

namespace bm {

class QtPrinter : public Printer {
 public:
  // The system's default printer; where there is none, PDF output on A4
  // paper, which prints only once a file has been chosen.
  QtPrinter();
  ~QtPrinter() override;
  QtPrinter(const QtPrinter&) = delete;
  QtPrinter& operator=(const QtPrinter&) = delete;

  // For the printer setup dialog.
  QPrinter& Device() { return printer_; }

  int PageWidth() override;
  int PageHeight() override;
  void BeginDoc(const std::string& title) override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() const override { return painter_.isActive(); }
  Surface& Canvas() override { return surface_; }
  std::string OutputFileName() const override;
  void SetOutputFileName(const std::string& path) override;

 private:
  QPrinter printer_;
  QPainter painter_;
  QtSurface surface_;
};

}  // namespace bm
