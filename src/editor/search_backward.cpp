// The backward search over the reversed data.
#include "editor/search_backward.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bm {

namespace {

std::vector<uint8_t> Reversed(const uint8_t* bytes, int64_t n) {
  std::vector<uint8_t> r(bytes, bytes + std::max<int64_t>(n, 0));
  std::reverse(r.begin(), r.end());
  return r;
}

#if defined(__SSE2__)
__m128i Reverse16(__m128i v) {
  v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
  v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
  v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
  return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
}
#endif

}  // namespace

void ReverseBytes(uint8_t* bytes, int64_t n) {
  int64_t lo = 0, hi = n;  // the unreversed middle is [lo, hi)
#if defined(__SSE2__)
  // Sixteen bytes from each end change places at a time.
  while (hi - lo >= 32) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + lo));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + hi - 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + lo), Reverse16(b));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + hi - 16), Reverse16(a));
    lo += 16;
    hi -= 16;
  }
#endif
  std::reverse(bytes + lo, bytes + hi);
}

BackwardSearch::BackwardSearch(const uint8_t* pattern, int64_t n, bool fold, const uint8_t* any)
    : n_(n),
      reversed_(Reversed(pattern, n).data(), n, fold,
                any ? Reversed(any, n).data() : nullptr) {}

int64_t BackwardSearch::FindLast(int64_t first, int64_t last, const SearchReader& read,
                                 const SearchOptions& options) {
  first = std::max<int64_t>(first, 0);
  if (n_ < 1 || first + n_ > last + 1) return -1;
  // Position r of the reversed data is the byte last - r.
  const SearchReader backwards = [&](uint8_t* buffer, int64_t r, int64_t count) -> int64_t {
    const int64_t from = last - r - count + 1;
    const int64_t got = read(buffer, from, count);
    if (got != count) return 0;  // the data ended early: nothing sound to scan
    ReverseBytes(buffer, count);
    return count;
  };
  const int64_t r = reversed_.Find(0, last - first, backwards, {}, options);
  return r < 0 ? -1 : last - r - n_ + 1;
}

}  // namespace bm
