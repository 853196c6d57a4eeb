// Counting differing bytes and runs (see diff_count.h).
#include "compare/diff_count.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace bm {

namespace {

constexpr int64_t kChunk = 4096;

}  // namespace

void DiffCounter::Restart() {
  position_ = 0;
  total_ = scanner_.Extent();
  previousDiffers_ = false;
  count_ = {};
}

bool DiffCounter::Step(int64_t budget) {
  const int64_t common = scanner_.CommonSize();
  const int64_t stop = std::min(total_, position_ + std::max<int64_t>(budget, 1));
  while (position_ < std::min(stop, common)) {
    const int64_t n = scanner_.LoadBlock(position_, std::min(stop, common) - position_);
    if (n <= 0) {
      // Unreadable: the rest of the common part counts as equal.
      position_ = common;
      previousDiffers_ = false;
      break;
    }
    const uint8_t* a = scanner_.BlockA();
    const uint8_t* b = scanner_.BlockB();
    for (int64_t i = 0; i < n; i += kChunk) {
      const int64_t chunk = std::min(kChunk, n - i);
      if (std::memcmp(a + i, b + i, static_cast<size_t>(chunk)) == 0) {
        previousDiffers_ = false;
        continue;
      }
      for (int64_t k = i; k < i + chunk; ++k) {
        const bool differs = a[k] != b[k];
        count_.bytes += differs;
        count_.runs += differs && !previousDiffers_;
        previousDiffers_ = differs;
      }
    }
    position_ += n;
  }
  if (position_ >= common && position_ < stop) {
    // Past the shorter document every byte differs: one run, joined to a
    // run that reaches the end of the common part.
    const int64_t tail = stop - position_;
    count_.bytes += tail;
    count_.runs += !previousDiffers_;
    previousDiffers_ = true;
    position_ = stop;
  }
  return Done();
}

DiffCount CountDiffs(DiffScanner& scanner) {
  DiffCounter counter(scanner);
  counter.Restart();
  counter.Step(std::numeric_limits<int64_t>::max() / 2);
  return counter.Result();
}

}  // namespace bm
