// The block-wise pattern search: a first/last-byte candidate filter with full
// checks, and a Knuth-Morris-Pratt scan it hands over to when checks pile up.
#include "editor/search_engine.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/codepage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bm {

namespace {

std::array<uint8_t, 256> MakeLowerTable() {
  std::array<uint8_t, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<uint8_t>(i);
  AnsiLowerBuff(t.data(), t.size());
  return t;
}

// The data bytes that match pattern byte p.
std::vector<uint8_t> MatchingBytes(uint8_t p, bool fold) {
  if (!fold) return {p};
  static const std::array<std::vector<uint8_t>, 256> kFoldedFrom = [] {
    std::array<std::vector<uint8_t>, 256> from;
    const uint8_t* lower = AnsiLowerTable();
    for (int b = 0; b < 256; ++b) from[lower[b]].push_back(static_cast<uint8_t>(b));
    return from;
  }();
  return kFoldedFrom[p];
}

#if defined(__SSE2__)
// Calls check(offset) for each offset in [i, stop - 15) (in steps of 16) whose
// byte is one of the first values and whose byte lastOff further on is one
// of the last values, in increasing order, until check returns true. Returns
// where it stopped: the offset check accepted, or the first offset not looked
// at (for the scalar tail).
template <bool Two, class Check>
int64_t FilterSse2(const uint8_t* base, int64_t i, int64_t stop, int64_t lastOff,
                   const uint8_t* first, const uint8_t* last, Check&& check, bool& stopped) {
  const __m128i f0 = _mm_set1_epi8(static_cast<char>(first[0]));
  const __m128i f1 = _mm_set1_epi8(static_cast<char>(first[1]));
  const __m128i l0 = _mm_set1_epi8(static_cast<char>(last[0]));
  const __m128i l1 = _mm_set1_epi8(static_cast<char>(last[1]));
  for (; i + 16 <= stop; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i + lastOff));
    __m128i ma = _mm_cmpeq_epi8(a, f0);
    __m128i mb = _mm_cmpeq_epi8(b, l0);
    if constexpr (Two) {
      ma = _mm_or_si128(ma, _mm_cmpeq_epi8(a, f1));
      mb = _mm_or_si128(mb, _mm_cmpeq_epi8(b, l1));
    }
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(ma, mb)));
    while (mask != 0) {
      const int64_t at = i + __builtin_ctz(mask);
      if (check(at)) {
        stopped = true;
        return at;
      }
      mask &= mask - 1;
    }
  }
  return i;
}
#endif

}  // namespace

const uint8_t* AnsiLowerTable() {
  static const std::array<uint8_t, 256> table = MakeLowerTable();
  return table.data();
}

struct PatternSearch::Scan {
  int64_t start = 0;       // where the search began
  int64_t next = 0;        // filter: the lowest match start not ruled out
  int64_t checked = 0;     // bytes of full checks made
  bool linear = false;     // the linear scan has taken over
  int64_t linearPos = 0;   // linear: the next byte to feed it
  int64_t matched = 0;     // linear: pattern bytes matched before linearPos
  int64_t allowance = 0;
};

PatternSearch::PatternSearch(const uint8_t* pattern, int64_t n, bool fold, const uint8_t* any)
    : pattern_(pattern, pattern + std::max<int64_t>(n, 0)), fold_(fold) {
  if (pattern_.empty()) return;
  if (any && std::any_of(any, any + n, [](uint8_t a) { return a != 0; })) {
    any_.assign(any, any + n);
    for (size_t k = 0; k < any_.size(); ++k)
      if (any_[k]) pattern_[k] = 0;  // never compared
    const auto fixed = [](uint8_t a) { return a == 0; };
    const auto first = std::find_if(any_.begin(), any_.end(), fixed);
    if (first == any_.end()) {
      allAny_ = true;
      return;
    }
    firstOff_ = first - any_.begin();
    lastOff_ = static_cast<int64_t>(any_.rend() - std::find_if(any_.rbegin(), any_.rend(), fixed)) - 1;
  } else {
    lastOff_ = n - 1;
  }
  firstBytes_ = MatchingBytes(pattern_[static_cast<size_t>(firstOff_)], fold);
  lastBytes_ = MatchingBytes(pattern_[static_cast<size_t>(lastOff_)], fold);
}

bool PatternSearch::Matches(const uint8_t* at) const {
  const size_t n = pattern_.size();
  if (!any_.empty()) {
    const uint8_t* lower = AnsiLowerTable();
    for (size_t k = 0; k < n; ++k)
      if (!any_[k] && (fold_ ? lower[at[k]] : at[k]) != pattern_[k]) return false;
    return true;
  }
  if (!fold_) return std::memcmp(at, pattern_.data(), n) == 0;
  const uint8_t* lower = AnsiLowerTable();
  for (size_t k = 0; k < n; ++k)
    if (lower[at[k]] != pattern_[k]) return false;
  return true;
}

namespace {

// Ends the search at the first match.
class FirstMatch : public MatchSink {
 public:
  bool Match(int64_t, const uint8_t*, int64_t) override { return false; }
};

}  // namespace

int64_t PatternSearch::Find(int64_t start, int64_t last, const SearchReader& read,
                            SearchSpan cached, const SearchOptions& options) {
  FirstMatch first;
  const int64_t q = ForEach(start, last, read, first, cached, options);
  return q >= 0 ? q : -1;
}

int64_t PatternSearch::ForEach(int64_t start, int64_t last, const SearchReader& read,
                               MatchSink& sink, SearchSpan cached, const SearchOptions& options) {
  const auto n = static_cast<int64_t>(pattern_.size());
  start = std::max<int64_t>(start, 0);
  const int64_t end = last + 1;  // the searched bytes end before it
  if (n < 1 || start + n > end) return -1;
  // A pattern byte that no data byte matches (possible only when folding).
  if (!allAny_ && (firstBytes_.empty() || lastBytes_.empty())) return -1;

  Scan scan;
  scan.start = scan.next = start;
  scan.allowance = options.checkAllowance;

  int64_t pos = start;                 // the next byte to read
  const uint8_t* carry = nullptr;      // bytes from keepFrom to pos, kept for the next view
  int64_t keepFrom = start;
  if (cached.data && cached.start <= start && start < cached.start + cached.length) {
    const int64_t viewEnd = std::min(cached.start + cached.length, end);
    const uint8_t* base = cached.data + (start - cached.start);
    const int64_t q = ScanView(base, start, viewEnd, scan, sink);
    if (q >= 0) return q;
    pos = viewEnd;
    keepFrom = scan.linear ? pos - scan.matched : scan.next;
    if (!sink.Passed(keepFrom, base, start)) return -2;
    carry = base + (keepFrom - start);
  }

  const int64_t blockSize = std::max<int64_t>(options.blockSize, 1);
  int64_t chunk = std::clamp<int64_t>(options.firstBlock, 1, blockSize);
  std::unique_ptr<uint8_t[]> buffer;
  int64_t capacity = 0;
  while (pos < end) {
    const int64_t keep = pos - keepFrom;
    const int64_t want = std::min(chunk, end - pos);
    if (keep + want > capacity) {
      // Grows with the blocks; only the kept bytes move over.
      std::unique_ptr<uint8_t[]> grown(new uint8_t[static_cast<size_t>(keep + want)]);
      if (keep > 0) std::memcpy(grown.get(), carry, static_cast<size_t>(keep));
      buffer = std::move(grown);
      capacity = keep + want;
    } else if (keep > 0) {
      std::memmove(buffer.get(), carry, static_cast<size_t>(keep));
    }
    const int64_t got = std::min(read(buffer.get() + keep, pos, want), want);
    if (got <= 0) break;  // the data ended early
    const int64_t viewStart = pos - keep;
    const int64_t viewEnd = pos + got;
    const int64_t q = ScanView(buffer.get(), viewStart, viewEnd, scan, sink);
    if (q >= 0) return q;
    pos = viewEnd;
    // The linear scan keeps the bytes of its partial match in view, so that
    // a match it completes later lies whole in one view.
    keepFrom = scan.linear ? pos - scan.matched : scan.next;
    if (!sink.Passed(keepFrom, buffer.get(), viewStart)) return -2;
    carry = buffer.get() + (keepFrom - viewStart);
    if (got < want) break;
    chunk = std::min(chunk * 2, blockSize);
  }
  return -1;
}

// base[0] is the byte at viewStart; the view ends before viewEnd. Tells the
// sink of each match; returns the one it stopped at, or -1.
int64_t PatternSearch::ScanView(const uint8_t* base, int64_t viewStart, int64_t viewEnd,
                                Scan& scan, MatchSink& sink) {
  const auto n = static_cast<int64_t>(pattern_.size());
  for (;;) {
    const int64_t q = ScanOnce(base, viewStart, viewEnd, scan);
    if (q < 0) return -1;
    if (!sink.Match(q, base, viewStart)) return q;
    if (scan.linear) {
      scan.linearPos = q + n;
      scan.matched = sink.nonOverlapping ? 0 : failure_[static_cast<size_t>(n - 1)];
    } else {
      scan.next = q + (sink.nonOverlapping ? n : 1);
    }
  }
}

int64_t PatternSearch::ScanOnce(const uint8_t* base, int64_t viewStart, int64_t viewEnd,
                                Scan& scan) {
  if (allAny_) {
    // Every place matches: the next start that fits.
    if (scan.next + static_cast<int64_t>(pattern_.size()) > viewEnd) return -1;
    return scan.next;
  }
  if (!scan.linear) {
    const int64_t to = viewEnd - static_cast<int64_t>(pattern_.size()) + 1;  // starts below it fit
    if (scan.next < to) {
      const int64_t q = FilterScan(base, viewStart, scan.next, to, scan);
      if (q >= 0) return q;
      if (!scan.linear) scan.next = to;
    }
    if (!scan.linear) return -1;
  }
  return LinearScan(base, viewStart, viewEnd, scan);
}

// Looks at the match starts from..to-1. Returns the first match, or -1 when
// there is none or when the linear scan takes over (scan.linear is then set
// and scan.linearPos is the first start not ruled out).
int64_t PatternSearch::FilterScan(const uint8_t* base, int64_t viewStart, int64_t from, int64_t to,
                                  Scan& scan) {
  const auto n = static_cast<int64_t>(pattern_.size());
  int64_t found = -1;
  // True when the search stops at offset at: a match, or too much checking.
  auto check = [&](int64_t at) {
    const int64_t position = viewStart + at;
    if (any_.empty() && scan.checked > scan.allowance + 2 * (position - scan.start)) {
      scan.linear = true;
      scan.linearPos = position;
      scan.matched = 0;
      return true;
    }
    scan.checked += n;
    if (!Matches(base + at)) return false;
    found = position;
    return true;
  };

  int64_t i = from - viewStart;
  const int64_t stop = to - viewStart;
  // The filter looks at the first and the last fixed byte of each start;
  // with the first byte fixed, the filtered byte is the start's own.
  const uint8_t* firsts = base + firstOff_;
  const int64_t lastOff = lastOff_ - firstOff_;
#if defined(__SSE2__)
  if (firstBytes_.size() <= 2 && lastBytes_.size() <= 2) {
    const uint8_t first[2] = {firstBytes_.front(), firstBytes_.back()};
    const uint8_t last[2] = {lastBytes_.front(), lastBytes_.back()};
    bool stopped = false;
    if (firstBytes_.size() == 1 && lastBytes_.size() == 1)
      i = FilterSse2<false>(firsts, i, stop, lastOff, first, last, check, stopped);
    else
      i = FilterSse2<true>(firsts, i, stop, lastOff, first, last, check, stopped);
    if (stopped) return found;
  }
#endif
  if (firstBytes_.size() <= 2 && lastBytes_.size() <= 2) {
    const uint8_t f0 = firstBytes_.front(), f1 = firstBytes_.back();
    const uint8_t l0 = lastBytes_.front(), l1 = lastBytes_.back();
    for (; i < stop; ++i) {
      const uint8_t a = firsts[i], b = firsts[i + lastOff];
      if ((a == f0 || a == f1) && (b == l0 || b == l1) && check(i)) return found;
    }
    return -1;
  }
  std::array<bool, 256> isFirst{}, isLast{};
  for (uint8_t b : firstBytes_) isFirst[b] = true;
  for (uint8_t b : lastBytes_) isLast[b] = true;
  for (; i < stop; ++i)
    if (isFirst[firsts[i]] && isLast[firsts[i + lastOff]] && check(i)) return found;
  return -1;
}

// Feeds the bytes from scan.linearPos to viewEnd through the pattern's
// failure function; each byte is looked at once, whatever the pattern.
int64_t PatternSearch::LinearScan(const uint8_t* base, int64_t viewStart, int64_t viewEnd,
                                  Scan& scan) {
  const auto n = static_cast<int64_t>(pattern_.size());
  if (failure_.empty()) {
    failure_.assign(pattern_.size(), 0);
    int32_t k = 0;
    for (int64_t q = 1; q < n; ++q) {
      while (k > 0 && pattern_[q] != pattern_[k]) k = failure_[k - 1];
      if (pattern_[q] == pattern_[k]) ++k;
      failure_[q] = k;
    }
  }
  const uint8_t* lower = AnsiLowerTable();
  int64_t j = scan.matched;
  for (int64_t p = scan.linearPos; p < viewEnd; ++p) {
    uint8_t c = base[p - viewStart];
    if (fold_) c = lower[c];
    while (j > 0 && pattern_[j] != c) j = failure_[j - 1];
    if (pattern_[j] == c && ++j == n) {
      scan.matched = j;
      scan.linearPos = p + 1;
      return p - n + 1;
    }
  }
  scan.matched = j;
  scan.linearPos = viewEnd;
  return -1;
}

}  // namespace bm
