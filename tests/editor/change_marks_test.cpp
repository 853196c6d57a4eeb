// The sparse change marks against a plain bit vector with a length.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "editor/change_marks.h"

namespace bm {
namespace {

// The bit set the marks stand for: one bool per position up to the length.
struct BitVector {
  std::vector<bool> bits;
  void Set(int32_t p, bool v) {
    if (p >= static_cast<int32_t>(bits.size())) bits.resize(static_cast<size_t>(p) + 1, false);
    bits[static_cast<size_t>(p)] = v;
  }
  void Cut(int32_t n) {
    if (static_cast<int32_t>(bits.size()) > n) bits.resize(static_cast<size_t>(std::max(n, 0)));
  }
  bool Get(int32_t p) const {
    return p >= 0 && p < static_cast<int32_t>(bits.size()) && bits[static_cast<size_t>(p)];
  }
};

TEST(ChangeMarks, AgreeWithABitVectorOnRandomEdits) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 rng(seed);
    auto pick = [&](int32_t lo, int32_t hi) {
      return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    ChangeMarks marks;
    BitVector plain;
    // Clusters around a few spots, so pages fill, empty and split at their edges.
    const int32_t spots[] = {0, 511, 512, 1023, 5000, 100000};
    for (int step = 0; step < 4000; ++step) {
      SCOPED_TRACE(::testing::Message() << "step " << step);
      const int32_t p = std::max(0, spots[pick(0, 5)] + pick(-600, 600));
      const int op = pick(0, 99);
      if (op < 55) {
        marks.Set(p, true);
        plain.Set(p, true);
      } else if (op < 90) {
        marks.Set(p, false);
        plain.Set(p, false);
      } else if (op < 99) {
        marks.Cut(p);
        plain.Cut(p);
      } else {
        marks.clear();
        plain.bits.clear();
      }
      ASSERT_EQ(marks.Length(), static_cast<int32_t>(plain.bits.size()));
      if (step % 500 == 0) {
        for (int32_t q = -1; q <= marks.Length() + 1; ++q)
          ASSERT_EQ(marks.Get(q), plain.Get(q)) << q;
      } else {
        for (int32_t q = p - 700; q <= p + 700; ++q) ASSERT_EQ(marks.Get(q), plain.Get(q)) << q;
      }
    }
  }
}

TEST(ChangeMarks, MemoryFollowsTheMarksNotTheirOffsets) {
  ChangeMarks marks;
  marks.Set(2'000'000'000, true);
  EXPECT_EQ(marks.Length(), 2'000'000'001);
  EXPECT_EQ(marks.PageCount(), 1u);
  // A cleared bit that empties its page frees it; a clear past the end keeps the length.
  marks.Set(2'000'000'000, false);
  EXPECT_EQ(marks.PageCount(), 0u);
  EXPECT_EQ(marks.Length(), 2'000'000'001);
  for (int32_t i = 0; i < 10000; ++i) marks.Set(i * 100'000, true);
  EXPECT_LE(marks.PageCount(), 10000u);
  marks.Cut(500'000'000);
  EXPECT_EQ(marks.PageCount(), 5000u);
}

}  // namespace
}  // namespace bm
