// The change gate, the range edits on the document and the change marks
// of TByteEditor. Each gated edit is all or nothing: when its data step fails
// (data_splice.cpp), the record its gate wrote, Modified and the change
// marks go back to what they were and the error is raised once.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "editor/byte_editor.h"

namespace bm {

namespace {

constexpr int64_t kMaxDataSize = std::numeric_limits<int64_t>::max();

}  // namespace

// ---- the gate ---------------------------------------------------------------

bool TByteEditor::BeginChange(TChangeKind kind, int64_t position, int64_t count,
                              int64_t oldLength) {
  const int64_t size = DataSize();
  bool allowed = size > 0;
  if (!allowed && (kind == ckInsertBuffer || kind == ckAppendBuffer)) allowed = true;

  if (allowed && noSizeChange_) {
    if (kind == ckBytesRemoved || kind == ckInsertBuffer || kind == ckAppendBuffer)
      allowed = false;
    else if ((kind == ckReplaceSelection || kind == ckContentReplaced) && count != oldLength)
      allowed = false;
  }

  // A change of nothing would leave a record that undoes nothing and, for the
  // insertions, a selection that ends before it starts. (A replaced whole
  // may leave no byte: count is the new size.)
  if (allowed && kind != ckByteChanged && kind != ckContentReplaced && count <= 0) allowed = false;

  // Growth past the largest 64-bit size is refused.
  if (allowed) {
    int64_t grown = size;
    if (kind == ckInsertBuffer || kind == ckAppendBuffer) grown += count;
    if (kind == ckReplaceSelection) grown += static_cast<int64_t>(count) - oldLength;
    if (kind == ckContentReplaced) grown = count;
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
    ++contentGeneration_;
  }
  PostStateChanged();
  return allowed;
}

// ---- change marks -----------------------------------------------------------

bool TByteEditor::IsByteChanged(int64_t position) {
  if (IsInsertMode()) return false;
  return changeMarks_.Get(position);
}

void TByteEditor::SetChangeMark(int64_t position, bool value) {
  if (IsInsertMode()) changeMarks_.clear();
  if (position < 0) return;
  if (!value && position >= ChangeMarksLength()) return;
  changeMarks_.Set(position, value);
}

void TByteEditor::CutChangeMarks(int64_t length) {
  changeMarks_.Cut(length);
}

int64_t TByteEditor::SelLength() const {
  if (selAnchor_ == -1) return 0;
  return std::max(selFrom_, selTo_) - std::min(selFrom_, selTo_) + 1;
}

// ---- primitives (no gate) ---------------------------------------------------

void TByteEditor::MoveBytes(int64_t source, int64_t destination, int64_t count) {
  // The run's pieces are taken before the bytes at the destination go, so
  // overlapping runs copy exactly.
  const int64_t size = DataSize();
  if (count <= 0 || source == destination || source < 0 || source >= size) return;
  count = std::min(count, size - source);
  const piece::PieceTree run = doc_->Table().Slice(source, count);
  SpliceBytes(destination, std::clamp<int64_t>(size - destination, 0, count), PiecesSource(run), count);
}

void TByteEditor::InsertBytes(const uint8_t* buffer, int64_t count, int64_t position) {
  InsertFrom(ByteSource{buffer, nullptr, 0}, count, position);
}

void TByteEditor::AppendBytes(const uint8_t* buffer, int64_t count) {
  // An insertion at the end moves nothing: the same steps.
  InsertBytes(buffer, count, DataSize());
}

void TByteEditor::DeleteRange(int64_t start, int64_t end, int col, int64_t row) {
  DeleteRangeFrom(start, end, col, row);
}

// ---- gated edits --------------------------------------------------------------

void TByteEditor::DeleteSelection() {
  const ChangeSavepoint savepoint = SaveChange();
  try {
    int64_t start = 0, end = 0;
    int col = 2;
    int64_t row = 0;
    GetSelectionRange(start, end, col, row);
    if (end <= start || start >= DataSize()) return;  // the cell after the data
    if (!BeginChange(ckBytesRemoved, start, end - start, 0)) return;
    // The record just written holds the removed bytes.
    DeleteRangeFrom(start, end, col, row);
  } catch (const std::exception& error) {
    RollbackChange(savepoint);
    RaiseEditError(error);
  }
  CommitChange();
}

void TByteEditor::DeleteAtCursor(bool backspace) {
  const int64_t p = CursorPosition();
  const int64_t gone = backspace ? p - 1 : p;
  if (backspace ? p <= 0 : p == DataSize()) return;
  const ChangeSavepoint savepoint = SaveChange();
  try {
    if (!BeginChange(ckBytesRemoved, gone, 1, 0)) return;
    DeleteRangeFrom(gone, gone + 1, Col(), Row());
  } catch (const std::exception& error) {
    RollbackChange(savepoint);
    RaiseEditError(error);
  }
  CommitChange();
  if (!backspace) return;
  if (EndCellAllowed() && p - 1 == DataSize()) {
    // Backspace after the last byte keeps the cursor after the new last one.
    const GridCell cell = PositionToCell(p - 1, InCharField());
    MoveCurrent(cell.col, cell.row, true);
  } else {
    GotoPosition(p - 1, 0, false);
  }
}

void TByteEditor::InsertBuffer(const uint8_t* buffer, int64_t count, int64_t position) {
  InsertBufferFrom(ByteSource{buffer, nullptr, 0}, count, position);
}

void TByteEditor::InsertBufferFrom(const ByteSource& source, int64_t count, int64_t position) {
  const ChangeSavepoint savepoint = SaveChange();
  try {
    if (!BeginChange(ckInsertBuffer, position, count, 0)) return;
    InsertFrom(source, count, position);
  } catch (const std::exception& error) {
    RollbackChange(savepoint);
    RaiseEditError(error);
  }
  CommitChange();
  CutChangeMarks(position);
  if (position == CellToPosition(Col(), Row())) {
    selAnchor_ = position;
    selFrom_ = position;
    selTo_ = position + count - 1;
    PostStateChanged();
  }
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::AppendBuffer(const uint8_t* buffer, int64_t count) {
  const ChangeSavepoint savepoint = SaveChange();
  int64_t old = 0;
  bool charField = false;
  try {
    if (!BeginChange(ckAppendBuffer, DataSize(), count, 0)) return;
    CutChangeMarks(DataSize());
    old = DataSize();
    CellToPosition(Col(), Row());
    charField = InCharField();
    AppendBytes(buffer, count);
  } catch (const std::exception& error) {
    RollbackChange(savepoint);
    RaiseEditError(error);
  }
  CommitChange();
  const GridCell cell = PositionToCell(old, charField);
  MoveCurrent(cell.col, cell.row, true);
  selAnchor_ = old;
  selFrom_ = old;
  selTo_ = old + count - 1;
  PostStateChanged();
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::PasteBuffer(const uint8_t* buffer, int64_t count) {
  PasteFrom(ByteSource{buffer, nullptr, 0}, count);
}

void TByteEditor::PasteFrom(const ByteSource& source, int64_t count) {
  if (selAnchor_ == -1) {
    InsertBufferFrom(source, count, SelStart());
    return;
  }
  if (count <= 0) {
    // Nothing to put in place of the selection: refused like any other
    // change of nothing.
    PostStateChanged();
    return;
  }
  if (noSizeChange_) {
    const int64_t length = SelLength();
    if (count > length) count = length;
    if (count < length) {
      const int64_t first = std::min(SelStart(), SelEnd());
      SetSelStart(first);
      SetSelEnd(first + count - 1);
    }
  }

  const ChangeSavepoint savepoint = SaveChange();
  const int rememberedCol = Col();
  const int64_t rememberedRow = Row();
  int64_t start = 0, end = 0;
  int col = 2;
  int64_t row = 0;
  int64_t sizeAfterRemoval = 0;
  try {
    if (!BeginChange(ckReplaceSelection, selFrom_, count, SelLength())) return;
    GetSelectionRange(start, end, col, row);
    sizeAfterRemoval = DataSize() - (end - start);
    // One data step for the removal and the insertion, so that a failure
    // cannot leave the selection removed and the new bytes missing.
    SpliceBytes(start, end - start, source, count);
  } catch (const std::exception& error) {
    RollbackChange(savepoint);
    RaiseEditError(error);
  }
  CommitChange();
  AfterRemoval(sizeAfterRemoval, col, row);
  UpdateGridSize();
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

std::unique_ptr<uint8_t[]> TByteEditor::BufferFromFile(int64_t position, int64_t& count) {
  const int64_t size = DataSize();
  if (position < 0 || position >= size || count < 0)
    throw EEditorError("Invalid BufferFromFile argument");
  if (static_cast<int64_t>(position) + count > size) count = size - position;
  try {
    auto buffer = std::make_unique<uint8_t[]>(static_cast<size_t>(count));
    count = std::max<int64_t>(0, ReadBytes(buffer.get(), position, count));
    return buffer;
  } catch (const std::exception&) {
    // A failed read (or no memory for the copy) gives no buffer.
    count = 0;
    return nullptr;
  }
}

}  // namespace bm
