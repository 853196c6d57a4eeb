// The one data step of every range edit of TByteEditor: the working copy's
// bytes from a position on are replaced in place, all or nothing. Room is
// reserved before any byte moves; when a later step fails, the moved tail
// goes back, the removed bytes are written back and the size is restored
// before the error is raised.
#include <algorithm>
#include <new>
#include <system_error>
#include <vector>

#include "editor/byte_editor.h"

namespace bm {

namespace {

const char kEditFailed[] = "Cannot change the data\r\n";

void ReadExact(TByteEditor& ed, uint8_t* to, int64_t position, int64_t n) {
  if (ed.ReadBytes(to, static_cast<int64_t>(position), static_cast<int64_t>(n)) != n)
    throw FileError("The working copy ended early");
}

}  // namespace

void TByteEditor::RaiseEditError(const std::exception& error) {
  const std::string what = error.what();
  if (what.rfind(kEditFailed, 0) == 0) throw FileError(what);  // already told
  const auto* fileError = dynamic_cast<const FileError*>(&error);
  const int code = fileError ? fileError->Code() : 0;
  std::string cause;
  if (code != 0) {
    const std::string folder = workFileName_.substr(0, workFileName_.rfind('/') + 1);
    cause = "Temporary folder " + folder + ": " + std::generic_category().message(code);
  } else if (dynamic_cast<const std::bad_alloc*>(&error)) {
    cause = "Not enough memory";
  } else {
    cause = what;
  }
  throw FileError(kEditFailed + cause, code);
}

// Copies count bytes from source to destination through one block. When a
// step fails, what was already moved goes back before the error is raised.
void TByteEditor::MoveRun(int64_t source, int64_t destination, int64_t count) {
  if (count <= 0 || source == destination) return;
  std::vector<uint8_t> block(static_cast<size_t>(std::min<int64_t>(count, moveBlockSize_)));
  const auto blockSize = static_cast<int64_t>(block.size());
  bool haveBlock = false;
  int64_t n = 0;
  if (destination < source) {
    // Front to back: every block is read before a later write can reach it.
    int64_t done = 0;
    try {
      while (done < count) {
        n = std::min(blockSize, count - done);
        haveBlock = false;
        ReadExact(*this, block.data(), source + done, n);
        haveBlock = true;
        WriteBytes(block.data(), static_cast<int64_t>(destination + done), static_cast<int64_t>(n));
        done += n;
      }
    } catch (...) {
      // A half-written block may have reached its own source bytes.
      if (haveBlock)
        WriteBytes(block.data(), static_cast<int64_t>(source + done), static_cast<int64_t>(n));
      MoveRun(destination, source, done);
      throw;
    }
  } else {
    // Back to front, for the same reason when the run moves up.
    int64_t left = count;
    try {
      while (left > 0) {
        n = std::min(blockSize, left);
        left -= n;
        haveBlock = false;
        ReadExact(*this, block.data(), source + left, n);
        haveBlock = true;
        WriteBytes(block.data(), static_cast<int64_t>(destination + left), static_cast<int64_t>(n));
      }
    } catch (...) {
      if (haveBlock)
        WriteBytes(block.data(), static_cast<int64_t>(source + left), static_cast<int64_t>(n));
      MoveRun(destination + left + n, source + left + n, count - left - n);
      throw;
    }
  }
}

void TByteEditor::WriteFrom(const ByteSource& from, int64_t position, int64_t count) {
  if (count <= 0) return;
  if (from.memory) {
    WriteBytes(from.memory, static_cast<int64_t>(position), static_cast<int64_t>(count));
    return;
  }
  std::vector<uint8_t> block(static_cast<size_t>(std::min<int64_t>(count, moveBlockSize_)));
  for (int64_t done = 0; done < count;) {
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(block.size()), count - done);
    from.Read(block.data(), done, n);
    WriteBytes(block.data(), static_cast<int64_t>(position + done), static_cast<int64_t>(n));
    done += n;
  }
}

void TByteEditor::SpliceBytes(int64_t position, int64_t removed, const ByteSource& inserted,
                              int64_t count, const ByteSource& removedCopy) {
  const int64_t old = workStream_->Size();
  const int64_t tail = int64_t{position} + removed;
  const int64_t tailLength = old - tail;
  const int64_t target = int64_t{position} + count;
  const int64_t newSize = old - removed + count;
  cachedSize_ = -1;

  // The removed bytes get overwritten by the tail or the new bytes; without a
  // copy of them from the caller (the undo record), one is kept here.
  ByteSource copy = removedCopy;
  std::vector<uint8_t> kept;
  struct SpillGuard {
    UndoSpill& spill;
    uint64_t id = 0;
    ~SpillGuard() {
      if (id != 0) spill.Remove(id);
    }
  } keptOnDisk{undoSpill_};
  if (removed > 0 && copy.Empty() && (count > 0 || tailLength > 0)) {
    if (removed <= undoSpillThreshold_) {
      kept.resize(static_cast<size_t>(removed));
      ReadExact(*this, kept.data(), position, removed);
      copy = ByteSource{kept.data(), nullptr, 0};
    } else {
      keptOnDisk.id =
          undoSpill_.Store(workFileName_, *workStream_, position, removed, moveBlockSize_);
      copy = undoSpill_.Bytes(keptOnDisk.id);
    }
  }

  // Every block that will be written is allocated now; the file takes its
  // final size here when it grows. A replacement of the same length moves no
  // tail and writes only its own bytes, so only they are reserved (a sparse
  // file keeps its holes).
  const int64_t written = tail == target ? int64_t{count} : newSize - position;
  if (written > 0) workStream_->Reserve(position, written);

  bool moved = false;
  try {
    MoveRun(tail, target, tailLength);
    moved = true;
    WriteFrom(inserted, position, count);
    if (newSize < old) workStream_->SetSize(newSize);
  } catch (...) {
    try {
      if (moved) MoveRun(target, tail, tailLength);
      if (removed > 0 && !copy.Empty()) WriteFrom(copy, position, removed);
      workStream_->SetSize(old);
    } catch (...) {
      // The first failure is the one reported.
    }
    cachedSize_ = -1;
    readWindowStart_ = -1;
    throw;
  }
  cachedSize_ = -1;
}

void TByteEditor::AfterRemoval(int64_t sizeAfter, int col, int64_t row) {
  if (CellToPosition(col, row) >= sizeAfter) {
    const GridCell cell = PositionToCell(sizeAfter - 1, InCharField());
    col = cell.col;
    row = cell.row;
  }
  MoveCurrent(col, row, true);
  UpdateGridSize();
  ClearSelection(false);
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::DeleteRangeFrom(int64_t start, int64_t end, int col, int64_t row,
                                  const ByteSource& removed) {
  const int64_t old = DataSize();
  SpliceBytes(start, end - start, {}, 0, removed);
  AfterRemoval(old - (end - start), col, row);
}

void TByteEditor::InsertFrom(const ByteSource& source, int64_t count, int64_t position) {
  EnsureWorkStream();
  const bool wasEmpty = DataSize() == 0;
  SpliceBytes(position, 0, source, count, {});
  if (wasEmpty) changeMarks_.clear();
  UpdateGridSize();
}

}  // namespace bm
