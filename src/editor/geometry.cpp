// Grid geometry of TByteEditor: columns, rows and the mapping between byte
// positions and cells.
#include "editor/byte_editor.h"

namespace bm {

int64_t TByteEditor::CellToPosition(int col, int64_t row) {
  const int h = 2 * bytesPerLine_;
  inCharField_ = col > h + 2;
  const int index = inCharField_ ? col - (h + 3) : (col - 2) / 2;
  const int64_t p = int64_t{LineStart(row)} + index;
  return p < 0 ? 0 : static_cast<int64_t>(p);
}

GridCell TByteEditor::PositionToCell(int64_t position, bool charField) const {
  if (position < 0) return {2, 0};
  const int64_t row = position / bytesPerLine_;
  const int i = position % bytesPerLine_;
  return {charField ? 2 * bytesPerLine_ + 3 + i : 2 + 2 * i, row};
}

int TByteEditor::CounterpartColumn(int col, bool* isChar) const {
  const int h = 2 * bytesPerLine_;
  const bool charCol = col > h + 2;
  if (isChar) *isChar = charCol;
  return charCol ? (col - (h + 3)) * 2 + 2 : (col - 2) / 2 + h + 3;
}

bool TByteEditor::GotoPosition(int64_t offset, int origin, bool strict) {
  const int64_t size = DataSize();
  const int64_t cursor = CursorPosition();
  int64_t target;
  switch (origin) {
    case 0: target = offset; break;
    case 1: target = cursor + offset; break;
    case 2: target = size - 1 + offset; break;
    default: target = cursor; break;
  }
  if (size < 1) return false;
  if (target < 0) {
    if (strict) return false;
    target = 0;
  }
  if (target >= size) {
    if (strict) return false;
    target = size - 1;
  }
  SetSelStart(static_cast<int64_t>(target));
  return true;
}

void TByteEditor::UpdateGridSize() {
  const int64_t size = DataSize();
  CutChangeMarks(size);
  const int b = bytesPerLine_;
  SetColCount(3 * b + 3);
  SetFixedCols(2);
  UpdateRowCount(false);
  SetFixedRows(0);
  readWindowStart_ = -1;
  UpdateColumnWidths();
}

void TByteEditor::UpdateColumnWidths() {
  Surface* measure = Host() ? &Host()->MeasureSurface() : nullptr;
  if (measure) {
    measure->SetFont(font_);
    charWidth_ = measure->TextWidth("w");
  } else if (charWidth_ < 0) {
    charWidth_ = 8;
  }
  UpdateOffsetColumnWidth();
  SetColWidths(1, showMarkerColumn_ ? charWidth_ : 0);
  const int h = 2 * bytesPerLine_;
  for (int c = 2; c <= h + 1; ++c) {
    const bool gap = bytesPerColumn2_ > 0 && c % bytesPerColumn2_ == 1;
    SetColWidths(c, gap ? 2 * charWidth_ : charWidth_);
  }
  for (int c = h + 2; c <= 3 * bytesPerLine_ + 2; ++c) SetColWidths(c, charWidth_);
  lineHeight_ = (measure ? measure->TextHeight("yY") : 14) + 2;
  SetDefaultRowHeight(lineHeight_);
}

void TByteEditor::UpdateOffsetColumnWidth() {
  const int64_t last = LineStart(RowCount() - 1);
  switch (offsetDisplay_) {
    case odHex: offsetChars_ = static_cast<int>(IntToHex(last).size()) + 3; break;
    case odDec: offsetChars_ = static_cast<int>(std::to_string(last).size()) + 1; break;
    case odOctal: offsetChars_ = static_cast<int>(IntToOctal(last).size()) + 3; break;
    case odNone: offsetChars_ = 0; break;
  }
  SetColWidths(0, offsetChars_ * charWidth_);
}

void TByteEditor::SetBytesPerLine(int value) {
  if (value < 1 || value > 256) throw EEditorError("Invalid BytesPerLine argument");
  if (value == bytesPerLine_) return;
  if (Host()) Host()->LockUpdate(true);
  const int64_t selFrom = selFrom_, selAnchor = selAnchor_, selTo = selTo_, selOrigin = selOrigin_;
  const int64_t p = CellToPosition(Col(), Row());
  const bool charField = inCharField_;
  bytesPerLine_ = value;
  UpdateGridSize();
  const GridCell cell = PositionToCell(p, charField);
  if (cell.row < RowCount() && cell.col < ColCount()) MoveCurrent(cell.col, cell.row, true);
  selFrom_ = selFrom;
  selAnchor_ = selAnchor;
  selTo_ = selTo;
  selOrigin_ = selOrigin;
  if (Host()) Host()->LockUpdate(false);
}

void TByteEditor::SetBytesPerColumn(int value) {
  if (2 * value == bytesPerColumn2_) return;
  bytesPerColumn2_ = 2 * value;
  UpdateColumnWidths();
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::SetShowMarkerColumn(bool value) {
  if (value == showMarkerColumn_) return;
  showMarkerColumn_ = value;
  UpdateColumnWidths();
}

void TByteEditor::SetOffsetDisplay(TOffsetDisplayStyle value) {
  if (value == offsetDisplay_) return;
  offsetDisplay_ = value;
  UpdateOffsetColumnWidth();
  if (Host()) Host()->InvalidateAll();
}

}  // namespace bm
