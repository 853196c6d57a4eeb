// PieceTable: edits as appends to the add store plus tree operations, journaled.
#include "piece/piece_table.h"

#include <algorithm>

namespace bm::piece {

namespace {
PieceTree WholeBase(BaseFile* base) {
  return base ? PieceTree(Run{Store::Base, 0, base->Size()}) : PieceTree();
}
}  // namespace

PieceTable::PieceTable(BaseFile* base, AddStore& add, Journal* journal)
    : PieceTable(WholeBase(base), base, add, journal) {}

PieceTable::PieceTable(PieceTree pieces, BaseFile* base, AddStore& add, Journal* journal,
                       uint64_t nextId)
    : pieces_(std::move(pieces)),
      base_(base),
      add_(add),
      journal_(journal),
      reader_(base, add),
      nextId_(nextId),
      // Bytes already in the store may be seen by versions rebuilt with it.
      privateFrom_(add.Length()) {}

Run PieceTable::AppendRun(const uint8_t* bytes, int64_t count) {
  if (count <= 0) return Run{Store::Add, add_.Length(), 0};
  return Run{Store::Add, add_.Append(bytes, count), count};
}

void PieceTable::Insert(int64_t position, const uint8_t* bytes, int64_t count) {
  position = std::clamp<int64_t>(position, 0, Size());
  const Run run = AppendRun(bytes, count);
  if (run.length == 0) return;
  if (journal_) journal_->Insert(position, run, bytes);
  pieces_.Insert(position, run);
}

void PieceTable::InsertPieces(int64_t position, const PieceTree& pieces) {
  position = std::clamp<int64_t>(position, 0, Size());
  if (journal_) {
    // One record a run, in reverse so each goes before the ones after it.
    std::vector<Run> runs;
    pieces.ForEachRun(0, pieces.Size(), [&](const Run& r) {
      runs.push_back(r);
      return true;
    });
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) journal_->Insert(position, *it, nullptr);
  }
  pieces_.InsertTree(position, pieces);
}

void PieceTable::Remove(int64_t position, int64_t count) {
  position = std::clamp<int64_t>(position, 0, Size());
  count = std::clamp<int64_t>(count, 0, Size() - position);
  if (count == 0) return;
  if (journal_) journal_->Remove(position, count);
  pieces_.Remove(position, count);
}

void PieceTable::Replace(int64_t position, int64_t count, const uint8_t* bytes,
                         int64_t newCount) {
  position = std::clamp<int64_t>(position, 0, Size());
  count = std::clamp<int64_t>(count, 0, Size() - position);
  const Run run = AppendRun(bytes, newCount);
  if (journal_) journal_->Replace(position, count, run, bytes);
  pieces_.Replace(position, count, run);
}

void PieceTable::WriteByte(int64_t position, uint8_t value) {
  if (position < 0 || position >= Size()) return;
  const Run at = pieces_.At(position);
  if (at.store == Store::Add && at.offset >= privateFrom_) {
    // Seen by no kept version: the byte changes where it is. The record
    // goes first, so a kill between the two is replayed with the new byte.
    const int64_t mark = journal_ ? journal_->Length() : 0;
    uint8_t old = 0;
    if (add_.Read(at.offset, &old, 1) != 1) throw FileError("The store of added bytes ended early");
    if (journal_) journal_->Rewrite(at.offset, &value, 1);
    try {
      add_.Rewrite(at.offset, &value, 1);
    } catch (const FileError&) {
      // A failed write may still have reached the byte: it is put back.
      try {
        add_.Rewrite(at.offset, &old, 1);
        if (journal_) journal_->CutTo(mark);
      } catch (const FileError&) {
      }
      throw;
    }
    return;
  }
  Replace(position, 1, &value, 1);
}

PieceTable::Mark PieceTable::Begin() const { return Mark{pieces_, journal_ ? journal_->Length() : 0}; }

void PieceTable::Revert(const Mark& mark) {
  pieces_ = mark.pieces;
  if (!journal_ || journal_->Length() <= mark.journalLength) return;
  try {
    journal_->CutTo(mark.journalLength);
  } catch (const FileError&) {
    // Records past the last step are dropped by replay anyway.
  }
}

Run PieceTable::AppendShared(const uint8_t* bytes, int64_t count) {
  const Run run = AppendRun(bytes, count);
  privateFrom_ = add_.Length();
  return run;
}

void PieceTable::Reset(const PieceTree& pieces) {
  if (journal_) {
    journal_->Remove(0, Size());
    std::vector<Run> runs;
    pieces.ForEachRun(0, pieces.Size(), [&](const Run& r) {
      runs.push_back(r);
      return true;
    });
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) journal_->Insert(0, *it, nullptr);
  }
  pieces_ = pieces;
}

PieceTree PieceTable::Slice(int64_t position, int64_t count) {
  privateFrom_ = add_.Length();
  return pieces_.Slice(position, count);
}

PieceTable::Version PieceTable::Keep() {
  Version v{pieces_, nextId_};
  if (journal_) journal_->Keep(v.id);
  ++nextId_;
  privateFrom_ = add_.Length();
  return v;
}

void PieceTable::Restore(const Version& version) {
  if (journal_) journal_->Restore(version.id);
  pieces_ = version.pieces;
  // The restored version may share add bytes with the one left.
  privateFrom_ = add_.Length();
}

void PieceTable::Drop(const Version& version) {
  if (journal_) journal_->Drop(version.id);
}

void PieceTable::EndStep(const std::vector<uint8_t>& payload) {
  if (!journal_) return;
  try {
    journal_->Step(add_.Length(), payload);
  } catch (const FileError&) {
    // The step has happened; without its mark, replay counts its records
    // to the next step that gets one. Only a crash before then loses it.
  }
}

void PieceTable::RecordSaved(const FileIdentity& newBase) {
  if (journal_) journal_->Saved(newBase);
}

}  // namespace bm::piece
