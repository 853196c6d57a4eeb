// Counting the differing bytes and their runs, a slice at a time, so that a
// long count can share its thread with the window.
#pragma once
#include <cstdint>

#include "compare/diff_scan.h"

namespace bm {

struct DiffCount {
  int64_t bytes = 0;
  int64_t runs = 0;
  bool operator==(const DiffCount&) const = default;
};

class DiffCounter {
 public:
  explicit DiffCounter(DiffScanner& scanner) : scanner_(scanner) {}

  // Starts again from position 0 with the scanner's present sizes.
  void Restart();
  // Counts on over at most budget positions; true once the count is complete.
  bool Step(int64_t budget);
  bool Done() const { return position_ >= total_; }
  int64_t Position() const { return position_; }
  int64_t Total() const { return total_; }
  // What has been counted so far; the result once Done.
  DiffCount Result() const { return count_; }

 private:
  DiffScanner& scanner_;
  int64_t position_ = 0;
  int64_t total_ = 0;
  bool previousDiffers_ = false;
  DiffCount count_;
};

// The whole count at once.
DiffCount CountDiffs(DiffScanner& scanner);

}  // namespace bm
