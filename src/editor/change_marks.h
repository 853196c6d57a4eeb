// The change marks: a growable bit set with a length, one bit per byte
// position, kept in small pages that exist only where a bit is set, so its
// memory follows the number of changed bytes and not their offsets.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>

namespace bm {

class ChangeMarks {
 public:
  // Positions 0 .. Length() - 1 have a bit; later ones count as clear.
  int64_t Length() const { return length_; }
  bool Get(int64_t position) const;
  // Sets or clears one bit, lengthening the set to position + 1 if needed.
  void Set(int64_t position, bool value);
  // Sets the bits of count positions from first, a page at a time.
  void SetRun(int64_t first, int64_t count);
  // Drops every bit from length on, when the set is longer.
  void Cut(int64_t length);
  void clear();

  // Number of pages holding set bits (for measuring).
  size_t PageCount() const { return pages_.size(); }
  bool operator==(const ChangeMarks&) const = default;

 private:
  static constexpr int kPageBits = 512;
  static constexpr int kWords = kPageBits / 64;
  using Page = std::array<uint64_t, kWords>;

  std::map<int64_t, Page> pages_;  // by position / kPageBits; never all clear
  int64_t length_ = 0;
};

}  // namespace bm
