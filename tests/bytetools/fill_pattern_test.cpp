// Fill bytes asked for at any offset and in any pieces.
#include <gtest/gtest.h>

#include <random>

#include "bytetools/fill_pattern.h"

namespace bm {
namespace {

// Pieces that start mid-pattern and end mid-pattern, against the pattern
// repeated from offset 0.
TEST(FillPatternTest, RepeatsFromTheStartOfTheRange) {
  std::mt19937 random(3);
  for (std::vector<uint8_t> pattern :
       {std::vector<uint8_t>{0x00}, {0xDE, 0xAD}, {0xDE, 0xAD, 0xBE, 0xEF}, {1, 2, 3, 4, 5, 6, 7}}) {
    FillPattern fill = FillPattern::Repeat(pattern);
    const int64_t total = 1000;
    std::vector<uint8_t> got(total);
    for (int64_t done = 0; done < total;) {
      const int64_t n = std::min<int64_t>(total - done, random() % 40 + 1);
      fill.Generate(got.data() + done, done, n);
      done += n;
    }
    for (int64_t i = 0; i < total; ++i)
      ASSERT_EQ(got[static_cast<size_t>(i)], pattern[static_cast<size_t>(i) % pattern.size()])
          << "pattern of " << pattern.size() << " at " << i;
  }
  std::vector<uint8_t> five(5);
  FillPattern::Repeat({0xDE, 0xAD}).Generate(five.data(), 0, 5);
  EXPECT_EQ(five, (std::vector<uint8_t>{0xDE, 0xAD, 0xDE, 0xAD, 0xDE}));
  EXPECT_THROW(FillPattern::Repeat({}), std::invalid_argument);
}

TEST(FillPatternTest, RandomBytesFollowTheSeed) {
  std::vector<uint8_t> a(1001), b(1001), c(1001);
  FillPattern one = FillPattern::Random(42), two = FillPattern::Random(42), other = FillPattern::Random(43);
  one.Generate(a.data(), 0, 1001);
  two.Generate(b.data(), 0, 1001);
  other.Generate(c.data(), 0, 1001);
  EXPECT_TRUE(one.IsRandom());
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  // Not one repeated byte.
  EXPECT_NE(std::count(a.begin(), a.end(), a[0]), 1001);
}

}  // namespace
}  // namespace bm
