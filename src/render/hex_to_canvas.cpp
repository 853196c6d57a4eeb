// THexToCanvas: dump lines, font fitting and the pages they fill.
#include "render/hex_to_canvas.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "editor/byte_editor.h"

namespace bm {

namespace {

constexpr int64_t kBlockSize = 65536;
constexpr char kHexDigits[] = "0123456789ABCDEF";

size_t Width(int chars) { return chars > 0 ? static_cast<size_t>(chars) : 0; }

// Puts the surface's font back however the drawing ends.
class FontRestorer {
 public:
  explicit FontRestorer(Surface& surface) : surface_(surface), saved_(surface.Font()) {}
  ~FontRestorer() { surface_.SetFont(saved_); }
  FontRestorer(const FontRestorer&) = delete;
  FontRestorer& operator=(const FontRestorer&) = delete;

 private:
  Surface& surface_;
  FontDesc saved_;
};

}  // namespace

THexToCanvas::~THexToCanvas() { SetByteEditor(nullptr); }

void THexToCanvas::SetByteEditor(TByteEditor* editor) {
  if (editor == byteEditor_) return;
  if (byteEditor_) byteEditor_->RemoveFreeNotification(this);
  byteEditor_ = editor;
  blockStart_ = -1;
  if (byteEditor_) byteEditor_->AddFreeNotification(this, [this] { byteEditor_ = nullptr; });
}

void THexToCanvas::AssignFromEditor() {
  if (!byteEditor_) return;
  font_ = byteEditor_->Font();
  bytesPerColumn_ = byteEditor_->BytesPerColumn();
  offsetSeparator_ = byteEditor_->OffsetSeparator();
  offsetDisplay_ = byteEditor_->OffsetDisplay();
  bytesPerLine_ = byteEditor_->BytesPerLine();
  swapNibbles_ = byteEditor_->SwapNibbles();
  memFieldDisplay_ = odHex;
  memFieldSeparator_ = ' ';
  displayCharField_ = true;
  charFieldSeparator_ = 0;
}

uint8_t THexToCanvas::DataByte(int64_t p) {
  if (blockStart_ < 0 || p < blockStart_ || p >= blockStart_ + blockLength_) {
    // Whole lines of the dump fall in one block unless a line is longer than it.
    block_.resize(kBlockSize);
    blockStart_ = p;
    blockLength_ = byteEditor_->ReadBytes(block_.data(), p, kBlockSize);
    if (blockLength_ <= 0) {
      blockStart_ = -1;
      return 0;
    }
  }
  return block_[static_cast<size_t>(p - blockStart_)];
}

std::string THexToCanvas::FormatLine(int64_t start, int64_t last) {
  std::string line;
  blockStart_ = -1;  // the data may have changed since the last call
  FormatLineInto(line, start, last);
  blockStart_ = -1;
  return line;
}

void THexToCanvas::FormatLineInto(std::string& line, int64_t start, int64_t last) {
  line.clear();
  if (!byteEditor_) return;
  const int w = byteEditor_->OffsetChars();
  switch (offsetDisplay_) {
    case odHex:
      line += "0x";
      line += PadLeft('0', IntToHex(start), Width(w - 3));
      break;
    case odDec: line += PadLeft(' ', std::to_string(start), Width(w - 1)); break;
    case odOctal:
      line += "o ";
      line += PadLeft('0', IntToOctal(start), Width(w - 3));
      break;
    case odNone: break;
  }
  if (offsetSeparator_ != 0) line += offsetSeparator_;

  if (memFieldDisplay_ != odNone) {
    for (int i = 1; i <= bytesPerLine_; ++i) {
      const int64_t p = int64_t{start} + i - 1;
      const bool present = p <= last;
      const uint8_t b = present ? DataByte(static_cast<int64_t>(p)) : 0;
      switch (memFieldDisplay_) {
        case odHex:
          if (!present) {
            line += "  ";
          } else if (swapNibbles_) {
            line += kHexDigits[b & 15];
            line += kHexDigits[b >> 4];
          } else {
            line += kHexDigits[b >> 4];
            line += kHexDigits[b & 15];
          }
          break;
        case odDec: line += present ? PadLeft(' ', std::to_string(b), 3) : "   "; break;
        case odOctal: line += present ? PadLeft('0', IntToOctal(b), 4) : "    "; break;
        case odNone: break;
      }
      // A grouping below 1 has no group ends.
      if (bytesPerColumn_ > 0 && i % bytesPerColumn_ == 0) line += ' ';
    }
  }
  if (memFieldSeparator_ != 0) line += memFieldSeparator_;

  if (displayCharField_) {
    for (int i = 1; i <= bytesPerLine_; ++i) {
      const int64_t p = int64_t{start} + i - 1;
      line += p <= last ? static_cast<char>(byteEditor_->ByteToDisplayChar(
                              DataByte(static_cast<int64_t>(p))))
                        : ' ';
    }
  }
  if (charFieldSeparator_ != 0) line += charFieldSeparator_;
}

void THexToCanvas::FitFont(Surface& surface, const std::string& line, int width) {
  FontDesc font = surface.Font();
  auto resize = [&](int step) {
    font.SetSize(font.Size() + step);
    surface.SetFont(font);
  };
  int size = font.Size();
  if (size < kMinFontSize || size > kMaxFontSize) {
    font.SetSize(std::clamp(size, kMinFontSize, kMaxFontSize));
    surface.SetFont(font);
  }
  if (stretchToFit_) {
    while (surface.TextWidth(line) < width && font.Size() < kMaxFontSize) resize(+1);
    while (surface.TextWidth(line) > width && font.Size() > kMinFontSize) resize(-1);
  }
  if (shrinkToFit_) {
    while (surface.TextWidth(line) > width && font.Size() > kMinFontSize) resize(-1);
  }
}

int64_t THexToCanvas::Draw(Surface& surface, int64_t start, int64_t last,
                           const std::string& header, const std::string& footer) {
  if (bytesPerLine_ < 1) return kNoPage;
  if (!byteEditor_) return kNoEditor;
  const int64_t size = byteEditor_->DataSize();
  if (last >= size) last = size - 1;
  if (last < start || start < 0) return kNoPage;
  const int width = DrawRect.right - DrawRect.left;
  if (width <= 0) return start;

  blockStart_ = -1;
  std::string line;
  FormatLineInto(line, start, last);

  FontRestorer restore(surface);
  surface.SetFont(font_);
  FitFont(surface, line, width);

  const int h = surface.TextHeight(line);
  int lh = static_cast<int>(std::lround(h * 1.2));
  if (lh == h) lh = h + 1;

  // Nothing is drawn outside the area, so a line too long even at the
  // smallest size is cut at its right edge.
  const Rect& clip = DrawRect;
  int64_t y = DrawRect.top;
  if (!header.empty()) {
    surface.TextOut(DrawRect.left, static_cast<int>(y), clip, header);
    y += lh;
  }
  int64_t bottom = DrawRect.bottom;
  if (!footer.empty()) bottom -= lh;

  int64_t pos = start;
  while (y + lh <= bottom) {
    surface.TextOut(DrawRect.left, static_cast<int>(y), clip, line);
    pos += bytesPerLine_;
    if (pos > last) {
      pos = int64_t{last} + 1;
      break;
    }
    FormatLineInto(line, static_cast<int64_t>(pos), last);
    y += lh;
  }
  if (!footer.empty()) surface.TextOut(DrawRect.left, static_cast<int>(bottom), clip, footer);
  blockStart_ = -1;
  return static_cast<int64_t>(pos);
}

}  // namespace bm
