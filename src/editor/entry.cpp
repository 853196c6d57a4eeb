// Typed bytes: hex digits in the hex field, characters in the character field.
#include <cstring>

#include "editor/byte_editor.h"
#include "platform/codepage.h"

namespace bm {

void TByteEditor::WMChar(uint8_t c) {
  const int64_t p = CellToPosition(Col(), Row());
  const bool charField = inCharField_;
  const bool insert = IsInsertMode();
  if (p >= DataSize() && !insert) return;
  const ShiftState none;

  if (charField) {
    const uint8_t b = altCodeTyped_ ? AnsiToOem(c) : CharToDataByte(c);
    if (b < 0x20 && !altCodeTyped_) return;
    altCodeTyped_ = false;
    if (!insert) {
      ClearSelection(true);
      OverwriteByte(ReadByte(p), b, p, Row());
    } else if (SelLength() > 0) {
      PasteBuffer(&b, 1);
    } else {
      InsertBuffer(&b, 1, p);
    }
    HandleNavigationKey(none, VK_RIGHT);
    return;
  }

  static const char kDigits[] = "0123456789abcdef0123456789ABCDEF";
  const char* hit = c != 0 ? std::strchr(kDigits, static_cast<char>(c)) : nullptr;
  if (!hit) return;
  const int d = static_cast<int>(hit - kDigits) % 16;
  if (!insert) ClearSelection(true);
  const uint8_t old = p < DataSize() ? ReadByte(p) : 0;
  const int first = PositionToCell(p, false).col;
  const bool highNibble = Col() - swapNibbles_ == first;
  const uint8_t value = static_cast<uint8_t>(highNibble ? d * 16 + (old & 0x0F) : d + (old & 0xF0));

  if (insert && (Col() == first || selAnchor_ != -1)) {
    const uint8_t fresh = static_cast<uint8_t>(swapNibbles_ ? d : d * 16);
    if (DataSize() == 0)
      AppendBuffer(&fresh, 1);
    else if (SelLength() == 0)
      InsertBuffer(&fresh, 1, p);
    else
      PasteBuffer(&fresh, 1);
    HandleNavigationKey(none, VK_RIGHT);
    return;
  }
  OverwriteByte(old, value, p, Row());
  if (insert && Col() == first + 1 && p + 1 == DataSize() && !EndCellAllowed()) {
    const uint8_t zero = 0;
    AppendBuffer(&zero, 1);
    return;
  }
  HandleNavigationKey(none, VK_RIGHT);
}

void TByteEditor::OverwriteByte(uint8_t oldValue, uint8_t newValue, int64_t position, int64_t row) {
  if (newValue == oldValue) return;
  // A write that fails takes its undo record and Modified back with it; the
  // change mark is only set once the byte is written.
  const ChangeSavepoint savepoint = SaveChange(false);
  try {
    if (!BeginChange(ckByteChanged, position, 1, 0)) return;
    WriteByte(position, newValue);
  } catch (const std::exception& error) {
    RollbackChange(savepoint);
    RaiseEditError(error);
  }
  CommitChange();
  UpdateReadWindow(position, newValue);
  if (!IsInsertMode()) SetChangeMark(position, true);
  const GridCell hex = PositionToCell(position, false);
  const GridCell chr = PositionToCell(position, true);
  InvalidateCell(hex.col, row);
  InvalidateCell(hex.col + 1, row);
  InvalidateCell(chr.col, row);
}

}  // namespace bm
