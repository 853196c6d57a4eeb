// TByteEditor for the value inspector: the few bytes at a position, read
// from the read window, and a run of bytes overwritten in place as one
// undoable change.
#include <algorithm>

#include "editor/byte_editor.h"

namespace bm {

namespace {

constexpr int kMaxPeek = 8;

}  // namespace

int TByteEditor::PeekBytes(int64_t position, uint8_t* out, int count) {
  const int64_t size = DataSize();
  if (position < 0 || position >= size || count <= 0) return 0;
  const int n = static_cast<int>(std::min<int64_t>({count, kMaxPeek, int64_t{size} - position}));
  const bool held = readWindowStart_ != -1 && readWindowStart_ <= position &&
                    int64_t{position} + n <= int64_t{readWindowStart_} + kReadWindowSize;
  if (!held) {
    // Centred on the position, as painting would load it for the line.
    readWindowStart_ = -1;
    EnsureReadWindow(position);
  }
  if (readWindowStart_ == -1) return 0;
  std::copy_n(readWindow_.data() + (position - readWindowStart_), n, out);
  return n;
}

bool TByteEditor::OverwriteBytes(int64_t position, const uint8_t* buffer, int64_t count) {
  return OverwriteFrom(position, ByteSource{buffer, nullptr, 0}, count);
}

bool TByteEditor::OverwriteFrom(int64_t position, const ByteSource& source, int64_t count) {
  const int64_t size = DataSize();
  if (count <= 0 || position < 0 || int64_t{position} + count > size) {
    PostStateChanged();
    return false;
  }
  const int64_t windowStart = readWindowStart_;
  const ChangeSavepoint savepoint = SaveChange();
  try {
    // A replacement of count bytes by count bytes: the gate records the old
    // ones, so Undo puts them back with the cursor and selection of now.
    if (!BeginChange(ckReplaceSelection, position, count, count)) return false;
    SpliceBytes(position, count, source, count);
  } catch (const std::exception& error) {
    RollbackChange(savepoint);
    RaiseEditError(error);
  }
  CommitChange();
  if (IsInsertMode()) changeMarks_.clear();
  else changeMarks_.SetRun(position, count);
  // Nothing moved: the read window stays good once it has the new bytes
  // (those from elsewhere are read again).
  if (source.memory) {
    readWindowStart_ = windowStart;
    for (int64_t i = 0; i < count; ++i) UpdateReadWindow(position + i, source.memory[i]);
  } else {
    readWindowStart_ = -1;
  }
  InvalidatePositions(position, position + count - 1);
  PostStateChanged();
  return true;
}

}  // namespace bm
