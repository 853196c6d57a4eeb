// Cell painting of TByteEditor.
#include <cmath>

#include "editor/byte_editor.h"
#include "platform/colors.h"

namespace bm {

namespace {
const char kHexDigits[] = "0123456789ABCDEF";
}

std::string TByteEditor::OffsetText(int64_t row) const {
  const int64_t start = LineStart(row);
  const size_t n = offsetChars_ > 0 ? static_cast<size_t>(offsetChars_) : 0;
  const std::string sep(1, offsetSeparator_);
  switch (offsetDisplay_) {
    case odHex: return "0x" + PadLeft('0', IntToHex(start), n >= 3 ? n - 3 : 0) + sep;
    case odDec: return PadLeft(' ', std::to_string(start), n >= 1 ? n - 1 : 0) + sep;
    case odOctal: return "o " + PadLeft('0', IntToOctal(start), n >= 3 ? n - 3 : 0) + sep;
    case odNone: break;
  }
  return " ";
}

void TByteEditor::DrawCellText(Surface& surface, const std::string& text, Color textColor,
                               Color backColor, const Rect& rect) {
  surface.SetTextColor(ResolveColor(textColor));
  surface.SetBkColor(ResolveColor(backColor));
  surface.TextOutOpaqueClipped(rect.left, rect.top, rect, text);
}

void TByteEditor::DrawCell(Surface& surface, int col, int64_t row, const Rect& rect) {
  const int h = 2 * bytesPerLine_;
  const Color fontColor = font_.color;
  const Color background = colors_.Background();

  if (row == 0 && DataSize() == 0) {
    std::string text = "   ";
    if (col == 0) {
      const std::string sep(1, offsetSeparator_);
      switch (offsetDisplay_) {
        case odHex: text = "0x0" + sep; break;
        case odDec: text = "0" + sep; break;
        case odOctal: text = "o 0" + sep; break;
        case odNone: break;
      }
    }
    DrawCellText(surface, text, colors_.Offset(), background, rect);
    if (col == 2 && Host()) Host()->SetCaretPos(rect.left, rect.top);
    return;
  }
  if (col == 0) {
    DrawCellText(surface, OffsetText(row), colors_.Offset(), background, rect);
    return;
  }
  if (col == 1) {
    const int m = FindMarker(row);
    if (m == -1) {
      DrawCellText(surface, " ", fontColor, background, rect);
      return;
    }
    const FontDesc saved = surface.Font();
    FontDesc marker = font_;
    marker.name = "Arial";
    marker.SetSize(static_cast<int>(std::nearbyint(font_.Size() * 0.75)));  // halves to even
    surface.SetFont(marker);
    DrawCellText(surface, std::string(1, static_cast<char>('0' + m)), colors_.PositionText(),
                 colors_.PositionBackground(), rect);
    surface.SetFont(saved);
    return;
  }
  if (col == h + 2) {
    DrawCellText(surface, " ", fontColor, background, rect);
    return;
  }

  EnsureReadWindow(LineStart(row));
  const int64_t p = CellToPosition(col, row);
  if (p >= DataSize()) {
    DrawCellText(surface, " ", fontColor, background, rect);
    return;
  }
  const bool charCell = inCharField_;
  const uint8_t v = readWindow_[static_cast<size_t>(p - readWindowStart_)];
  std::string text(1, ' ');
  if (IsByteAbsent(p)) {
    // Read as zeros, but not the file's: left blank.
  } else if (charCell) {
    text[0] = static_cast<char>(ByteToDisplayChar(v));
  } else {
    const int d = (col - 2) % 2;
    text[0] = kHexDigits[d == swapNibbles_ ? v >> 4 : v & 0x0F];
  }

  const int g = bytesPerColumn2_ > 0 ? (col - 2) / bytesPerColumn2_ : 0;
  const bool oddGroup = g % 2 == 0;
  const bool changed = IsByteChanged(p);
  const bool differs = IsByteDiffering(p);
  Color textColor, backColor;
  if (differs) {
    textColor = colors_.DiffText();
    backColor = colors_.DiffBackground();
  } else if (changed) {
    textColor = colors_.ChangedText();
    backColor = colors_.ChangedBackground();
  } else {
    backColor = background;
    textColor = charCell ? fontColor : (oddGroup ? colors_.OddColumn() : colors_.EvenColumn());
  }
  if (IsSelected(p)) {
    std::swap(textColor, backColor);
    if (!changed && !differs && !charCell)
      textColor = oddGroup ? colors_.OddColumnInverse() : colors_.EvenColumnInverse();
  }
  DrawCellText(surface, text, textColor, backColor, rect);

  if (row != Row() || !Host() || !Host()->HasFocus()) return;
  if (col == Col()) {
    Host()->SetCaretPos(rect.left, rect.top);
  } else if (col == CounterpartColumn(Col())) {
    const Rect frame{rect.left, rect.top, rect.left + charWidth_, rect.bottom};
    if (focusFrame_)
      surface.DrawFocusRect(frame);
    else
      surface.FrameRect(frame, colors_.CursorFrame());
  }
}

bool TByteEditor::IsByteAbsent(int64_t position) const {
  const piece::BaseFile* base = doc_ ? doc_->Base() : nullptr;
  if (!base || !base->LostBytes() || position < 0 || position >= doc_->Table().Size()) return false;
  const piece::Run run = doc_->Table().Pieces().At(position);
  return run.store == piece::Store::Base && run.offset >= base->PresentSize();
}

}  // namespace bm
