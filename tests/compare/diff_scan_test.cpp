// The comparison's runs, next and previous, counts and line masks against a
// plain model on random pairs of buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "compare/diff_count.h"
#include "compare/diff_scan.h"

namespace bm {
namespace {

using Bytes = std::vector<uint8_t>;

CompareSide SideOf(const Bytes& data) {
  CompareSide side;
  side.size = static_cast<int64_t>(data.size());
  side.read = [&data](int64_t position, int64_t count, uint8_t* out) -> int64_t {
    if (position < 0 || position >= static_cast<int64_t>(data.size())) return 0;
    const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(data.size()) - position);
    std::memcpy(out, data.data() + position, static_cast<size_t>(n));
    return n;
  };
  return side;
}

// The model: one flag a position of the longer buffer.
std::vector<bool> Differences(const Bytes& a, const Bytes& b) {
  std::vector<bool> d(std::max(a.size(), b.size()));
  for (size_t i = 0; i < d.size(); ++i)
    d[i] = i >= a.size() || i >= b.size() || a[i] != b[i];
  return d;
}

std::vector<DiffRun> Runs(const std::vector<bool>& d) {
  std::vector<DiffRun> runs;
  for (size_t i = 0; i < d.size(); ++i) {
    if (!d[i]) continue;
    if (i > 0 && d[i - 1]) ++runs.back().length;
    else runs.push_back({static_cast<int64_t>(i), 1});
  }
  return runs;
}

// Checks every query of the scanner against the model, at every position.
void CheckAgainstModel(const Bytes& a, const Bytes& b, int64_t block, const std::string& what) {
  SCOPED_TRACE(what + " block " + std::to_string(block) + " sizes " + std::to_string(a.size()) +
               "/" + std::to_string(b.size()));
  DiffScanner scanner(SideOf(a), SideOf(b), block);
  const std::vector<bool> d = Differences(a, b);
  const std::vector<DiffRun> runs = Runs(d);
  int64_t bytes = std::count(d.begin(), d.end(), true);

  EXPECT_EQ(CountDiffs(scanner), (DiffCount{bytes, static_cast<int64_t>(runs.size())}));
  // The same count in slices of odd sizes.
  DiffCounter counter(scanner);
  counter.Restart();
  int steps = 0;
  while (!counter.Step(37)) ASSERT_LT(++steps, 100000);
  EXPECT_EQ(counter.Result(), (DiffCount{bytes, static_cast<int64_t>(runs.size())}));

  const int64_t extent = static_cast<int64_t>(d.size());
  for (int64_t from = -1; from <= extent + 1; ++from) {
    DiffRun next;
    for (const DiffRun& r : runs)
      if (r.start >= from) {
        next = r;
        break;
      }
    ASSERT_EQ(scanner.NextRun(from), next) << "next from " << from;
    DiffRun previous;
    for (const DiffRun& r : runs)
      if (r.start < from) previous = r;
    ASSERT_EQ(scanner.PreviousRun(from), previous) << "previous before " << from;
  }

  for (int64_t start = -3; start < extent + 3; start += 5) {
    std::vector<uint8_t> flags(16, 7);
    scanner.LineMask(start, 16, flags.data());
    for (int i = 0; i < 16; ++i) {
      const int64_t p = start + i;
      const bool expected = p >= 0 && p < extent && d[static_cast<size_t>(p)];
      ASSERT_EQ(flags[i] != 0, expected) << "mask at " << p;
    }
  }
}

Bytes Random(std::mt19937& rng, size_t n) {
  Bytes out(n);
  for (uint8_t& v : out) v = static_cast<uint8_t>(rng());
  return out;
}

TEST(DiffScan, MatchesTheModelOnRandomPairs) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 60; ++round) {
    const size_t n = rng() % 300;
    Bytes a = Random(rng, n);
    Bytes b = a;
    const std::string seed = "round " + std::to_string(round);
    switch (round % 6) {
      case 0: break;  // equal
      case 1:
        if (n > 0) b[rng() % n] ^= 0x01;  // one byte apart
        break;
      case 2:  // scattered changes and runs, some touching the ends
        for (int k = 0; k < 12 && n > 0; ++k) {
          const size_t at = rng() % n;
          const size_t len = 1 + rng() % 9;
          for (size_t i = at; i < std::min(n, at + len); ++i) b[i] = static_cast<uint8_t>(~a[i]);
        }
        break;
      case 3:  // longer or shorter, with a difference at the seam
        b.resize(n + 1 + rng() % 40, 0x55);
        if (n > 0 && rng() % 2) b[n - 1] ^= 0xFF;
        std::swap(a, b);
        break;
      case 4:  // all different
        for (uint8_t& v : b) v = static_cast<uint8_t>(~v);
        break;
      case 5:  // one of them empty
        b.clear();
        break;
    }
    for (int64_t block : {64, 65, 1 << 20}) CheckAgainstModel(a, b, block, seed);
  }
}

TEST(DiffScan, NextAndPreviousAtBothEnds) {
  Bytes a(200, 0x11);
  Bytes b = a;
  b[0] = 0;    // a run at the very start
  b[199] = 0;  // and one at the very end
  DiffScanner scanner(SideOf(a), SideOf(b), 64);
  EXPECT_EQ(scanner.NextRun(0), (DiffRun{0, 1}));
  EXPECT_EQ(scanner.NextRun(1), (DiffRun{199, 1}));
  EXPECT_FALSE(scanner.NextRun(200).Found());
  EXPECT_EQ(scanner.PreviousRun(200), (DiffRun{199, 1}));
  EXPECT_EQ(scanner.PreviousRun(199), (DiffRun{0, 1}));
  EXPECT_FALSE(scanner.PreviousRun(0).Found());

  // Appended bytes join a run that reaches the end of the shorter one.
  b.resize(204, 0x22);
  scanner.SetSizes(200, 204);
  EXPECT_EQ(scanner.NextRun(1), (DiffRun{199, 5}));
  EXPECT_EQ(scanner.PreviousRun(204), (DiffRun{199, 5}));
  EXPECT_EQ(scanner.PreviousRun(202), (DiffRun{199, 5}));
  EXPECT_EQ(CountDiffs(scanner), (DiffCount{6, 2}));
}

TEST(DiffScan, AShortReadCountsTheRestAsEqualInsteadOfLooping) {
  Bytes a(1000, 1), b(1000, 2);
  CompareSide failing = SideOf(a);
  failing.read = [](int64_t position, int64_t count, uint8_t* out) -> int64_t {
    if (position >= 100) return 0;  // the file was truncated under us
    const int64_t n = std::min<int64_t>(count, 100 - position);
    std::memset(out, 1, static_cast<size_t>(n));
    return n;
  };
  DiffScanner scanner(failing, SideOf(b), 64);
  EXPECT_EQ(CountDiffs(scanner), (DiffCount{100, 1}));
  EXPECT_EQ(scanner.NextRun(1), DiffRun{});
  EXPECT_EQ(scanner.PreviousRun(1000).start, 0);
}

}  // namespace
}  // namespace bm
