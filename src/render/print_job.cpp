// Printing a whole document as dump pages.
#include "render/print_job.h"

#include <cstdint>
#include <string>

#include "editor/byte_editor.h"
#include "platform/codepage.h"

namespace bm {

namespace {

constexpr Color kWhite = 0xFFFFFF;

// UTF-8 to Windows-1251; a byte that does not start a valid sequence is
// taken as it is.
std::string Utf8ToAnsi(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<uint8_t>(text[i]);
    int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
    if (b >= 0xF8) extra = 0;
    char32_t ch = extra == 0 ? b : b & (0x3F >> extra);
    bool valid = b < 0x80 || extra > 0;
    for (int k = 1; valid && k <= extra; ++k) {
      if (i + k >= text.size() || (static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) {
        valid = false;
      } else {
        ch = (ch << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
      }
    }
    if (!valid) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    const int ansi = UnicodeToAnsi(ch);
    out += ansi < 0 ? '?' : static_cast<char>(ansi);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

// Ends a started job that did not finish.
class JobGuard {
 public:
  explicit JobGuard(Printer& printer) : printer_(printer) {}
  ~JobGuard() {
    if (active) printer_.Abort();
  }
  JobGuard(const JobGuard&) = delete;
  JobGuard& operator=(const JobGuard&) = delete;
  bool active = true;

 private:
  Printer& printer_;
};

}  // namespace

Rect PageLayout(int w, int h) { return Rect{w / 20, h / 20, w - w / 20, h - h / 20}; }

std::string PrintHeaderText(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("/\\:");
  const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  return "Bytemoor: " + Utf8ToAnsi(name);
}

std::string PrintFooterText(int page) {
  return "\xD1\xF2\xF0\xE0\xED\xE8\xF6\xE0 " + std::to_string(page);
}

PrintResult PrintDocument(Printer& printer, THexToCanvas& renderer, const std::string& title,
                          const std::string& header, const PrintProgress& progress) {
  PrintResult result;
  TByteEditor* editor = renderer.ByteEditor();
  if (!editor) return result;
  const int64_t size = editor->DataSize();
  if (size < 1) return result;

  printer.BeginDoc(title);
  JobGuard job(printer);
  int64_t pos = 0;
  int page = 1;
  int pages = 1;
  for (;;) {
    Surface& canvas = printer.Canvas();
    const int w = printer.PageWidth(), h = printer.PageHeight();
    canvas.FillRect(Rect{0, 0, w, h}, kWhite);
    canvas.SetBkColor(kWhite);
    renderer.DrawRect = PageLayout(w, h);
    const int64_t next = renderer.Draw(canvas, pos, size - 1, header, PrintFooterText(page));
    // A page that takes no line would be followed by blank pages for ever.
    if (next <= pos || next > size) throw PrinterError("Страница слишком мала для строки дампа");
    result.pages = page;
    if (page == 1) {
      // Every page holds as many lines as the first.
      const int64_t perPage = next;
      pages = static_cast<int>((int64_t{size} + perPage - 1) / perPage);
    }
    pos = next;
    if (pos >= size) break;
    ++page;
    if (progress && !progress(page, pages > page ? pages : page)) {
      result.cancelled = true;
      return result;  // the guard aborts the job
    }
    printer.NewPage();
  }
  job.active = false;
  printer.EndDoc();
  return result;
}

}  // namespace bm
