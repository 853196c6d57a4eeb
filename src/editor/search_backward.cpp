// The backward search, block by block from the end.
#include "editor/search_backward.h"

#include <algorithm>
#include <memory>

namespace bm {

namespace {

// Keeps the last match of a block.
class LastMatch : public MatchSink {
 public:
  bool Match(int64_t q, const uint8_t*, int64_t) override {
    last = q;
    return true;
  }
  int64_t last = -1;
};

}  // namespace

BackwardSearch::BackwardSearch(const uint8_t* pattern, int64_t n, bool fold, const uint8_t* any)
    : n_(n), forward_(pattern, n, fold, any) {}

int64_t BackwardSearch::FindLast(int64_t first, int64_t last, const SearchReader& read,
                                 const SearchOptions& options) {
  first = std::max<int64_t>(first, 0);
  if (n_ < 1 || first + n_ > last + 1) return -1;
  const int64_t blockSize = std::max<int64_t>(options.blockSize, 1);
  int64_t chunk = std::clamp<int64_t>(options.firstBlock, 1, blockSize);
  std::unique_ptr<uint8_t[]> buffer;
  int64_t capacity = 0;
  const SearchReader noReads = [](uint8_t*, int64_t, int64_t) -> int64_t { return 0; };
  // Starts lo..hi at a time; the block holds their bytes and the n - 1 after.
  for (int64_t hi = last - n_ + 1; hi >= first;) {
    const int64_t lo = std::max(first, hi - chunk + 1);
    const int64_t length = hi - lo + n_;
    if (length > capacity) {
      buffer.reset(new uint8_t[static_cast<size_t>(length)]);
      capacity = length;
    }
    if (read(buffer.get(), lo, length) != length) return -1;  // the data ended early
    LastMatch sink;
    forward_.ForEach(lo, lo + length - 1, noReads, sink, SearchSpan{buffer.get(), lo, length});
    if (sink.last >= 0) return sink.last;
    hi = lo - 1;
    chunk = std::min(chunk * 2, blockSize);
  }
  return -1;
}

}  // namespace bm
