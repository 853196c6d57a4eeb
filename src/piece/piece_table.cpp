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
    if (journal_) journal_->Rewrite(at.offset, &value, 1);
    try {
      add_.Rewrite(at.offset, &value, 1);
    } catch (const FileError&) {
      if (journal_) journal_->CutTo(mark);
      throw;
    }
    return;
  }
  Replace(position, 1, &value, 1);
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
  if (journal_) journal_->Step(add_.Length(), payload);
}

void PieceTable::RecordSaved(const FileIdentity& newBase) {
  if (journal_) journal_->Saved(newBase);
}

}  // namespace bm::piece
