// Printing a whole document as dump pages, and the page layout and texts the
// print and preview commands share.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/printer.h"
#include "platform/types.h"
#include "render/hex_to_canvas.h"

namespace bm {

// The drawing area of a page of width w and height h: a twentieth of each
// side is left as margin.
Rect PageLayout(int w, int h);

// "Bytemoor: " and the file name without its folder (which ends at the last
// "/", "\" or ":"), as Windows-1251 bytes for the surface; characters the code
// page lacks become "?".
std::string PrintHeaderText(const std::string& fileName);
// "Страница " and the page number, as Windows-1251 bytes.
std::string PrintFooterText(int page);

// Before each page after the first: the page about to be drawn and the pages
// expected in all; false cancels the job.
using PrintProgress = std::function<bool(int page, int pages)>;

struct PrintResult {
  int pages = 0;        // pages drawn
  bool cancelled = false;
};

// Prints every page of the renderer's editor on printer: each page filled
// white, the dump between header and footer "Страница N". A document without
// data prints nothing. Throws PrinterError from the printer, and when a page
// cannot hold a single dump line (the job is then aborted).
PrintResult PrintDocument(Printer& printer, THexToCanvas& renderer, const std::string& title,
                          const std::string& header, const PrintProgress& progress = {});

}  // namespace bm
