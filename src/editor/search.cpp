// TByteEditor's forward search: the pattern's conversion, the busy cursor,
// and the search over the read window and the working copy's blocks.
#include <algorithm>

#include "editor/byte_editor.h"
#include "editor/search_engine.h"
#include "platform/codepage.h"

namespace bm {

namespace {

// Shows the busy cursor for the lifetime of the object, however it ends.
class SearchBusyCursor {
 public:
  explicit SearchBusyCursor(WindowHost* host) : host_(host) {
    if (host_) host_->SetBusyCursor(true);
  }
  ~SearchBusyCursor() {
    if (host_) host_->SetBusyCursor(false);
  }
  SearchBusyCursor(const SearchBusyCursor&) = delete;
  SearchBusyCursor& operator=(const SearchBusyCursor&) = delete;

 private:
  WindowHost* host_;
};

}  // namespace

void TByteEditor::SetSearchBlocks(int32_t first, int32_t largest) {
  searchBlock_ = std::max(largest, 1);
  searchFirstBlock_ = std::clamp(first, 1, searchBlock_);
}

int32_t TByteEditor::FindData(uint8_t* pattern, int32_t n, int32_t start, int32_t last,
                              bool ignoreCase, bool translate) {
  const int32_t size = DataSize();
  if (last >= size) last = size - 1;
  if (n < 1) return -1;
  // The pattern is converted even when it cannot fit, so that the caller's
  // buffer always holds data bytes afterwards: a later search with it and
  // translate false (Find next) then looks for the same bytes.
  if (translate && translation_ != ttAnsi) TextToDataBytes(translation_, pattern, pattern, n);
  if (ignoreCase) AnsiLowerBuff(pattern, static_cast<size_t>(n));
  start = std::max(start, 0);
  if (int64_t{n} + start > int64_t{last} + 1) return -1;

  SearchBusyCursor busy(Host());
  PatternSearch search(pattern, n, ignoreCase);
  // The read window is kept equal to the data by every edit, so what it
  // holds from start on is searched without reading it again.
  SearchSpan cached;
  if (readWindowStart_ != -1 && readWindowStart_ < size) {
    cached.data = readWindow_.data();
    cached.start = readWindowStart_;
    cached.length = std::min<int64_t>(kReadWindowSize, size - readWindowStart_);
  }
  SearchOptions options;
  options.firstBlock = searchFirstBlock_;
  options.blockSize = searchBlock_;
  const int64_t q = search.Find(
      start, last,
      [this](uint8_t* buffer, int64_t position, int64_t count) -> int64_t {
        return ReadBytes(buffer, static_cast<int32_t>(position), static_cast<int32_t>(count));
      },
      cached, options);
  // The window ends up around the last byte looked at, as a byte-by-byte
  // scan through it would leave it.
  const int64_t examined = search.LastExamined();
  if (examined >= 0) EnsureReadWindow(static_cast<int32_t>(examined));
  return static_cast<int32_t>(q);
}

}  // namespace bm
