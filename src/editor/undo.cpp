// Undo records and Undo of TByteEditor, and the step shared with Redo: the
// newest record of one history is applied and its inverse goes onto the other.
//
// Records lie back to back in undoStream_, oldest first (undo_record.h). A
// record whose removed or replaced bytes run past the spill threshold keeps
// them as pieces of the document (UndoSpill), not as bytes; its data in the
// stream is then the 8-byte id of those pieces, so its length is less than
// that of a record holding count (or oldLength) bytes, which tells the two
// forms apart.
#include <algorithm>
#include <cstring>
#include <system_error>

#include "editor/byte_editor.h"
#include "editor/undo_record.h"

namespace bm {

using namespace undo_record;

void TByteEditor::SetEditLimits(int64_t spillThreshold, int64_t blockSize) {
  // A spilled record must stay shorter than an in-memory one of its count.
  undoSpillThreshold_ = std::max<int64_t>(spillThreshold, 2 * kSpillId);
  moveBlockSize_ = std::max<int64_t>(blockSize, 1);
}

ByteSource TByteEditor::RecordData(const std::vector<uint8_t>& stream, UndoSpill& spill,
                                   size_t start) {
  const uint8_t* record = stream.data() + start;
  const uint64_t id = SpillIdOf(record, stream.size() - start);
  if (id != 0) {
    const piece::PieceTable::Version* kept = spill.Pieces(id);
    if (!kept) throw FileError("The undo data is gone");
    return PiecesSource(kept->pieces);
  }
  return ByteSource{record + kUndoFixedPart, nullptr, 0};
}

ByteSource TByteEditor::RecordData(size_t start) { return RecordData(undoStream_, undoSpill_, start); }

// Removes the disk file of the record [start, end of stream), if it has one.
void TByteEditor::ForgetSpill(const std::vector<uint8_t>& stream, UndoSpill& spill, size_t start) {
  if (start >= stream.size()) return;
  const uint64_t id = SpillIdOf(stream.data() + start, stream.size() - start);
  if (id != 0) spill.Remove(id);
}

void TByteEditor::ForgetSpill(size_t start) { ForgetSpill(undoStream_, undoSpill_, start); }

void TByteEditor::WriteUndoRecord(TChangeKind kind, int64_t position, int64_t count,
                                  int64_t oldLength) {
  const std::string previousDescription = undoDescription_;
  undoDescription_ = KindName(kind);
  ++undoCount_;
  // An edit drops the oldest record only once it has gone through, so that
  // a failed one leaves the history as it was.
  changePending_ = true;
  try {
    AppendRecord(undoStream_, undoSpill_, kind, position, count, oldLength);
  } catch (...) {
    // The old bytes could not be read: no record, and the change does not
    // go ahead (the error reaches the caller of BeginChange).
    --undoCount_;
    changePending_ = false;
    undoDescription_ = undoCount_ > 0 ? previousDescription : "No Undo";
    throw;
  }
  if (kind != ckByteChanged) readWindowStart_ = -1;
}

void TByteEditor::AppendRecord(std::vector<uint8_t>& stream, UndoSpill& spill, TChangeKind kind,
                               int64_t position, int64_t count, int64_t oldLength) {
  size_t dataLength = 1;
  if (kind == ckBytesRemoved) dataLength = static_cast<size_t>(std::max<int64_t>(count, 0));
  if (kind == ckReplaceSelection) dataLength = static_cast<size_t>(std::max<int64_t>(oldLength, 0));
  if (kind == ckContentReplaced) dataLength = kSpillId;
  const bool toDisk = dataLength > static_cast<size_t>(undoSpillThreshold_) && doc_ &&
                      (kind == ckBytesRemoved || kind == ckReplaceSelection);
  const size_t bytesLength = dataLength;
  if (toDisk) dataLength = kSpillId;
  const uint32_t total = static_cast<uint32_t>(kUndoFixedPart + dataLength + kTrailer);

  // Room first, so that running out of memory for a large removal leaves the
  // history as it was. Small records grow the stream by doubling; a large
  // one never reserves much more than it needs.
  const size_t needed = stream.size() + total;
  if (needed > stream.capacity())
    stream.reserve(std::max(needed, std::min(2 * stream.capacity(), needed + (1u << 20))));

  uint8_t fixed[kUndoFixedPart] = {};
  fixed[kOffKind] = kind;
  fixed[kOffModifiedBefore] = modified_ ? 1 : 0;
  const int64_t cursor = CellToPosition(Col(), Row());
  if (!InCharField())
    fixed[kOffCursorNibble] = static_cast<uint8_t>(Col() - PositionToCell(cursor, false).col);
  fixed[kOffCursorField] = InCharField() ? 1 : 0;
  PutI64(fixed + kOffCursorPosition, cursor);
  PutI64(fixed + kOffSelFrom, selFrom_);
  PutI64(fixed + kOffSelTo, selTo_);
  PutI64(fixed + kOffSelAnchor, selAnchor_);
  PutI64(fixed + kOffPosition, position);
  PutI64(fixed + kOffCount, count);
  PutI64(fixed + kOffOldLength, oldLength);

  const size_t start = stream.size();
  stream.resize(start + total, 0);  // within the reserved room
  uint8_t* record = stream.data() + start;
  try {
    if (kind == ckByteChanged) {
      record[kUndoFixedPart] = ReadByte(position);
      fixed[kOffOldMark] = IsByteChanged(position) ? 1 : 0;
    } else if (kind == ckContentReplaced) {
      PutU64(record + kUndoFixedPart, contentSpillId_);
    } else if (toDisk) {
      const uint64_t id =
          spill.Store({doc_->Table().Slice(position, static_cast<int64_t>(bytesLength)), 0});
      PutU64(record + kUndoFixedPart, id);
    } else if (dataLength > 0 && (kind == ckBytesRemoved || kind == ckReplaceSelection)) {
      ReadBytes(record + kUndoFixedPart, position, static_cast<int64_t>(dataLength));
    }
  } catch (...) {
    stream.resize(start);
    throw;
  }
  std::memcpy(record, fixed, kUndoFixedPart);
  PutU32(record + total - kTrailer, total);
}

bool TByteEditor::DropOldestRecord(std::vector<uint8_t>& stream, UndoSpill& spill) {
  // Walk the trailers back to the first record; e ends up just after it.
  size_t pos = stream.size();
  size_t e = 0;
  while (pos > 0) {
    if (pos < kTrailer) break;
    const uint32_t length = GetU32(stream.data() + pos - kTrailer);
    e = pos;
    if (length < kMinRecord || length > pos) break;
    pos -= length;
  }
  if (pos != 0) {
    // The trailers do not chain back to the start: nothing sound can be kept.
    stream.clear();
    spill.Clear();
    return false;
  }
  if (const uint64_t id = SpillIdOf(stream.data(), e)) spill.Remove(id);
  stream.erase(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(e));
  return true;
}

void TByteEditor::DropOldestUndo() {
  if (DropOldestRecord(undoStream_, undoSpill_)) --undoCount_;
  else undoCount_ = 0;
}

void TByteEditor::DropNewestUndo(uint32_t length) {
  ForgetSpill(undoStream_.size() - std::min<size_t>(length, undoStream_.size()));
  undoStream_.resize(undoStream_.size() - std::min<size_t>(length, undoStream_.size()));
  --undoCount_;
  if (undoStream_.size() < 5) {
    EndUndoHistory();
    return;
  }
  const uint32_t newest = NewestLength(undoStream_);
  if (newest == 0) {
    EndUndoHistory();
    return;
  }
  undoDescription_ = KindName(undoStream_[undoStream_.size() - newest + kOffKind]);
  PostStateChanged();
}

void TByteEditor::ClearUndo() {
  ClearRedo();
  EndUndoHistory();
}

// The undo history is empty (the redo history stays): the host hears of it at once.
void TByteEditor::EndUndoHistory() {
  canUndo_ = false;
  undoDescription_ = "No Undo";
  undoCount_ = 0;
  changePending_ = false;
  std::vector<uint8_t>().swap(undoStream_);
  undoSpill_.Clear();
  if (OnStateChanged) OnStateChanged(*this);
}

void TByteEditor::RestoreCursorState(const uint8_t* record) {
  const int64_t cursor = GetI64(record + kOffCursorPosition);
  const bool charField = record[kOffCursorField] != 0;
  GridCell cell = PositionToCell(cursor, charField);
  if (!charField && DataSize() > 0) cell.col += record[kOffCursorNibble];
  // The size is back to what it was when the record was written, so the
  // cell exists; keep inside the grid all the same.
  if (cell.row >= RowCount() || cell.col >= ColCount()) {
    cell = PositionToCell(DataSize() - 1, charField);
    if (cell.row >= RowCount()) cell.row = RowCount() - 1;
  }
  MoveCurrent(cell.col, cell.row, true);
  selFrom_ = GetI64(record + kOffSelFrom);
  selTo_ = GetI64(record + kOffSelTo);
  selAnchor_ = GetI64(record + kOffSelAnchor);
  modified_ = record[kOffModifiedBefore] != 0;
}

TByteEditor::ChangeSavepoint TByteEditor::SaveChange(bool withMarks) const {
  return {undoStream_.size(), undoCount_, canUndo_, modified_, undoDescription_,
          withMarks ? changeMarks_ : ChangeMarks{}, withMarks};
}

void TByteEditor::RollbackChange(const ChangeSavepoint& savepoint) {
  if (undoStream_.size() > savepoint.undoSize) {
    ForgetSpill(savepoint.undoSize);
    undoStream_.resize(savepoint.undoSize);
  }
  undoCount_ = savepoint.undoCount;
  canUndo_ = savepoint.canUndo;
  modified_ = savepoint.modified;
  undoDescription_ = savepoint.undoDescription;
  if (savepoint.hasMarks) changeMarks_ = savepoint.marks;
  changePending_ = false;
  readWindowStart_ = -1;
  PostStateChanged();
}

void TByteEditor::CommitChange() {
  if (!changePending_) return;
  changePending_ = false;
  // A new change: what was undone before it can no longer be redone.
  ClearRedo();
  while (undoCount_ > kMaxUndoRecords) DropOldestUndo();
}

// Changes the data back as the record says and restores the cursor state it
// holds. Each kind changes the data in one step that either succeeds or
// leaves the data as it was. The record's own bytes are in data.
void TByteEditor::ApplyRecord(const uint8_t* fixed, const ByteSource& data) {
  const uint8_t kind = fixed[kOffKind];
  const int64_t p = GetI64(fixed + kOffPosition);
  const int64_t n = GetI64(fixed + kOffCount);
  const int64_t m = GetI64(fixed + kOffOldLength);
  switch (kind) {
    case ckByteChanged: {
      uint8_t old = 0;
      data.Read(&old, 0, 1);
      WriteByte(p, old);
      SetChangeMark(p, fixed[kOffOldMark] != 0);
      RestoreCursorState(fixed);
      InvalidatePositions(p, p);
      UpdateReadWindow(p, old);
      break;
    }
    case ckBytesRemoved: {
      readWindowStart_ = -1;
      InsertFrom(data, n, p);
      RestoreCursorState(fixed);
      CutChangeMarks(p);
      if (Host()) Host()->InvalidateAll();
      break;
    }
    case ckInsertBuffer: {
      readWindowStart_ = -1;
      DeleteRange(p, p + n, Col(), Row());
      RestoreCursorState(fixed);
      CutChangeMarks(p);
      if (Host()) Host()->InvalidateAll();
      break;
    }
    case ckReplaceSelection: {
      readWindowStart_ = -1;
      const int64_t old = DataSize();
      SpliceBytes(p, n, data, m);
      AfterRemoval(old - n, Col(), Row());
      UpdateGridSize();
      RestoreCursorState(fixed);
      // The mark of the byte before the replaced range goes as well.
      if (ChangeMarksLength() >= p) CutChangeMarks(std::max<int64_t>(0, p - 1));
      if (Host()) Host()->InvalidateAll();
      break;
    }
    case ckAppendBuffer: {
      readWindowStart_ = -1;
      const GridCell cell{Col(), Row()};
      const int64_t anchor = selAnchor_, from = selFrom_, to = selTo_;
      MoveCurrent(2, Row(), true);
      try {
        SpliceBytes(p, DataSize() - p, {}, 0);
      } catch (...) {
        // The data is as it was: so is the cursor.
        MoveCurrent(cell.col, cell.row, true);
        selAnchor_ = anchor;
        selFrom_ = from;
        selTo_ = to;
        throw;
      }
      UpdateGridSize();
      CutChangeMarks(p);
      RestoreCursorState(fixed);
      if (Host()) Host()->InvalidateAll();
      break;
    }
    default:
      break;
  }
}

uint32_t TByteEditor::StepHistory(std::vector<uint8_t>& from, UndoSpill& fromSpill,
                                  std::vector<uint8_t>& to, UndoSpill& toSpill) {
  const uint32_t length = NewestLength(from);
  if (length == 0) return 0;
  ++contentGeneration_;
  // Keep a copy of the fixed part: the cursor moves below call back into
  // the host, and the record must not be read through a stale pointer.
  const size_t start = from.size() - length;
  uint8_t fixed[kUndoFixedPart];
  std::memcpy(fixed, from.data() + start, kUndoFixedPart);
  TChangeKind kind = ckByteChanged;
  int64_t count = 0, oldLength = 0;
  // Not a record this editor writes: leave it in place.
  if (!InverseOf(fixed, kind, count, oldLength)) return 0;

  const size_t toSize = to.size();
  if (fixed[kOffKind] == ckContentReplaced) {
    StepContentReplaced(fixed, from, fromSpill, start, to, toSpill, count, oldLength);
    return length;
  }
  try {
    // The inverse reads the bytes the step is about to replace, so it is
    // written first; without room for it the step does not happen.
    AppendRecord(to, toSpill, kind, GetI64(fixed + kOffPosition), count, oldLength);
    // While the document changes, the recovery record calls it modified.
    NoteRecoveryState(fileName_, true, readOnly_);
    ApplyRecord(fixed, RecordData(from, fromSpill, start));
  } catch (const std::exception& error) {
    if (to.size() > toSize) {
      ForgetSpill(to, toSpill, toSize);
      to.resize(toSize);
    }
    readWindowStart_ = -1;
    SyncRecoveryRecord();
    RaiseEditError(error);
  }
  return length;
}

// A replaced whole is taken back, or brought back, by swapping the document
// with the version that holds the other content; that version, now holding
// what the document held, goes over to the other history as the data of
// the inverse record.
void TByteEditor::StepContentReplaced(const uint8_t* fixed, std::vector<uint8_t>& from,
                                      UndoSpill& fromSpill, size_t start,
                                      std::vector<uint8_t>& to, UndoSpill& toSpill, int64_t count,
                                      int64_t oldLength) {
  const uint64_t id = SpillIdOf(from.data() + start, from.size() - start);
  const size_t toSize = to.size();
  try {
    // The inverse first, for the cursor state of now; its file id follows.
    AppendRecord(to, toSpill, ckContentReplaced, GetI64(fixed + kOffPosition), count, oldLength);
    NoteRecoveryState(fileName_, true, readOnly_);
    UndoContentReplaced(fixed, GetI64(fixed + kOffPosition), fromSpill, id);
  } catch (const std::exception& error) {
    to.resize(toSize);
    readWindowStart_ = -1;
    SyncRecoveryRecord();
    RaiseEditError(error);
  }
  PutU64(to.data() + toSize + kUndoFixedPart, fromSpill.MoveTo(id, toSpill));
}

void TByteEditor::Undo() {
  // A record whose edit has not said it finished counts as a finished change.
  CommitChange();
  if (!canUndo_ || undoStream_.size() <= 4 || NewestLength(undoStream_) == 0) {
    EndUndoHistory();
    return;
  }
  // Redo brings back the marks as they are now.
  ChangeMarks marks = changeMarks_;
  const uint32_t length = StepHistory(undoStream_, undoSpill_, redoStream_, redoSpill_);
  if (length == 0) return;
  redoMarks_.push_back(std::move(marks));
  ++redoCount_;
  DropNewestUndo(length);
  // The last record's drop clears the history without a notification, so the
  // recovery record learns of the restored modified state here.
  SyncRecoveryRecord();
}

}  // namespace bm
