// Undo records and Undo of TByteEditor.
//
// Records lie back to back in undoStream_, oldest first. Each is a 33-byte
// fixed part, its data and a 32-bit trailer holding the record's whole
// length, so the stream is walked backwards from its end. Integers are
// little-endian.
//
// A record whose removed or replaced bytes run past the spill threshold keeps
// them in a file of its own beside the working copy (UndoSpill); its data in
// the stream is then the 8-byte id of that file, so its length (45) is less
// than count + 37 (or oldLength + 37), which tells the two forms apart.
#include <algorithm>
#include <cstring>
#include <system_error>

#include "editor/byte_editor.h"

namespace bm {

namespace {

// Offsets of the fields in the fixed part.
constexpr size_t kOffKind = 0;
constexpr size_t kOffOldMark = 1;
constexpr size_t kOffModifiedBefore = 2;
constexpr size_t kOffCursorPosition = 3;
constexpr size_t kOffCursorNibble = 7;
constexpr size_t kOffCursorField = 8;
constexpr size_t kOffSelFrom = 9;
constexpr size_t kOffSelTo = 13;
constexpr size_t kOffSelAnchor = 17;
constexpr size_t kOffPosition = 21;
constexpr size_t kOffCount = 25;
constexpr size_t kOffOldLength = 29;
static_assert(kOffOldLength + 4 == kUndoFixedPart);

constexpr size_t kTrailer = 4;
// The shortest record: fixed part, one data byte, trailer.
constexpr uint32_t kMinRecord = kUndoFixedPart + 1 + kTrailer;
constexpr size_t kSpillId = 8;
constexpr uint32_t kSpilledRecord = kUndoFixedPart + kSpillId + kTrailer;

void PutU64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t GetU64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

void PutU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PutI32(uint8_t* p, int32_t v) { PutU32(p, static_cast<uint32_t>(v)); }
int32_t GetI32(const uint8_t* p) { return static_cast<int32_t>(GetU32(p)); }

const char* KindName(uint8_t kind) {
  switch (kind) {
    case ckByteChanged: return "Byte changed";
    case ckBytesRemoved: return "Byte(s) removed";
    case ckInsertBuffer: return "Insert buffer";
    case ckReplaceSelection: return "Replace selection";
    case ckAppendBuffer: return "Append buffer";
    case ckContentReplaced: return "Whole content replaced";
    default: return "No Undo";
  }
}

// Length of the newest record as its trailer gives it, or 0 when the stream
// does not end in a plausible record.
uint32_t NewestLength(const std::vector<uint8_t>& stream) {
  if (stream.size() < kMinRecord) return 0;
  const uint32_t length = GetU32(stream.data() + stream.size() - kTrailer);
  if (length < kMinRecord || length > stream.size()) return 0;
  return length;
}

// The id of the file holding a record's bytes, or 0 for a record whose bytes
// are in the stream.
uint64_t SpillIdOf(const uint8_t* record, size_t length) {
  if (length != kSpilledRecord) return 0;
  // The old content of a replaced whole is always a file of its own.
  if (record[kOffKind] == ckContentReplaced) return GetU64(record + kUndoFixedPart);
  int32_t logical = 0;
  if (record[kOffKind] == ckBytesRemoved) logical = GetI32(record + kOffCount);
  if (record[kOffKind] == ckReplaceSelection) logical = GetI32(record + kOffOldLength);
  if (logical <= static_cast<int32_t>(kSpillId)) return 0;
  return GetU64(record + kUndoFixedPart);
}

}  // namespace

void TByteEditor::SetEditLimits(int32_t spillThreshold, int32_t blockSize) {
  // A spilled record must stay shorter than an in-memory one of its count.
  undoSpillThreshold_ = std::max<int32_t>(spillThreshold, 2 * kSpillId);
  moveBlockSize_ = std::max<int32_t>(blockSize, 1);
}

ByteSource TByteEditor::RecordData(size_t start) {
  const uint8_t* record = undoStream_.data() + start;
  const uint64_t id = SpillIdOf(record, undoStream_.size() - start);
  if (id != 0) {
    ByteSource source = undoSpill_.Bytes(id);
    if (source.Empty()) throw FileError("The undo data on disk is gone");
    return source;
  }
  return ByteSource{record + kUndoFixedPart, nullptr, 0};
}

// Removes the disk file of the record [start, end of stream), if it has one.
void TByteEditor::ForgetSpill(size_t start) {
  if (start >= undoStream_.size()) return;
  const uint64_t id = SpillIdOf(undoStream_.data() + start, undoStream_.size() - start);
  if (id != 0) undoSpill_.Remove(id);
}

void TByteEditor::WriteUndoRecord(TChangeKind kind, int32_t position, int32_t count,
                                  int32_t oldLength) {
  size_t dataLength = 1;
  if (kind == ckBytesRemoved) dataLength = static_cast<size_t>(std::max(count, 0));
  if (kind == ckReplaceSelection) dataLength = static_cast<size_t>(std::max(oldLength, 0));
  if (kind == ckContentReplaced) dataLength = kSpillId;
  const bool spill = dataLength > static_cast<size_t>(undoSpillThreshold_) && workStream_ &&
                     (kind == ckBytesRemoved || kind == ckReplaceSelection);
  const size_t bytesLength = dataLength;
  if (spill) dataLength = kSpillId;
  const uint32_t total = static_cast<uint32_t>(kUndoFixedPart + dataLength + kTrailer);

  // Room first, so that running out of memory for a large removal leaves the
  // history as it was. Small records grow the stream by doubling; a large
  // one never reserves much more than it needs.
  const size_t needed = undoStream_.size() + total;
  if (needed > undoStream_.capacity())
    undoStream_.reserve(std::max(needed, std::min(2 * undoStream_.capacity(), needed + (1u << 20))));

  const std::string previousDescription = undoDescription_;
  undoDescription_ = KindName(kind);
  ++undoCount_;
  // An edit drops the oldest record only once it has gone through, so that
  // a failed one leaves the history as it was.
  changePending_ = true;

  uint8_t fixed[kUndoFixedPart] = {};
  fixed[kOffKind] = kind;
  fixed[kOffModifiedBefore] = modified_ ? 1 : 0;
  const int32_t cursor = CellToPosition(Col(), Row());
  if (!InCharField())
    fixed[kOffCursorNibble] = static_cast<uint8_t>(Col() - PositionToCell(cursor, false).col);
  fixed[kOffCursorField] = InCharField() ? 1 : 0;
  PutI32(fixed + kOffCursorPosition, cursor);
  PutI32(fixed + kOffSelFrom, selFrom_);
  PutI32(fixed + kOffSelTo, selTo_);
  PutI32(fixed + kOffSelAnchor, selAnchor_);
  PutI32(fixed + kOffPosition, position);
  PutI32(fixed + kOffCount, count);
  PutI32(fixed + kOffOldLength, oldLength);

  const size_t start = undoStream_.size();
  undoStream_.resize(start + total, 0);  // within the reserved room
  uint8_t* record = undoStream_.data() + start;
  try {
    if (kind == ckByteChanged) {
      record[kUndoFixedPart] = ReadByte(position);
      fixed[kOffOldMark] = IsByteChanged(position) ? 1 : 0;
    } else if (kind == ckContentReplaced) {
      PutU64(record + kUndoFixedPart, contentSpillId_);
    } else if (spill) {
      const uint64_t id = undoSpill_.Store(workFileName_, *workStream_, position,
                                           static_cast<int64_t>(bytesLength), moveBlockSize_);
      PutU64(record + kUndoFixedPart, id);
    } else if (dataLength > 0 && (kind == ckBytesRemoved || kind == ckReplaceSelection)) {
      ReadBytes(record + kUndoFixedPart, position, static_cast<int32_t>(dataLength));
    }
  } catch (...) {
    // The old bytes could not be read: no record, and the change does not
    // go ahead (the error reaches the caller of BeginChange).
    undoStream_.resize(start);
    --undoCount_;
    changePending_ = false;
    undoDescription_ = undoCount_ > 0 ? previousDescription : "No Undo";
    throw;
  }
  std::memcpy(record, fixed, kUndoFixedPart);
  PutU32(record + total - kTrailer, total);

  if (kind != ckByteChanged) readWindowStart_ = -1;
}

void TByteEditor::DropOldestUndo() {
  // Walk the trailers back to the first record; e ends up just after it.
  size_t pos = undoStream_.size();
  size_t e = 0;
  while (pos > 0) {
    if (pos < kTrailer) break;
    const uint32_t length = GetU32(undoStream_.data() + pos - kTrailer);
    e = pos;
    if (length < kMinRecord || length > pos) break;
    pos -= length;
  }
  if (pos != 0) {
    // The trailers do not chain back to the start: nothing sound can be kept.
    undoStream_.clear();
    undoSpill_.Clear();
    undoCount_ = 0;
    return;
  }
  if (const uint64_t id = SpillIdOf(undoStream_.data(), e)) undoSpill_.Remove(id);
  undoStream_.erase(undoStream_.begin(), undoStream_.begin() + static_cast<std::ptrdiff_t>(e));
  --undoCount_;
}

void TByteEditor::DropNewestUndo(uint32_t length) {
  cachedSize_ = -1;
  ForgetSpill(undoStream_.size() - std::min<size_t>(length, undoStream_.size()));
  undoStream_.resize(undoStream_.size() - std::min<size_t>(length, undoStream_.size()));
  --undoCount_;
  if (undoStream_.size() < 5) {
    ClearUndo();
    return;
  }
  const uint32_t newest = NewestLength(undoStream_);
  if (newest == 0) {
    ClearUndo();
    return;
  }
  undoDescription_ = KindName(undoStream_[undoStream_.size() - newest + kOffKind]);
  PostStateChanged();
}

void TByteEditor::ClearUndo() {
  canUndo_ = false;
  undoDescription_ = "No Undo";
  undoCount_ = 0;
  changePending_ = false;
  std::vector<uint8_t>().swap(undoStream_);
  undoSpill_.Clear();
  if (OnStateChanged) OnStateChanged(*this);
}

void TByteEditor::RestoreCursorState(const uint8_t* record) {
  const int32_t cursor = GetI32(record + kOffCursorPosition);
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
  selFrom_ = GetI32(record + kOffSelFrom);
  selTo_ = GetI32(record + kOffSelTo);
  selAnchor_ = GetI32(record + kOffSelAnchor);
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
  cachedSize_ = -1;
  readWindowStart_ = -1;
  PostStateChanged();
}

void TByteEditor::CommitChange() {
  if (!changePending_) return;
  changePending_ = false;
  while (undoCount_ > kMaxUndoRecords) DropOldestUndo();
}

void TByteEditor::Undo() {
  if (!canUndo_) {
    ClearUndo();
    return;
  }
  if (undoStream_.size() <= 4) {
    ClearUndo();
    return;
  }
  const uint32_t length = NewestLength(undoStream_);
  if (length == 0) {
    ClearUndo();
    return;
  }

  // Keep a copy of the fixed part: the cursor moves below call back into
  // the host, and the record must not be read through a stale pointer.
  const size_t start = undoStream_.size() - length;
  uint8_t fixed[kUndoFixedPart];
  std::memcpy(fixed, undoStream_.data() + start, kUndoFixedPart);
  const uint8_t kind = fixed[kOffKind];
  const int32_t p = GetI32(fixed + kOffPosition);
  const int32_t n = GetI32(fixed + kOffCount);
  const int32_t m = GetI32(fixed + kOffOldLength);
  const bool spilled = SpillIdOf(undoStream_.data() + start, length) != 0;

  // Each kind changes the data in one step that either succeeds or leaves
  // the data as it was; the history changes only after it.
  uint32_t dropped = 0;
  try {
    switch (kind) {
      case ckByteChanged: {
        const uint8_t old = undoStream_[start + kUndoFixedPart];
        WriteByte(p, old);
        SetChangeMark(p, fixed[kOffOldMark] != 0);
        RestoreCursorState(fixed);
        InvalidatePositions(p, p);
        UpdateReadWindow(p, old);
        dropped = kMinRecord;
        break;
      }
      case ckBytesRemoved: {
        readWindowStart_ = -1;
        InsertFrom(RecordData(start), n, p);
        RestoreCursorState(fixed);
        CutChangeMarks(p);
        if (Host()) Host()->InvalidateAll();
        dropped = spilled ? length : static_cast<uint32_t>(n) + kUndoFixedPart + kTrailer;
        break;
      }
      case ckInsertBuffer: {
        readWindowStart_ = -1;
        DeleteRange(p, p + n, Col(), Row());
        RestoreCursorState(fixed);
        CutChangeMarks(p);
        if (Host()) Host()->InvalidateAll();
        dropped = kMinRecord;
        break;
      }
      case ckReplaceSelection: {
        readWindowStart_ = -1;
        const int32_t old = DataSize();
        SpliceBytes(p, n, RecordData(start), m, {});
        AfterRemoval(old - n, Col(), Row());
        UpdateGridSize();
        RestoreCursorState(fixed);
        // The mark of the byte before the replaced range goes as well.
        if (ChangeMarksLength() >= p) CutChangeMarks(std::max(0, p - 1));
        if (Host()) Host()->InvalidateAll();
        dropped = spilled ? length : static_cast<uint32_t>(m) + kUndoFixedPart + kTrailer;
        break;
      }
      case ckAppendBuffer: {
        readWindowStart_ = -1;
        const GridCell cell{Col(), Row()};
        const int32_t anchor = selAnchor_, from = selFrom_, to = selTo_;
        MoveCurrent(2, Row(), true);
        try {
          workStream_->SetSize(p);
        } catch (...) {
          // The data is as it was: so is the cursor.
          MoveCurrent(cell.col, cell.row, true);
          selAnchor_ = anchor;
          selFrom_ = from;
          selTo_ = to;
          throw;
        }
        cachedSize_ = -1;
        UpdateGridSize();
        CutChangeMarks(p);
        RestoreCursorState(fixed);
        if (Host()) Host()->InvalidateAll();
        dropped = kMinRecord;
        break;
      }
      case ckContentReplaced: {
        UndoContentReplaced(fixed, p, SpillIdOf(undoStream_.data() + start, length));
        dropped = length;
        break;
      }
      default:
        // Not a record this editor writes: leave it in place.
        return;
    }
  } catch (const std::exception& error) {
    cachedSize_ = -1;
    readWindowStart_ = -1;
    RaiseEditError(error);
  }
  DropNewestUndo(dropped);
  // The last record's drop clears the history without a notification, so the
  // recovery record learns of the restored modified state here.
  SyncRecoveryRecord();
}

}  // namespace bm
