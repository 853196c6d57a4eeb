// ChangeMarks: pages of 512 bits in an ordered map.
#include "editor/change_marks.h"

#include <algorithm>

namespace bm {

namespace {

bool AllClear(const std::array<uint64_t, 8>& page) {
  return std::all_of(page.begin(), page.end(), [](uint64_t w) { return w == 0; });
}

}  // namespace

bool ChangeMarks::Get(int64_t position) const {
  if (position < 0 || position >= length_) return false;
  const auto it = pages_.find(position / kPageBits);
  if (it == pages_.end()) return false;
  const int bit = position % kPageBits;
  return (it->second[static_cast<size_t>(bit / 64)] >> (bit % 64) & 1) != 0;
}

void ChangeMarks::Set(int64_t position, bool value) {
  if (position < 0) return;
  if (position >= length_) length_ = position + 1;
  const int bit = position % kPageBits;
  const uint64_t mask = uint64_t{1} << (bit % 64);
  const size_t word = static_cast<size_t>(bit / 64);
  if (value) {
    pages_[position / kPageBits][word] |= mask;  // a new page starts clear
    return;
  }
  const auto it = pages_.find(position / kPageBits);
  if (it == pages_.end()) return;
  it->second[word] &= ~mask;
  if (AllClear(it->second)) pages_.erase(it);
}

void ChangeMarks::SetRun(int64_t first, int64_t count) {
  if (first < 0 || count <= 0) return;
  const int64_t end = int64_t{first} + count;
  if (end > length_) length_ = static_cast<int64_t>(end);
  for (int64_t p = first; p < end;) {
    const auto bit = static_cast<int>(p % kPageBits);
    const int64_t inPage = std::min<int64_t>(end - p, kPageBits - bit);
    Page& page = pages_[static_cast<int64_t>(p / kPageBits)];
    if (bit == 0 && inPage == kPageBits) {
      page.fill(~uint64_t{0});
    } else {
      for (int64_t b = bit; b < bit + inPage; ++b)
        page[static_cast<size_t>(b / 64)] |= uint64_t{1} << (b % 64);
    }
    p += inPage;
  }
}

void ChangeMarks::Cut(int64_t length) {
  length = std::max<int64_t>(0, length);
  if (length_ <= length) return;
  length_ = length;
  // Pages wholly past the end go; the page the end falls in keeps its lower bits.
  auto it = pages_.lower_bound(length / kPageBits);
  if (it != pages_.end() && it->first == length / kPageBits) {
    const int bits = length % kPageBits;
    Page& page = it->second;
    for (int w = 0; w < kWords; ++w) {
      const int low = w * 64;
      if (bits <= low)
        page[static_cast<size_t>(w)] = 0;
      else if (bits < low + 64)
        page[static_cast<size_t>(w)] &= (uint64_t{1} << (bits - low)) - 1;
    }
    it = AllClear(page) ? pages_.erase(it) : std::next(it);
  }
  pages_.erase(it, pages_.end());
}

void ChangeMarks::clear() {
  pages_.clear();
  length_ = 0;
}

}  // namespace bm
