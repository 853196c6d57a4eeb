// The comparison's marks as painting asks for them: a line at a time, kept
// until the line, its bytes or the comparison change.
#include <algorithm>
#include <cstring>

#include "editor/byte_editor.h"

namespace bm {

void TByteEditor::SetDiffMarks(DiffMarks* marks) {
  if (marks == diffMarks_) return;
  diffMarks_ = marks;
  diffLine_ = {};
  if (Host()) Host()->InvalidateAll();
}

bool TByteEditor::IsByteDiffering(int64_t position) {
  if (!diffMarks_ || position < 0) return false;
  const int64_t start = position - position % bytesPerLine_;
  const int64_t size = DataSize();
  EnsureReadWindow(start);
  if (readWindowStart_ < 0) return false;
  // The line's own bytes, as the window holds them now.
  const int64_t own = std::clamp<int64_t>(size - start, 0, bytesPerLine_);
  const uint8_t* bytes = readWindow_.data() + (start - readWindowStart_);
  const size_t n = static_cast<size_t>(bytesPerLine_);
  if (diffLine_.start != start || diffLine_.size != size ||
      diffLine_.generation != diffMarks_->Generation() || diffLine_.flags.size() != n ||
      std::memcmp(diffLine_.bytes.data(), bytes, static_cast<size_t>(own)) != 0) {
    diffLine_.start = start;
    diffLine_.size = size;
    diffLine_.generation = diffMarks_->Generation();
    diffLine_.bytes.assign(bytes, bytes + own);
    diffLine_.bytes.resize(n);
    diffLine_.flags.assign(n, 0);
    diffMarks_->LineMask(start, bytesPerLine_, diffLine_.flags.data());
  }
  return diffLine_.flags[static_cast<size_t>(position - start)] != 0;
}

}  // namespace bm
