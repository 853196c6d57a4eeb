// Backward search, wildcards and counting against a naive scan, on the
// editor with small blocks, in every character set; and hex codes with "??".
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "editor/byte_editor.h"
#include "editor/search_backward.h"
#include "editor/search_pattern.h"
#include "platform/codepage.h"
#include "support/editor_fixture.h"

namespace bm::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// Whether the pattern matches at q: wildcards match anything, the other
// bytes after folding the data byte.
bool MatchesAt(const Bytes& data, const Bytes& pattern, const Bytes& any, size_t q, bool fold) {
  for (size_t k = 0; k < pattern.size(); ++k) {
    if (!any.empty() && any[k]) continue;
    uint8_t b = data[q + k];
    if (fold) AnsiLowerBuff(&b, 1);
    if (b != pattern[k]) return false;
  }
  return true;
}

// All match starts, in order, overlapping ones included.
std::vector<int64_t> AllMatches(const Bytes& data, const Bytes& pattern, const Bytes& any,
                                bool fold) {
  std::vector<int64_t> at;
  for (size_t q = 0; !pattern.empty() && q + pattern.size() <= data.size(); ++q)
    if (MatchesAt(data, pattern, any, q, fold)) at.push_back(static_cast<int64_t>(q));
  return at;
}

int64_t NonOverlapping(const std::vector<int64_t>& matches, int64_t n) {
  int64_t count = 0, next = 0;
  for (int64_t q : matches)
    if (q >= next) ++count, next = q + n;
  return count;
}

class DirectionsTest : public ::testing::TestWithParam<uint32_t>, public EditorFixture {
 protected:
  int64_t Pick(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); }
  std::mt19937 rng;
};

TEST_P(DirectionsTest, ForwardBackwardAndCountAgreeWithANaiveScan) {
  const uint32_t seed = GetParam();
  rng.seed(seed);
  const TTranslationType sets[] = {ttAnsi, ttDos8, ttASCII, ttMac, ttEBCDIC};
  // Letters in both cases, Cyrillic included, and bytes the sets convert.
  const Bytes alphabets[] = {{'a', 'A', 'b'}, {0xC0, 0xE0, 0xC1}, {'a', 0x80, 0xF0}, {0, 1}};
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed << " round " << round);
    const TTranslationType set = sets[Pick(0, 4)];
    const Bytes& alphabet = alphabets[Pick(0, 3)];
    ed.SetSearchBlocks(static_cast<int32_t>(Pick(1, 8)), static_cast<int32_t>(Pick(8, 64)));
    // The typed text and the data bytes it stands for.
    Bytes typed(static_cast<size_t>(Pick(1, 6)));
    for (auto& b : typed) b = alphabet[Pick(0, alphabet.size() - 1)];
    Bytes pattern(typed.size());
    TByteEditor::TextToDataBytes(set, typed.data(), pattern.data(), static_cast<int32_t>(typed.size()));
    const bool fold = Pick(0, 1) == 1;
    const bool wild = Pick(0, 2) == 0;
    Bytes any;
    if (wild) {
      any.assign(pattern.size(), 0);
      for (auto& a : any) a = Pick(0, 2) == 0;
    }
    // Data from the pattern's bytes and the alphabet's, so matches are frequent.
    Bytes data(static_cast<size_t>(Pick(1, 400)));
    for (auto& b : data)
      b = Pick(0, 1) ? pattern[Pick(0, pattern.size() - 1)] : alphabet[Pick(0, alphabet.size() - 1)];
    Load(data);
    ed.SetTranslation(set);
    Bytes folded = pattern;
    if (fold) AnsiLowerBuff(folded.data(), folded.size());
    const auto matches = AllMatches(data, folded, any, fold);
    const auto n = static_cast<int32_t>(pattern.size());
    const auto size = static_cast<int32_t>(data.size());
    const uint8_t* anyFlags = wild ? any.data() : nullptr;

    // Each search gets the typed text and converts it, as Find does.
    auto text = [&] { return typed; };
    for (int probe = 0; probe < 6; ++probe) {
      const auto start = static_cast<int32_t>(Pick(-2, size + 1));
      Bytes t = text();
      const auto forward = std::lower_bound(matches.begin(), matches.end(), std::max(start, 0));
      EXPECT_EQ(ed.FindData(t.data(), n, start, size - 1, fold, true, anyFlags),
                forward == matches.end() ? -1 : *forward)
          << "forward from " << start;
      EXPECT_EQ(t, folded) << "converted in place";
      const auto first = static_cast<int32_t>(Pick(-1, 3));
      t = text();
      auto backward = std::upper_bound(matches.begin(), matches.end(), start);
      const int64_t expected =
          (backward == matches.begin() || *std::prev(backward) < std::max(first, 0)) ? -1
                                                                                     : *std::prev(backward);
      EXPECT_EQ(ed.FindDataBackward(t.data(), n, start, first, fold, true, anyFlags), expected)
          << "backward from " << start << " down to " << first;
    }
    // The chain Find previous walks from the end.
    std::vector<int64_t> walked;
    Bytes t = folded;
    for (int32_t q = ed.FindDataBackward(t.data(), n, size, 0, fold, false, anyFlags); q >= 0;
         q = ed.FindDataBackward(t.data(), n, q - 1, 0, fold, false, anyFlags))
      walked.insert(walked.begin(), q);
    EXPECT_EQ(walked, matches);

    t = text();
    EXPECT_EQ(ed.CountData(t.data(), n, 0, size - 1, fold, true, anyFlags, true),
              static_cast<int64_t>(matches.size()));
    t = folded;
    EXPECT_EQ(ed.CountData(t.data(), n, 0, size - 1, fold, false, anyFlags, false),
              NonOverlapping(matches, n));
    if (HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, DirectionsTest, ::testing::Range(1u, 6u));

TEST(SearchPatternTest, WildcardsAndBlanksOnlyChangeWhatHasWildcards) {
  auto codes = [](const char* text) { return ParseCodePattern(text); };
  // Without "??" the reading is the one Find has always had.
  EXPECT_EQ(codes("41 42 43").bytes, (Bytes{0x41, 0x42, 0x43}));
  EXPECT_EQ(codes("1 2 3").bytes, (Bytes{0x01, 0x23}));
  EXPECT_EQ(codes("0x41").bytes, (Bytes{0x00, 0x41}));
  EXPECT_FALSE(codes("4142 43 zz").HasWildcards());
  // With them: each "??" one byte, blanks separate the runs of digits.
  const SearchPattern mz = codes("4D 5A ?? ?? 50 45");
  EXPECT_EQ(mz.bytes, (Bytes{0x4D, 0x5A, 0, 0, 0x50, 0x45}));
  EXPECT_EQ(mz.any, (Bytes{0, 0, 1, 1, 0, 0}));
  const SearchPattern odd = codes("4d5a??5 45");
  EXPECT_EQ(odd.bytes, (Bytes{0x4D, 0x5A, 0, 0x05, 0x45}));
  EXPECT_EQ(odd.any, (Bytes{0, 0, 1, 0, 0}));
  EXPECT_EQ(codes("???").any, (Bytes{1})) << "a lone ? is dropped";
  EXPECT_EQ(codes("?").bytes, Bytes{}) << "no wildcard without a pair";
  EXPECT_EQ(ParseHexCodes("ab C"), (Bytes{0x0A, 0xBC}));
}

class WildcardEditorTest : public ::testing::Test, public EditorFixture {};

TEST_F(WildcardEditorTest, HeadersWildcardsOnlyAndLongRunsBackwards) {
  Bytes data(200, 0x00);
  const Bytes header = {0x4D, 0x5A, 0x90, 0x00, 0x50, 0x45};
  std::copy(header.begin(), header.end(), data.begin() + 70);
  std::copy(header.begin(), header.end(), data.begin() + 150);
  data[152] = 0x12, data[153] = 0x34;  // other bytes in the wildcards' place
  Load(data);
  SearchPattern mz = ParseCodePattern("4D 5A ?? ?? 50 45");
  EXPECT_EQ(ed.FindData(mz.bytes.data(), 6, 0, 199, false, false, mz.AnyFlags()), 70);
  EXPECT_EQ(ed.FindData(mz.bytes.data(), 6, 71, 199, false, false, mz.AnyFlags()), 150);
  EXPECT_EQ(ed.FindDataBackward(mz.bytes.data(), 6, 149, 0, false, false, mz.AnyFlags()), 70);
  // Wildcards only: the match is where the search begins.
  SearchPattern all = ParseCodePattern("?? ??");
  EXPECT_EQ(ed.FindData(all.bytes.data(), 2, 33, 199, false, false, all.AnyFlags()), 33);
  EXPECT_EQ(ed.FindDataBackward(all.bytes.data(), 2, 33, 0, false, false, all.AnyFlags()), 33);
  EXPECT_EQ(ed.FindData(all.bytes.data(), 2, 199, 199, false, false, all.AnyFlags()), -1);
  EXPECT_EQ(ed.FindDataBackward(all.bytes.data(), 2, 199, 0, false, false, all.AnyFlags()), 198)
      << "the match must end in the data";
  EXPECT_EQ(ed.CountData(all.bytes.data(), 2, 0, 199, false, false, all.AnyFlags(), false), 100);

  // Near matches everywhere, across many blocks: the linear scan's answer.
  Bytes runs(50000, 'a');
  runs[123] = 'b';
  runs[49990] = 'b';
  Load(runs);
  ed.SetSearchBlocks(64, 4096);
  Bytes pattern(300, 'a');
  pattern.back() = 'b';
  EXPECT_EQ(ed.FindDataBackward(pattern.data(), 300, 49999, 0, false, false), 49990 - 299);
  EXPECT_EQ(ed.FindDataBackward(pattern.data(), 300, 49990 - 300, 0, false, false), -1);
  EXPECT_EQ(ed.CountData(pattern.data(), 300, 0, 49999, false, false, nullptr, true), 1);

}

}  // namespace
}  // namespace bm::testing
