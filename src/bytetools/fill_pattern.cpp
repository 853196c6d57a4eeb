// Repeated patterns and random bytes for a fill.
#include "bytetools/fill_pattern.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace bm {

FillPattern FillPattern::Repeat(std::vector<uint8_t> pattern) {
  if (pattern.empty()) throw std::invalid_argument("empty fill pattern");
  FillPattern fill;
  fill.pattern_ = std::move(pattern);
  return fill;
}

FillPattern FillPattern::Random(uint64_t seed) {
  FillPattern fill;
  fill.random_.seed(seed);
  return fill;
}

void FillPattern::Generate(uint8_t* to, int64_t at, int64_t n) {
  if (n <= 0) return;
  if (pattern_.empty()) {
    int64_t i = 0;
    for (; i + 8 <= n; i += 8) {
      const uint64_t v = random_();
      std::memcpy(to + i, &v, 8);
    }
    if (i < n) {
      const uint64_t v = random_();
      std::memcpy(to + i, &v, static_cast<size_t>(n - i));
    }
    return;
  }
  const auto length = static_cast<int64_t>(pattern_.size());
  // The first copy starts at the pattern's phase for at; then whole copies,
  // doubling what is already written.
  int64_t phase = at % length;
  int64_t done = std::min(n, length - phase);
  std::memcpy(to, pattern_.data() + phase, static_cast<size_t>(done));
  if (done < n) {
    const int64_t first = std::min(n - done, length);
    std::memcpy(to + done, pattern_.data(), static_cast<size_t>(first));
    const int64_t base = done;
    done += first;
    while (done < n) {
      const int64_t copy = std::min(n - done, done - base);
      std::memcpy(to + done, to + base, static_cast<size_t>(copy));
      done += copy;
    }
  }
}

}  // namespace bm
