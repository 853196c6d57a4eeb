// Keyboard and mouse handling of TByteEditor.
#include <algorithm>

#include "editor/byte_editor.h"

namespace bm {

void TByteEditor::KeyDown(uint16_t& key, ShiftState shift) {
  if (key == VK_INSERT) {
    ToggleInsertState();
    key = 0;
    return;
  }
  const uint16_t remembered = key;
  bool toGrid = false;
  if (key == VK_BACK) {
    if (IsInsertMode()) {
      if (SelLength() > 0) DeleteSelection();
      DeleteAtCursor(true);
      key = 0;
      return;
    }
    // Overwrite mode: Backspace only moves left, as the grid's Left does
    // (after the navigation step below has dropped an unmodified selection).
    key = VK_LEFT;
    toGrid = true;
  } else if (key == VK_DELETE) {
    if (shift.OnlyCtrl())
      DeleteSelection();
    else if (IsInsertMode()) {
      if (SelLength() > 0)
        DeleteSelection();
      else
        DeleteAtCursor(false);
    }
    key = 0;
    return;
  }
  // Backspace matches no navigation row; the call still clears the selection
  // when no modifier is held.
  if (HandleNavigationKey(shift, remembered) && !toGrid) {
    key = 0;
    return;
  }
  if (OnKeyDown) OnKeyDown(key, shift);
  if (key != 0) GridKeyDown(key, shift);
}

bool TByteEditor::HandleNavigationKey(ShiftState shift, uint16_t key) {
  if (shift.NoKeys() && key != VK_SHIFT && !IsInsertMode()) ClearSelection(true);
  const int64_t p = CellToPosition(Col(), Row());
  const bool charField = inCharField_;
  const int fieldStart = charField ? FirstCharColumn() : 2;
  const int64_t size = DataSize();
  const int visible = VisibleRowCount();
  auto moveTo = [this](int col, int64_t row) { MoveCurrent(col, row, true); };
  auto moveToByte = [&](int64_t position, bool inChars) {
    const GridCell cell = PositionToCell(position, inChars);
    moveTo(cell.col, cell.row);
  };
  const bool isSecondColumn = !charField && (Col() - 2) % 2 == 1;

  switch (key) {
    case VK_PRIOR:
      if (shift.ctrl) {
        moveTo(Col(), TopRow());
      } else {
        const int64_t target = std::max<int64_t>(0, Row() - visible + 1);
        SetTopRow(std::max<int64_t>(0, TopRow() - visible + 1));
        moveTo(Col(), target);
      }
      return true;
    case VK_NEXT:
      if (shift.ctrl) {
        moveTo(Col(), std::min(RowCount() - 1, TopRow() + visible - 1));
      } else {
        const int64_t target = std::min(RowCount() - 1, Row() + visible - 1);
        SetTopRow(std::min(TopRow() + visible - 1, std::max<int64_t>(0, RowCount() - visible)));
        moveTo(Col(), target);
      }
      return true;
    case VK_HOME:
      moveTo(fieldStart, shift.ctrl ? 0 : Row());
      return true;
    case VK_END:
      if (shift.ctrl) {
        moveToByte(size - 1, charField);
      } else {
        const int64_t q = std::min<int64_t>(int64_t{LineStart(Row() + 1)} - 1, size - 1);
        moveToByte(static_cast<int64_t>(q), charField);
      }
      return true;
    case VK_LEFT:
      if (shift.ctrl) return false;  // left to the grid: a page of columns
      if (charField) {
        moveToByte(std::max<int64_t>(0, p - 1), true);
      } else if (isSecondColumn) {
        moveTo(Col() - 1, Row());
      } else if (p - 1 >= 0) {
        const GridCell cell = PositionToCell(p - 1, false);
        moveTo(cell.col + 1, cell.row);
      }
      return true;
    case VK_RIGHT:
      if (shift.ctrl) {
        moveTo(ColCount() - 1, Row());
      } else if (charField) {
        moveToByte(std::min(p + 1, EndCellAllowed() ? size : size - 1), true);
      } else if (!isSecondColumn) {
        moveTo(Col() + 1, Row());
      } else if (p + 1 < size || (EndCellAllowed() && p + 1 == size)) {
        moveToByte(p + 1, false);
      }
      return true;
    case VK_DOWN:
      if (shift.ctrl) return false;
      if (Row() + 1 < RowCount()) moveTo(Col(), Row() + 1);
      return true;
    case VK_UP:
      if (shift.ctrl) return false;
      if (Row() >= 1) moveTo(Col(), Row() - 1);
      return true;
    case 'T':
      if (!shift.ctrl) return false;
      if (size > 0) SetCol(CounterpartColumn(Col()));
      return true;
    case VK_TAB:
      if (!shift.NoKeys() && !shift.OnlyShift()) return false;
      if (size > 0) SetCol(CounterpartColumn(Col()));
      return true;
    case VK_SHIFT:
      if (!shift.OnlyShift()) return false;
      if (!selecting_) ClearSelection(true);
      selecting_ = true;
      return true;
    default:
      break;
  }
  if (key >= '0' && key <= '9') {
    const int digit = key - '0';
    if (shift.OnlyCtrlShift()) {
      SetMarker(static_cast<uint8_t>(digit), Row());
      return true;
    }
    if (shift.OnlyCtrl()) {
      ClearSelection(true);
      const int64_t r = GetMarker(digit);
      if (r >= 0 && r < RowCount())
        moveTo(2, r);
      else
        SetMarker(static_cast<uint8_t>(digit), -1);  // the row is gone: forget it
      return true;
    }
  }
  return false;
}

void TByteEditor::KeyUp(uint16_t& key, ShiftState shift) {
  altCodeTyped_ = key == VK_MENU;
  if (OnKeyUp) OnKeyUp(key, shift);
}

void TByteEditor::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
  GridMouseDown(button, shift, x, y);
  if (button != MouseButton::Left) return;
  ClearSelection(true);
  if (!shift.dbl) selecting_ = true;
}

void TByteEditor::MouseMove(ShiftState shift, int x, int y) { GridMouseMove(shift, x, y); }

void TByteEditor::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
  GridMouseUp(button, shift, x, y);
}

}  // namespace bm
