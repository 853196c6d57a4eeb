// The current printer: page size and a job of pages drawn on surfaces.
#pragma once
#include <stdexcept>
#include <string>

#include "platform/surface.h"

namespace bm {

// A failure of the printing service; the message is shown to the user.
class PrinterError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The message when there is no printer to print on.
inline constexpr const char* kNoDefaultPrinter = "Нет выбранного по умолчанию принтера";

class Printer {
 public:
  virtual ~Printer() = default;
  // The printable area of a page in device pixels (HORZRES, VERTRES); a
  // machine without a printer answers for its default paper.
  virtual int PageWidth() = 0;
  virtual int PageHeight() = 0;
  // Starts a job; throws PrinterError when it cannot (kNoDefaultPrinter when
  // there is no printer and no output file).
  virtual void BeginDoc(const std::string& title) = 0;
  virtual void NewPage() = 0;
  // Finishes the job; throws PrinterError when its output cannot be completed.
  virtual void EndDoc() = 0;
  // Ends the job without finishing it: nothing more is printed and a file
  // being written is removed.
  virtual void Abort() = 0;
  virtual bool Printing() const = 0;
  virtual Surface& Canvas() = 0;  // the current page

  // A file the job is written to instead of a printer (PDF); empty: the printer.
  virtual std::string OutputFileName() const = 0;
  virtual void SetOutputFileName(const std::string& path) = 0;
};

}  // namespace bm
