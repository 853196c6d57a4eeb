// Redo of TByteEditor. Undo turns each record it takes back into its inverse
// on the redo history (same layout as undo records, large bytes on disk in
// files of their own); Redo applies the newest one as Undo applies a record
// and puts the inverse of that back onto the undo history. Any new change,
// and whatever clears the undo history (load, save, new document), empties it.
#include <cstring>

#include "editor/byte_editor.h"
#include "editor/undo_record.h"

namespace bm {

using namespace undo_record;

// The record that, applied after the one given, brings the data back to how
// it is before that one is applied: the same place, what the record restores
// and what it replaces swapped. Its data is read from the document.
bool TByteEditor::InverseOf(const uint8_t* fixed, TChangeKind& kind, int64_t& count,
                            int64_t& oldLength) {
  const int64_t n = GetI64(fixed + kOffCount);
  const int64_t m = GetI64(fixed + kOffOldLength);
  oldLength = 0;
  count = n;
  switch (fixed[kOffKind]) {
    case ckByteChanged:
      // The byte as it is now, with its mark.
      kind = ckByteChanged;
      count = 1;
      return true;
    case ckBytesRemoved:
      // The bytes come back; removing them again needs no copy.
      kind = ckInsertBuffer;
      return true;
    case ckInsertBuffer:
    case ckAppendBuffer:
      // The inserted or appended bytes go; putting them back needs them.
      kind = ckBytesRemoved;
      return true;
    case ckReplaceSelection:
      // m old bytes take the place of n new ones: the n new ones are kept.
      kind = ckReplaceSelection;
      count = m;
      oldLength = n;
      return true;
    case ckContentReplaced:
      // The content before and after change places in a file of their own.
      kind = ckContentReplaced;
      count = m;
      oldLength = n;
      return true;
    default:
      return false;
  }
}

void TByteEditor::Redo() {
  CommitChange();
  if (redoCount_ == 0) return;
  const uint32_t length = NewestLength(redoStream_);
  if (length == 0) {
    // Not a history that can be walked: nothing of it can be redone.
    ClearRedo();
    PostStateChanged();
    return;
  }
  if (StepHistory(redoStream_, redoSpill_, undoStream_, undoSpill_) == 0) return;

  // The marks as they were when the change was undone.
  changeMarks_ = std::move(redoMarks_.back());
  redoMarks_.pop_back();
  ForgetSpill(redoStream_, redoSpill_, redoStream_.size() - length);
  redoStream_.resize(redoStream_.size() - length);
  --redoCount_;

  canUndo_ = true;
  ++undoCount_;
  const uint32_t newest = NewestLength(undoStream_);
  undoDescription_ = KindName(undoStream_[undoStream_.size() - newest + kOffKind]);
  while (undoCount_ > kMaxUndoRecords) DropOldestUndo();
  if (Host()) Host()->InvalidateAll();
  PostStateChanged();
}

void TByteEditor::ClearRedo() {
  std::vector<uint8_t>().swap(redoStream_);
  redoCount_ = 0;
  redoSpill_.Clear();
  redoMarks_.clear();
}

}  // namespace bm
