// The change gate, the range edits on the working copy and the change marks
// of TByteEditor.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "editor/byte_editor.h"

namespace bm {

namespace {

// Runs are moved through one buffer of at most this size, so removing or
// inserting bytes near the start of a large file costs a fixed amount of
// memory rather than a buffer as large as the tail.
constexpr int32_t kMoveBlockSize = 1 << 20;

constexpr int64_t kMaxDataSize = std::numeric_limits<int32_t>::max();

}  // namespace

// ---- the gate ---------------------------------------------------------------

bool TByteEditor::BeginChange(TChangeKind kind, int32_t position, int32_t count,
                              int32_t oldLength) {
  const int32_t size = DataSize();
  bool allowed = size > 0;
  if (!allowed && (kind == ckInsertBuffer || kind == ckAppendBuffer)) allowed = true;

  if (allowed && noSizeChange_) {
    if (kind == ckBytesRemoved || kind == ckInsertBuffer || kind == ckAppendBuffer)
      allowed = false;
    else if (kind == ckReplaceSelection && count != oldLength)
      allowed = false;
  }

  // A change of nothing would leave a record that undoes nothing and, for the
  // insertions, a selection that ends before it starts.
  if (allowed && kind != ckByteChanged && count <= 0) allowed = false;

  // Positions and sizes are 32-bit signed: refuse growth past that.
  if (allowed) {
    int64_t grown = size;
    if (kind == ckInsertBuffer || kind == ckAppendBuffer) grown += count;
    if (kind == ckReplaceSelection) grown += static_cast<int64_t>(count) - oldLength;
    if (grown > kMaxDataSize) allowed = false;
  }

  if (allowed) {
    const bool couldUndo = canUndo_;
    canUndo_ = true;
    try {
      WriteUndoRecord(kind, position, count, oldLength);
    } catch (...) {
      canUndo_ = couldUndo;
      throw;
    }
    modified_ = true;
  }
  PostStateChanged();
  return allowed;
}

// ---- change marks -----------------------------------------------------------

bool TByteEditor::IsByteChanged(int32_t position) {
  if (IsInsertMode()) return false;
  if (position < 0 || position >= ChangeMarksLength()) return false;
  return changeMarks_[static_cast<size_t>(position)];
}

void TByteEditor::SetChangeMark(int32_t position, bool value) {
  if (IsInsertMode()) changeMarks_.clear();
  if (position < 0) return;
  if (!value && position >= ChangeMarksLength()) return;
  if (position >= ChangeMarksLength()) changeMarks_.resize(static_cast<size_t>(position) + 1, false);
  changeMarks_[static_cast<size_t>(position)] = value;
}

void TByteEditor::CutChangeMarks(int32_t length) {
  length = std::max<int32_t>(0, length);
  if (ChangeMarksLength() > length) changeMarks_.resize(static_cast<size_t>(length));
}

int32_t TByteEditor::SelLength() const {
  if (selAnchor_ == -1) return 0;
  return std::max(selFrom_, selTo_) - std::min(selFrom_, selTo_) + 1;
}

// ---- primitives (no gate) ---------------------------------------------------

void TByteEditor::MoveBytes(int32_t source, int32_t destination, int32_t count) {
  if (count <= 0 || source == destination) return;
  std::vector<uint8_t> block(static_cast<size_t>(std::min(count, kMoveBlockSize)));
  const int32_t blockSize = static_cast<int32_t>(block.size());
  if (destination < source) {
    // Front to back: every block is read before a later write can reach it.
    for (int32_t done = 0; done < count;) {
      const int32_t n = std::min(blockSize, count - done);
      ReadBytes(block.data(), source + done, n);
      WriteBytes(block.data(), destination + done, n);
      done += n;
    }
  } else {
    // Back to front, for the same reason when the run moves up.
    for (int32_t left = count; left > 0;) {
      const int32_t n = std::min(blockSize, left);
      left -= n;
      ReadBytes(block.data(), source + left, n);
      WriteBytes(block.data(), destination + left, n);
    }
  }
}

void TByteEditor::InsertBytes(const uint8_t* buffer, int32_t count, int32_t position) {
  EnsureWorkStream();
  if (DataSize() == 0) {
    workStream_->Seek(0);
    changeMarks_.clear();
  }
  const int32_t old = DataSize();
  workStream_->SetSize(static_cast<int64_t>(old) + count);
  cachedSize_ = -1;
  if (position < old) MoveBytes(position, position + count, DataSize() - position - count);
  WriteBytes(buffer, position, count);
  UpdateGridSize();
}

void TByteEditor::AppendBytes(const uint8_t* buffer, int32_t count) {
  // An insertion at the end moves nothing: the same steps.
  InsertBytes(buffer, count, DataSize());
}

void TByteEditor::DeleteRange(int32_t start, int32_t end, int col, int row) {
  if (end <= DataSize() - 1) MoveBytes(end, start, DataSize() - end);
  workStream_->SetSize(DataSize() - (end - start));
  cachedSize_ = -1;

  if (CellToPosition(col, row) >= DataSize()) {
    const GridCell cell = PositionToCell(DataSize() - 1, InCharField());
    col = cell.col;
    row = cell.row;
  }
  MoveCurrent(col, row, true);

  UpdateGridSize();
  ClearSelection(false);
  if (Host()) Host()->InvalidateAll();
}

// ---- gated edits --------------------------------------------------------------

void TByteEditor::DeleteSelection() {
  int32_t start = 0, end = 0;
  int col = 2, row = 0;
  GetSelectionRange(start, end, col, row);
  if (end <= start) return;
  if (BeginChange(ckBytesRemoved, start, end - start, 0)) DeleteRange(start, end, col, row);
}

void TByteEditor::DeleteAtCursor(bool backspace) {
  const int32_t p = CursorPosition();
  if (!backspace) {
    if (p != DataSize() && BeginChange(ckBytesRemoved, p, 1, 0))
      DeleteRange(p, p + 1, Col(), Row());
  } else {
    if (p > 0 && BeginChange(ckBytesRemoved, p - 1, 1, 0)) {
      DeleteRange(p - 1, p, Col(), Row());
      GotoPosition(p - 1, 0, false);
    }
  }
}

void TByteEditor::InsertBuffer(const uint8_t* buffer, int32_t count, int32_t position) {
  if (!BeginChange(ckInsertBuffer, position, count, 0)) return;
  InsertBytes(buffer, count, position);
  CutChangeMarks(position);
  if (position == CellToPosition(Col(), Row())) {
    selAnchor_ = position;
    selFrom_ = position;
    selTo_ = position + count - 1;
    PostStateChanged();
  }
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::AppendBuffer(const uint8_t* buffer, int32_t count) {
  if (!BeginChange(ckAppendBuffer, DataSize(), count, 0)) return;
  CutChangeMarks(DataSize());
  const int32_t old = DataSize();
  CellToPosition(Col(), Row());
  const bool charField = InCharField();
  AppendBytes(buffer, count);
  const GridCell cell = PositionToCell(old, charField);
  MoveCurrent(cell.col, cell.row, true);
  selAnchor_ = old;
  selFrom_ = old;
  selTo_ = old + count - 1;
  PostStateChanged();
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::PasteBuffer(const uint8_t* buffer, int32_t count) {
  if (selAnchor_ == -1) {
    InsertBuffer(buffer, count, SelStart());
    return;
  }
  if (count <= 0) {
    // Nothing to put in place of the selection: refused like any other
    // change of nothing.
    PostStateChanged();
    return;
  }
  if (noSizeChange_) {
    const int32_t length = SelLength();
    if (count > length) count = length;
    if (count < length) {
      const int32_t first = std::min(SelStart(), SelEnd());
      SetSelStart(first);
      SetSelEnd(first + count - 1);
    }
  }
  if (!BeginChange(ckReplaceSelection, selFrom_, count, SelLength())) return;

  const int rememberedCol = Col(), rememberedRow = Row();
  int32_t start = 0, end = 0;
  int col = 2, row = 0;
  GetSelectionRange(start, end, col, row);
  DeleteRange(start, end, col, row);
  InsertBytes(buffer, count, start);
  CutChangeMarks(start);

  if (CellToPosition(rememberedCol, rememberedRow) == start && start < DataSize()) {
    MoveCurrent(rememberedCol, rememberedRow, true);
    selAnchor_ = start;
    selFrom_ = start;
    selTo_ = start + count - 1;
    PostStateChanged();
  } else if (CellToPosition(Col(), Row()) != start && start < DataSize()) {
    // A replaced range that ran to the end left the cursor on the byte
    // before it while the data was shorter; the first byte of the pasted run
    // is where it belongs.
    const GridCell cell = PositionToCell(start, InCharField());
    MoveCurrent(cell.col, cell.row, true);
  }
}

std::unique_ptr<uint8_t[]> TByteEditor::BufferFromFile(int32_t position, int32_t& count) {
  const int32_t size = DataSize();
  if (position < 0 || position >= size || count < 0)
    throw EEditorError("Invalid BufferFromFile argument");
  if (static_cast<int64_t>(position) + count > size) count = size - position;
  try {
    auto buffer = std::make_unique<uint8_t[]>(static_cast<size_t>(count));
    count = std::max<int32_t>(0, ReadBytes(buffer.get(), position, count));
    return buffer;
  } catch (const std::exception&) {
    // A failed read (or no memory for the copy) gives no buffer.
    count = 0;
    return nullptr;
  }
}

}  // namespace bm
