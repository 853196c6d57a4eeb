// The bytes a fill writes: a pattern repeated from the start of the range,
// or random bytes, produced block by block at any offset of the range.
#pragma once
#include <cstdint>
#include <random>
#include <vector>

namespace bm {

class FillPattern {
 public:
  // The pattern repeated; it must not be empty.
  static FillPattern Repeat(std::vector<uint8_t> pattern);
  // Random bytes from a generator seeded with seed.
  static FillPattern Random(uint64_t seed);

  // Writes the n bytes that belong at offsets at .. at + n - 1 of the range.
  // A random fill must be asked for its bytes in order.
  void Generate(uint8_t* to, int64_t at, int64_t n);
  bool IsRandom() const { return pattern_.empty(); }
  const std::vector<uint8_t>& Pattern() const { return pattern_; }

 private:
  std::vector<uint8_t> pattern_;
  std::mt19937_64 random_;
};

}  // namespace bm
