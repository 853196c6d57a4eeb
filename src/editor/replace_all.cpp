// TByteEditor::ReplaceAll and the undo of its change. The result is written
// in one pass into a new undo file beside the working copy (matches found by
// the forward engine, the bytes between them copied as the engine passes
// them); then the two files exchange names, so the old working copy becomes
// the undo data of one "Whole content replaced" record without a copy, and
// Undo exchanges them back. Memory stays at a few blocks whatever the size.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "editor/busy_cursor.h"
#include "editor/byte_editor.h"
#include "editor/search_engine.h"

namespace bm {

namespace {

constexpr int64_t kMaxSize = std::numeric_limits<int64_t>::max();
constexpr int64_t kOutBlock = int64_t{1} << 20;
// Room is taken ahead in steps of this when the result outgrows the old size.
constexpr int64_t kReserveStep = int64_t{64} << 20;
// How far the pass goes between progress calls.
constexpr int64_t kProgressStep = int64_t{1} << 20;

// Buffered writes to the new file, with its room reserved ahead.
class ResultWriter {
 public:
  ResultWriter(FileStream& out, int64_t reserved) : out_(out), reserved_(reserved) {
    block_.reserve(static_cast<size_t>(kOutBlock));
    out_.Seek(0);
  }

  void Append(const uint8_t* bytes, int64_t n) {
    if (n <= 0) return;
    if (size_ + n > kMaxSize) throw FileError("The data would reach 2 GiB");
    if (static_cast<int64_t>(block_.size()) + n > kOutBlock) Flush();
    if (n >= kOutBlock) {
      Write(bytes, n);
    } else {
      block_.insert(block_.end(), bytes, bytes + n);
    }
    size_ += n;
  }

  void Flush() {
    if (block_.empty()) return;
    Write(block_.data(), static_cast<int64_t>(block_.size()));
    block_.clear();
  }

  int64_t Size() const { return size_; }

 private:
  void Write(const uint8_t* bytes, int64_t n) {
    const int64_t end = written_ + n;
    if (end > reserved_) {
      const int64_t grow = std::max(end - reserved_, kReserveStep);
      out_.Reserve(reserved_, grow);
      reserved_ += grow;
    }
    out_.Write(bytes, n);
    written_ = end;
  }

  FileStream& out_;
  int64_t reserved_;
  int64_t written_ = 0;  // bytes in the file
  int64_t size_ = 0;     // bytes appended, the block's included
  std::vector<uint8_t> block_;
};

// Copies the gaps and puts the replacement in place of each match.
class Replacer : public MatchSink {
 public:
  Replacer(ResultWriter& out, const std::vector<uint8_t>& replacement, int64_t n,
           int64_t written, const ReplaceProgress& progress, int64_t total)
      : out_(out), replacement_(replacement), n_(n), written_(written), progress_(progress),
        total_(total), reported_(written) {
    nonOverlapping = true;
  }

  bool Match(int64_t q, const uint8_t* base, int64_t viewStart) override {
    out_.Append(base + (written_ - viewStart), q - written_);
    out_.Append(replacement_.data(), static_cast<int64_t>(replacement_.size()));
    written_ = q + n_;
    if (count == 0) firstMatch = q;
    ++count;
    return true;
  }

  bool Passed(int64_t upTo, const uint8_t* base, int64_t viewStart) override {
    if (upTo > written_) {
      out_.Append(base + (written_ - viewStart), upTo - written_);
      written_ = upTo;
    }
    if (progress_ && written_ - reported_ >= kProgressStep) {
      reported_ = written_;
      if (!progress_(written_, total_)) {
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
  ResultWriter& out_;
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
  // The new file goes unless it becomes the working copy.
  struct OutputGuard {
    UndoSpill& spill;
    uint64_t id = 0;
    ~OutputGuard() {
      if (id != 0) spill.Remove(id);
    }
  } output{undoSpill_};

  uint64_t id = 0;
  int64_t newSize = 0;
  int64_t firstMatch = 0;
  try {
    id = output.id = undoSpill_.Create(workFileName_);
    FileStream& out = *undoSpill_.StreamOf(id);
    // Room for the old size now, so that a full folder fails before the pass.
    out.Reserve(0, size);
    ResultWriter writer(out, size);
    std::vector<uint8_t> block(static_cast<size_t>(std::min<int64_t>(kOutBlock, size)));
    auto copy = [&](int64_t from, int64_t to) {
      for (int64_t at = from; at < to;) {
        const int64_t want = std::min<int64_t>(static_cast<int64_t>(block.size()), to - at);
        if (ReadBytes(block.data(), static_cast<int64_t>(at), static_cast<int64_t>(want)) != want)
          throw FileError("The working copy ended early");
        writer.Append(block.data(), want);
        at += want;
      }
    };
    copy(0, first);

    PatternSearch search(request.pattern.data(), n, request.ignoreCase,
                         request.any.empty() ? nullptr : request.any.data());
    Replacer sink(writer, request.replacement, n, first, progress, size);
    ScanMatches(search, first, last, sink);
    result.stopped = sink.stopped;
    if (sink.stopped || sink.count == 0) return result;
    copy(sink.Written(), size);
    writer.Flush();
    newSize = writer.Size();
    out.SetSize(newSize);  // drops the room taken ahead
    result.count = sink.count;
    firstMatch = sink.firstMatch;
  } catch (const std::exception& error) {
    RaiseEditError(error);
  }

  const ChangeSavepoint savepoint = SaveChange();
  try {
    contentSpillId_ = id;
    const bool allowed = BeginChange(ckContentReplaced, static_cast<int64_t>(firstMatch),
                                     static_cast<int64_t>(newSize), size);
    contentSpillId_ = 0;
    if (!allowed) {
      result.count = 0;
      return result;
    }
    if (!undoSpill_.Exchange(id, workFileName_, workStream_))
      throw FileError("Cannot put the result in place of the working copy", errno);
    workStream_->KeepSynced();  // the new working copy reaches the disk like the old one
  } catch (const std::exception& error) {
    contentSpillId_ = 0;
    RollbackChange(savepoint);
    RaiseEditError(error);
  }
  output.id = 0;  // the record owns the file now: it holds the old content
  CommitChange();

  cachedSize_ = -1;
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
  if (id == 0 || !spill.Exchange(id, workFileName_, workStream_))
    throw FileError("Cannot put the replaced data back", errno);
  workStream_->KeepSynced();
  cachedSize_ = -1;
  readWindowStart_ = -1;
  UpdateGridSize();
  RestoreCursorState(fixed);
  CutChangeMarks(position);
  if (Host()) Host()->InvalidateAll();
}

}  // namespace bm
