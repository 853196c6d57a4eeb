// The one data step of every range edit of TByteEditor: a run of the
// document is replaced in its pieces, all or nothing. New bytes go to the
// store first; when any part fails, the pieces and the journal go back to
// where the step began before the error is raised.
#include <algorithm>
#include <new>
#include <system_error>
#include <vector>

#include "editor/byte_editor.h"

namespace bm {

namespace {

const char kEditFailed[] = "Cannot change the data\r\n";

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

ByteSource TByteEditor::PiecesSource(const piece::PieceTree& pieces) {
  ByteSource source;
  source.pieces = &pieces;
  source.generate = [this, &pieces](uint8_t* to, int64_t at, int64_t n) {
    if (!doc_ || doc_->Table().Reader().Read(pieces, at, to, n).count != n)
      throw FileError("The kept data ended early");
  };
  return source;
}

void TByteEditor::SpliceBytes(int64_t position, int64_t removed, const ByteSource& inserted,
                              int64_t count) {
  EnsureWorkStream();
  piece::PieceTable& table = doc_->Table();
  const piece::PieceTable::Mark mark = table.Begin();
  try {
    if (inserted.pieces) {
      // Pieces of this document go back in as they are: nothing is copied.
      table.Remove(position, removed);
      table.InsertPieces(position, *inserted.pieces);
    } else if (inserted.memory || count <= 0) {
      table.Replace(position, removed, inserted.memory, std::max<int64_t>(count, 0));
    } else {
      // Bytes from a file or a generator reach the store block by block;
      // the blocks follow each other there and make one piece.
      table.Remove(position, removed);
      std::vector<uint8_t> block(static_cast<size_t>(std::min<int64_t>(count, moveBlockSize_)));
      for (int64_t done = 0; done < count;) {
        const int64_t n = std::min<int64_t>(static_cast<int64_t>(block.size()), count - done);
        inserted.Read(block.data(), done, n);
        table.Insert(position + done, block.data(), n);
        done += n;
      }
    }
    table.EndStep();
  } catch (...) {
    table.Revert(mark);
    readWindowStart_ = -1;
    throw;
  }
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

void TByteEditor::DeleteRangeFrom(int64_t start, int64_t end, int col, int64_t row) {
  const int64_t old = DataSize();
  SpliceBytes(start, end - start, {}, 0);
  AfterRemoval(old - (end - start), col, row);
}

void TByteEditor::InsertFrom(const ByteSource& source, int64_t count, int64_t position) {
  EnsureWorkStream();
  const bool wasEmpty = DataSize() == 0;
  SpliceBytes(position, 0, source, count);
  if (wasEmpty) changeMarks_.clear();
  UpdateGridSize();
}

}  // namespace bm
