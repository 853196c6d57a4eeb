// The scans behind the comparison: blocks of both documents side by side,
// equal stretches passed over with memcmp, the bytes looked at one by one
// only where a stretch differs.
#include "compare/diff_scan.h"

#include <algorithm>
#include <cstring>

namespace bm {

namespace {

constexpr int64_t kChunk = 4096;
constexpr int64_t kSmall = 64;

// The first i < n with a[i] != b[i], or n.
int64_t FirstMismatch(const uint8_t* a, const uint8_t* b, int64_t n) {
  int64_t i = 0;
  while (i < n) {
    const int64_t chunk = std::min(kChunk, n - i);
    if (std::memcmp(a + i, b + i, static_cast<size_t>(chunk)) != 0) {
      for (int64_t j = i; j < i + chunk; j += kSmall) {
        const int64_t small = std::min(kSmall, i + chunk - j);
        if (std::memcmp(a + j, b + j, static_cast<size_t>(small)) == 0) continue;
        for (int64_t k = j;; ++k)
          if (a[k] != b[k]) return k;
      }
    }
    i += chunk;
  }
  return n;
}

// The last i < n with a[i] != b[i], or -1.
int64_t LastMismatch(const uint8_t* a, const uint8_t* b, int64_t n) {
  int64_t end = n;
  while (end > 0) {
    const int64_t chunk = std::min(kChunk, end);
    const int64_t begin = end - chunk;
    if (std::memcmp(a + begin, b + begin, static_cast<size_t>(chunk)) != 0) {
      for (int64_t k = end - 1; k >= begin; --k)
        if (a[k] != b[k]) return k;
    }
    end = begin;
  }
  return -1;
}

// The first i < n with a[i] == b[i], or n; eight bytes at a time.
int64_t FirstMatch(const uint8_t* a, const uint8_t* b, int64_t n) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHighs = 0x8080808080808080ull;
  int64_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    const uint64_t d = x ^ y;
    if (((d - kOnes) & ~d & kHighs) != 0) break;  // some byte of d is zero
  }
  for (; i < n; ++i)
    if (a[i] == b[i]) return i;
  return n;
}

}  // namespace

DiffScanner::DiffScanner(CompareSide a, CompareSide b, int64_t blockSize)
    : a_(std::move(a)), b_(std::move(b)), blockSize_(std::max<int64_t>(blockSize, kSmall)) {}

void DiffScanner::SetSizes(int64_t sizeA, int64_t sizeB) {
  a_.size = std::max<int64_t>(sizeA, 0);
  b_.size = std::max<int64_t>(sizeB, 0);
}

int64_t DiffScanner::Extent() const { return std::max(a_.size, b_.size); }
int64_t DiffScanner::CommonSize() const { return std::min(a_.size, b_.size); }

int64_t DiffScanner::LoadBlock(int64_t position, int64_t count) {
  const int64_t n = std::min({count, blockSize_, CommonSize() - position});
  if (n <= 0) return 0;
  if (bufA_.size() < static_cast<size_t>(blockSize_)) {
    bufA_.resize(static_cast<size_t>(blockSize_));
    bufB_.resize(static_cast<size_t>(blockSize_));
  }
  const int64_t gotA = a_.read ? a_.read(position, n, bufA_.data()) : 0;
  const int64_t gotB = b_.read ? b_.read(position, n, bufB_.data()) : 0;
  return std::max<int64_t>(0, std::min(gotA, gotB));
}

bool DiffScanner::Differs(int64_t p) {
  if (p < 0 || p >= Extent()) return false;
  if (p >= CommonSize()) return true;
  if (LoadBlock(p, 1) < 1) return false;
  return bufA_[0] != bufB_[0];
}

int64_t DiffScanner::FirstDiff(int64_t from, int64_t to) {
  from = std::max<int64_t>(from, 0);
  to = std::min(to, Extent());
  const int64_t common = std::min(to, CommonSize());
  int64_t p = from;
  while (p < common) {
    const int64_t n = LoadBlock(p, common - p);
    if (n <= 0) break;  // unreadable: the rest of the common part counts as equal
    const int64_t i = FirstMismatch(bufA_.data(), bufB_.data(), n);
    if (i < n) return p + i;
    p += n;
  }
  const int64_t tail = std::max(from, CommonSize());
  return tail < to ? tail : -1;
}

int64_t DiffScanner::FirstEqual(int64_t from, int64_t to) {
  from = std::max<int64_t>(from, 0);
  to = std::min(to, Extent());
  const int64_t common = std::min(to, CommonSize());
  int64_t p = from;
  while (p < common) {
    const int64_t n = LoadBlock(p, common - p);
    if (n <= 0) return p;
    const int64_t i = FirstMatch(bufA_.data(), bufB_.data(), n);
    if (i < n) return p + i;
    p += n;
  }
  return std::max(from, to);
}

int64_t DiffScanner::LastDiff(int64_t from, int64_t to) {
  from = std::max<int64_t>(from, 0);
  to = std::min(to, Extent());
  if (to <= from) return -1;
  if (to > CommonSize()) return to - 1;
  int64_t end = to;
  while (end > from) {
    const int64_t begin = std::max(from, end - blockSize_);
    // What cannot be read counts as equal, as it does for the count.
    const int64_t n = LoadBlock(begin, end - begin);
    const int64_t i = n > 0 ? LastMismatch(bufA_.data(), bufB_.data(), n) : -1;
    if (i >= 0) return begin + i;
    end = begin;
  }
  return -1;
}

int64_t DiffScanner::RunStartBefore(int64_t from, int64_t to) {
  from = std::max<int64_t>(from, 0);
  int64_t end = std::min({to, CommonSize()});
  while (end > from) {
    const int64_t begin = std::max(from, end - blockSize_);
    const int64_t n = LoadBlock(begin, end - begin);
    if (n < end - begin) return end;
    for (int64_t k = n - 1; k >= 0; --k)
      if (bufA_[static_cast<size_t>(k)] == bufB_[static_cast<size_t>(k)]) return begin + k + 1;
    end = begin;
  }
  return std::min(from, to);
}

DiffRun DiffScanner::NextRun(int64_t from) {
  from = std::max<int64_t>(from, 0);
  const int64_t extent = Extent();
  // A run that began before from is not one that starts at or after it.
  int64_t p = from;
  if (from > 0 && Differs(from - 1)) p = FirstEqual(from, extent);
  const int64_t q = FirstDiff(p, extent);
  if (q < 0) return {};
  return {q, FirstEqual(q, extent) - q};
}

DiffRun DiffScanner::PreviousRun(int64_t before) {
  const int64_t q = LastDiff(0, std::min(before, Extent()));
  if (q < 0) return {};
  const int64_t s = RunStartBefore(0, q + 1);
  return {s, FirstEqual(s, Extent()) - s};
}

void DiffScanner::LineMask(int64_t start, int count, uint8_t* flags) {
  if (count <= 0) return;
  std::memset(flags, 0, static_cast<size_t>(count));
  const int64_t extent = Extent();
  const int64_t common = CommonSize();
  const int64_t first = std::max<int64_t>(start, 0);
  const int64_t n = first < common ? LoadBlock(first, start + count - first) : 0;
  for (int i = 0; i < count; ++i) {
    const int64_t p = start + i;
    if (p < 0 || p >= extent) continue;
    if (p >= common) flags[i] = 1;
    else if (p - first < n)
      flags[i] = bufA_[static_cast<size_t>(p - first)] != bufB_[static_cast<size_t>(p - first)];
  }
}

}  // namespace bm
