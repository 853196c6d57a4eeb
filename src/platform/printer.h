// The current printer: page size and a job of pages drawn on surfaces.
#pragma once
#include <string>

#include "platform/surface.h"

namespace bm {

class Printer {
 public:
  virtual ~Printer() = default;
  virtual int PageWidth() = 0;   // HORZRES, pixels
  virtual int PageHeight() = 0;  // VERTRES, pixels
  virtual bool BeginDoc(const std::string& title) = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual Surface& Canvas() = 0;  // the current page
};

}  // namespace bm
