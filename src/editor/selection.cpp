// Cursor, selection, insert state and caret of TByteEditor.
#include <algorithm>
#include <limits>

#include "editor/byte_editor.h"

namespace bm {

namespace {
// Guards CanSelectCell against re-entry while it moves the cursor itself;
// one flag for the whole program, set while no call is running.
bool g_canSelectCellFree = true;
}  // namespace

int64_t TByteEditor::CursorPosition() {
  const int64_t p = CellToPosition(Col(), Row());
  const int64_t last = EndCellAllowed() ? DataSize() : DataSize() - 1;
  return std::clamp<int64_t>(p, 0, std::max<int64_t>(0, last));
}

int64_t TByteEditor::SelStart() { return selAnchor_ != -1 ? selAnchor_ : CursorPosition(); }

int64_t TByteEditor::SelEnd() {
  if (selAnchor_ == -1) return CursorPosition();
  return selTo_ == selAnchor_ ? selFrom_ : selTo_;
}

void TByteEditor::SetSelStart(int64_t value) {
  if (value < 0 || value >= DataSize()) throw EEditorError("Invalid SelStart");
  ClearSelection(true);
  CellToPosition(Col(), Row());
  const GridCell cell = PositionToCell(value, inCharField_);
  MoveCurrent(cell.col, cell.row, true);
}

void TByteEditor::SetSelEnd(int64_t value) {
  if (value < 0 || value >= DataSize()) throw EEditorError("Invalid SelEnd");
  ClearSelection(true);
  CellToPosition(Col(), Row());
  const GridCell cell = PositionToCell(value, inCharField_);
  ExtendSelection(Col(), Row(), cell.col, cell.row);
}

void TByteEditor::ClearSelection(bool redraw) {
  selecting_ = false;
  const int64_t oldFrom = selFrom_, oldTo = selTo_;
  selFrom_ = selAnchor_ = selTo_ = -1;
  selOrigin_ = -1;
  if (redraw) InvalidatePositions(oldFrom, oldTo);
  PostStateChanged();
}

void TByteEditor::ExtendSelection(int fromCol, int64_t fromRow, int toCol, int64_t toRow) {
  int64_t n = CellToPosition(toCol, toRow);
  const int64_t oldFrom = selFrom_, oldTo = selTo_;
  const bool insert = IsInsertMode();
  if (selAnchor_ == -1) {
    selAnchor_ = CellToPosition(fromCol, fromRow);
    selOrigin_ = selAnchor_;
    if (insert) {
      if (n < selAnchor_)
        --selAnchor_;
      else if (n > selAnchor_)
        --n;
    }
    selFrom_ = std::min(n, selAnchor_);
    selTo_ = std::max(n, selAnchor_);
    InvalidatePositions(selFrom_, selTo_);
  } else {
    if (!insert) {
      if (selAnchor_ > n) {
        selFrom_ = n;
        selTo_ = selAnchor_;
      } else {
        selFrom_ = selAnchor_;
        selTo_ = n;
      }
    } else {
      // The bytes between the caret where the selection began and the caret
      // now, on whichever side the caret is; nothing when it is back there.
      // A selection made by an edit (an inserted or appended run) has no
      // origin of its own: it is the end of the run away from the caret.
      if (selOrigin_ != selFrom_ && selOrigin_ != selTo_ + 1) {
        const int64_t caret = CellToPosition(fromCol, fromRow);
        selOrigin_ = caret <= selFrom_ ? selTo_ + 1 : selFrom_;
        CellToPosition(toCol, toRow);
      }
      const int64_t origin = selOrigin_;
      if (n < origin) {
        selAnchor_ = origin - 1;
        selFrom_ = n;
        selTo_ = origin - 1;
      } else if (n > origin) {
        selAnchor_ = origin;
        selFrom_ = origin;
        selTo_ = n - 1;
      } else {
        selFrom_ = selAnchor_ = selTo_ = -1;
        InvalidatePositions(oldFrom, oldTo);
      }
    }
    if (selAnchor_ != -1) {
      InvalidatePositions(std::min(oldFrom, selFrom_), std::max(oldFrom, selFrom_));
      InvalidatePositions(std::min(oldTo, selTo_), std::max(oldTo, selTo_));
    }
  }
  PostStateChanged();
}

bool TByteEditor::IsSelected(int64_t position) const {
  return selAnchor_ != -1 && selFrom_ <= position && position <= selTo_;
}

void TByteEditor::GetSelectionRange(int64_t& start, int64_t& endExclusive, int& col, int64_t& row) {
  CellToPosition(Col(), Row());
  const bool field = inCharField_;
  if (selAnchor_ != -1) {
    start = selFrom_;
    endExclusive = selTo_ + 1;
    const GridCell cell = PositionToCell(selFrom_, field);
    col = cell.col;
    row = cell.row;
  } else {
    start = CursorPosition();
    endExclusive = start + 1;
    col = Col();
    row = Row();
  }
  CutChangeMarks(start);
}

void TByteEditor::InvalidatePositions(int64_t a, int64_t b) {
  if (!Host()) return;
  const int64_t r0 = std::max(RowOfPosition(std::min(a, b)), TopRow());
  const int64_t r1 = std::min<int64_t>(RowOfPosition(std::max(a, b)),
                                       int64_t{TopRow()} + VisibleRowCount());
  if (r0 > r1 || r0 >= RowCount()) return;
  // The first scrollable column starts where the fixed columns end.
  const Rect first = CellRect(LeftCol(), r0);
  if (first.IsEmpty()) return;
  const int extent = DefaultRowHeight() + GridLineWidth();
  // Pixel coordinates are ints: many rows end at the largest one.
  const int64_t bottom =
      std::min<int64_t>(first.top + (r1 - r0 + 1) * extent, std::numeric_limits<int>::max());
  Host()->Invalidate(Rect{first.left, first.top, ClientWidth(), static_cast<int>(bottom)}, false);
}

bool TByteEditor::CanSelectCell(int col, int64_t row) {
  if (!g_canSelectCellFree) return true;
  g_canSelectCellFree = false;
  struct Restore {
    ~Restore() { g_canSelectCellFree = true; }
  } restore;

  const bool button = IsKeyDown(VK_LBUTTON);
  if (!IsKeyDown(VK_SHIFT) && !button) ClearSelection(true);
  CellToPosition(Col(), Row());
  const bool cursorField = inCharField_;
  const int64_t p = CellToPosition(col, row);
  const int64_t size = DataSize();
  if (p >= size) {
    // The cell just after the last byte, in either field, where allowed.
    if (EndCellAllowed() && p == size && col == PositionToCell(size, inCharField_).col) return true;
    const GridCell last = PositionToCell(EndCellAllowed() ? size : size - 1, cursorField);
    MoveCurrent(last.col, last.row, true);
    return false;
  }
  if (col == SeparatorColumn()) {
    if (button) {
      GridCell target{std::max(2, col - 1), row};
      if (CellToPosition(target.col, target.row) >= size) target = PositionToCell(size - 1, false);
      MoveCurrent(target.col, target.row, true);
    }
    return false;
  }
  return true;
}

void TByteEditor::InvalidateCounterpart(int col, int64_t row) {
  if (!Host()) return;
  const Rect r = CellRect(CounterpartColumn(col), row);
  if (!r.IsEmpty()) Host()->Invalidate(r, false);
}

bool TByteEditor::SelectCell(int col, int64_t row) {
  const int64_t oldRow = Row();
  if (DataSize() < 1) return col == 2 && row == 0;
  const bool answer = CanSelectCell(col, row);
  if (answer) {
    InvalidateCounterpart(Col(), oldRow);
    InvalidateCounterpart(col, row);
    if (selecting_)
      ExtendSelection(Col(), Row(), col, row);
    else
      ClearSelection(true);
    // A cell out of view has no rectangle: the caret waits off-screen until
    // the grid has scrolled the cell in (TopLeftChanged places it then).
    const Rect r = CellRect(col, row);
    if (Host()) {
      if (r.IsEmpty())
        Host()->SetCaretPos(-50, -50);
      else
        Host()->SetCaretPos(r.left, r.top);
    }
  }
  return answer;
}

bool TByteEditor::IsKeyDown(int vk) const {
  return Host() && (static_cast<uint16_t>(Host()->KeyState(vk)) & 0xFFFE) != 0;
}

void TByteEditor::CreateEditorCaret() {
  if (!Host()) return;
  Host()->DestroyCaret();
  const int w = std::max(0, charWidth_);
  const int h = std::max(0, lineHeight_ - 2);
  caretBitmap_.width = w;
  caretBitmap_.height = h;
  caretBitmap_.pixels.assign(static_cast<size_t>(w) * h, 0);
  const Color shape = colors_.CursorFrame() ^ 0xFFFFFFu;
  int x0 = 0, x1 = w, y0 = 0, y1 = h;
  if (caretStyle_ == csLeftLine) x1 = std::min(2, w);
  if (caretStyle_ == csBottomLine) y0 = std::max(0, h - 2);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) caretBitmap_.pixels[static_cast<size_t>(y) * w + x] = shape;
  Host()->CreateCaret(caretBitmap_);
}

void TByteEditor::UpdateRowCount(bool placeCursor) {
  const int64_t size = DataSize();
  const int64_t cells = EndCellAllowed() ? size + 1 : size;
  const int64_t b = bytesPerLine_;
  SetRowCount(cells >= 1 ? (cells + b - 1) / b : 1);
  if (placeCursor && size > 0 && !EndCellAllowed() && CellToPosition(Col(), Row()) >= size) {
    const GridCell last = PositionToCell(size - 1, inCharField_);
    MoveCurrent(last.col, last.row, true);
  }
}

void TByteEditor::ToggleInsertState() {
  insertState_ = !insertState_;
  UpdateRowCount(true);
  if (autoCaretMode_) SetAutoCaretMode(true);
  changeMarks_.clear();
  if (Host()) Host()->InvalidateAll();
  PostStateChanged();
}

void TByteEditor::FocusGained() {
  if (!Host()) return;
  CreateEditorCaret();
  Host()->SetCaretPos(-50, -50);
  Host()->ShowCaret();
  Host()->InvalidateAll();
}

void TByteEditor::FocusLost() {
  if (Host()) {
    Host()->HideCaret();
    Host()->DestroyCaret();
  }
  selecting_ = false;
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::Scrolled() {
  if (!Host()) return;
  const Rect r = CellRect(Col(), Row());
  if (r.left + r.bottom != 0)
    Host()->SetCaretPos(r.left, r.top);
  else
    Host()->SetCaretPos(-50, -50);
}

void TByteEditor::TopLeftChanged() { Scrolled(); }

void TByteEditor::ScrollRows(int rows) { SetTopRow(TopRow() + rows); }

}  // namespace bm
