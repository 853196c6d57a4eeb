// TByteEditor::ReplaceAll and the undo of its change. One pass of the forward
// engine builds the new content as pieces: long unchanged runs are pieces of
// the old content, the replacements and the short runs between close
// matches go to the store. The old content, kept whole as pieces, is the
// data of one "Whole content replaced" record; Undo and Redo swap the two.
// Nothing of the unchanged data is copied.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "editor/busy_cursor.h"
#include "editor/byte_editor.h"
#include "editor/search_engine.h"

namespace bm {

namespace {

// How far the pass goes between progress calls.
constexpr int64_t kProgressStep = int64_t{1} << 20;
// Unchanged runs at least this long are taken as pieces of the old content;
// shorter ones are copied into the store with the replacements around them,
// so that many close matches do not make a piece each.
constexpr int64_t kSliceMin = 4096;
constexpr int64_t kPendingMax = int64_t{1} << 20;

// The new content as pieces: runs of the old one and added bytes.
class ResultBuilder {
 public:
  ResultBuilder(TByteEditor& ed, piece::PieceTable& table, const piece::PieceTree& old)
      : ed_(ed), table_(table), old_(old) {}

  void Old(int64_t from, int64_t to) {
    if (to <= from) return;
    if (to - from >= kSliceMin) {
      Flush();
      result_.InsertTree(result_.Size(), old_.Slice(from, to - from));
      return;
    }
    const size_t at = pending_.size();
    pending_.resize(at + static_cast<size_t>(to - from));
    if (ed_.ReadBytes(pending_.data() + at, from, to - from) != to - from)
      throw FileError("The data ended early");
    if (static_cast<int64_t>(pending_.size()) >= kPendingMax) Flush();
  }

  void Added(const std::vector<uint8_t>& bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    if (static_cast<int64_t>(pending_.size()) >= kPendingMax) Flush();
  }

  void Flush() {
    if (pending_.empty()) return;
    const piece::Run run =
        table_.AppendShared(pending_.data(), static_cast<int64_t>(pending_.size()));
    result_.InsertTree(result_.Size(), piece::PieceTree(run));
    pending_.clear();
  }

  const piece::PieceTree& Result() const { return result_; }

 private:
  TByteEditor& ed_;
  piece::PieceTable& table_;
  const piece::PieceTree& old_;
  piece::PieceTree result_;
  std::vector<uint8_t> pending_;
};

// Puts the replacement in place of each match, keeping the runs between.
class Replacer : public MatchSink {
 public:
  Replacer(ResultBuilder& out, const std::vector<uint8_t>& replacement, int64_t n, int64_t written,
           const ReplaceProgress& progress, int64_t total)
      : out_(out), replacement_(replacement), n_(n), written_(written), progress_(progress),
        total_(total), reported_(written) {
    nonOverlapping = true;
  }

  bool Match(int64_t q, const uint8_t*, int64_t) override {
    out_.Old(written_, q);
    out_.Added(replacement_);
    written_ = q + n_;
    if (count == 0) firstMatch = q;
    ++count;
    return true;
  }

  bool Passed(int64_t upTo, const uint8_t*, int64_t) override {
    if (progress_ && upTo - reported_ >= kProgressStep) {
      reported_ = upTo;
      if (!progress_(upTo, total_)) {
        stopped = true;
        return false;
      }
    }
    return true;
  }

  int64_t Written() const { return written_; }

  int64_t count = 0;
  int64_t firstMatch = -1;
  bool stopped = false;

 private:
  ResultBuilder& out_;
  const std::vector<uint8_t>& replacement_;
  int64_t n_;
  int64_t written_;  // the data before it is in the result
  const ReplaceProgress& progress_;
  int64_t total_;
  int64_t reported_;
};

}  // namespace

ReplaceAllResult TByteEditor::ReplaceAll(const ReplaceAllRequest& request,
                                         const ReplaceProgress& progress) {
  ReplaceAllResult result;
  const int64_t size = DataSize();
  const auto n = static_cast<int64_t>(request.pattern.size());
  const auto r = static_cast<int64_t>(request.replacement.size());
  const int64_t first = std::max<int64_t>(request.first, 0);
  const int64_t last = std::min<int64_t>(request.last, int64_t{size} - 1);
  if (n < 1 || size < 1 || first + n > last + 1) return result;
  if (noSizeChange_ && n != r) return result;  // refused, as the gate would
  if (!request.any.empty() && static_cast<int64_t>(request.any.size()) != n) return result;

  BusyCursor busy(Host());
  piece::PieceTable& table = doc_->Table();
  const piece::PieceTree old = table.Pieces();
  piece::PieceTree replaced;
  int64_t firstMatch = 0;
  try {
    ResultBuilder builder(*this, table, old);
    builder.Old(0, first);
    PatternSearch search(request.pattern.data(), n, request.ignoreCase,
                         request.any.empty() ? nullptr : request.any.data());
    Replacer sink(builder, request.replacement, n, first, progress, size);
    ScanMatches(search, first, last, sink);
    result.stopped = sink.stopped;
    if (sink.stopped || sink.count == 0) return result;
    builder.Old(sink.Written(), size);
    builder.Flush();
    replaced = builder.Result();
    result.count = sink.count;
    firstMatch = sink.firstMatch;
  } catch (const std::exception& error) {
    // Bytes the store took for the result are referred to by nothing.
    RaiseEditError(error);
  }

  const ChangeSavepoint savepoint = SaveChange();
  uint64_t id = 0;
  const piece::PieceTable::Mark mark = table.Begin();
  try {
    // The old content is kept whole as the record's pieces.
    id = undoSpill_.Store(table.Keep());
    contentSpillId_ = id;
    const bool allowed =
        BeginChange(ckContentReplaced, firstMatch, replaced.Size(), size);
    contentSpillId_ = 0;
    if (!allowed) {
      undoSpill_.Remove(id);
      result.count = 0;
      return result;
    }
    table.Reset(replaced);
    table.EndStep();
  } catch (const std::exception& error) {
    contentSpillId_ = 0;
    table.Revert(mark);
    RollbackChange(savepoint);
    if (id != 0) undoSpill_.Remove(id);
    RaiseEditError(error);
  }
  CommitChange();

  readWindowStart_ = -1;
  const int64_t cursor = std::min(CursorPosition(), std::max<int64_t>(DataSize() - 1, 0));
  const bool charField = InCharField();
  UpdateGridSize();
  CutChangeMarks(static_cast<int64_t>(firstMatch));
  ClearSelection(false);
  const GridCell cell = PositionToCell(cursor, charField);
  MoveCurrent(cell.col, cell.row, true);
  if (Host()) Host()->InvalidateAll();
  PostStateChanged();
  return result;
}

void TByteEditor::UndoContentReplaced(const uint8_t* fixed, int64_t position, UndoSpill& spill,
                                      uint64_t id) {
  const piece::PieceTable::Version* kept = id == 0 ? nullptr : spill.Pieces(id);
  if (!kept) throw FileError("Cannot put the replaced data back");
  piece::PieceTable& table = doc_->Table();
  const piece::PieceTable::Mark mark = table.Begin();
  piece::PieceTable::Version left;
  try {
    // The content being left becomes the record's for the other history.
    left = table.Keep();
    table.Restore(*kept);
    table.EndStep();
  } catch (...) {
    table.Revert(mark);
    throw;
  }
  spill.Exchange(id, left);
  readWindowStart_ = -1;
  UpdateGridSize();
  RestoreCursorState(fixed);
  CutChangeMarks(position);
  if (Host()) Host()->InvalidateAll();
}

}  // namespace bm
