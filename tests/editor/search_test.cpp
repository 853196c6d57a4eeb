// The forward search: the block-wise engine against a plain scan written
// here, and FindData's conversions, limits, busy cursor and read window.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "editor/byte_editor.h"
#include "editor/search_engine.h"
#include "platform/codepage.h"
#include "platform/posix/posix_files.h"
#include "support/editor_fixture.h"

namespace bm::testing {
namespace {

using Bytes = std::vector<uint8_t>;

uint8_t Lower(uint8_t b) {
  AnsiLowerBuff(&b, 1);
  return b;
}

// Every start in turn, every byte compared.
int64_t PlainFind(const Bytes& data, const Bytes& pattern, int64_t start, int64_t last, bool fold) {
  const auto n = static_cast<int64_t>(pattern.size());
  last = std::min<int64_t>(last, static_cast<int64_t>(data.size()) - 1);
  for (int64_t q = std::max<int64_t>(start, 0); n > 0 && q + n - 1 <= last; ++q) {
    int64_t k = 0;
    while (k < n && (fold ? Lower(data[q + k]) : data[q + k]) == pattern[k]) ++k;
    if (k == n) return q;
  }
  return -1;
}

class SearchModelTest : public ::testing::TestWithParam<uint32_t> {
 protected:
  int64_t Pick(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); }
  bool Chance(int percent) { return Pick(0, 99) < percent; }

  // Small alphabets, so that matches and partial matches are frequent; some
  // hold both cases of a Latin or Cyrillic letter.
  Bytes Alphabet() {
    static const std::vector<Bytes> kAlphabets = {
        {0x41, 0x42},       {0x41, 0x42, 0x43},  {0x41, 0x61, 0x42, 0x62},
        {0xC0, 0xE0, 0xDF}, {0xA8, 0xB8, 0x41},  {0x00, 0xFF},
    };
    if (Chance(15)) {
      Bytes all(256);
      for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
      return all;
    }
    return kAlphabets[static_cast<size_t>(Pick(0, kAlphabets.size() - 1))];
  }
  Bytes Random(const Bytes& alphabet, int64_t n) {
    Bytes b(static_cast<size_t>(n));
    for (auto& v : b) v = alphabet[static_cast<size_t>(Pick(0, alphabet.size() - 1))];
    return b;
  }
  Bytes MakePattern(const Bytes& data, const Bytes& alphabet, bool fold) {
    Bytes p;
    const int choice = static_cast<int>(Pick(0, 3));
    if (choice == 0 && data.size() > 2) {  // a piece of the data
      const int64_t n = Pick(1, std::min<int64_t>(40, data.size() - 1));
      const int64_t at = Pick(0, data.size() - n);
      p.assign(data.begin() + at, data.begin() + at + n);
    } else if (choice == 1) {  // a repeated prefix: 41 41 ... 42
      p.assign(static_cast<size_t>(Pick(1, 30)), alphabet[0]);
      p.push_back(alphabet.back());
    } else {
      p = Random(alphabet, Pick(1, Chance(20) ? 70 : 8));
    }
    if (fold && Chance(80)) AnsiLowerBuff(p.data(), p.size());
    return p;
  }

  std::mt19937 rng;
};

TEST_P(SearchModelTest, BlockSearchAgreesWithAPlainScan) {
  const uint32_t seed = GetParam();
  rng.seed(seed);
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed << " round " << round);
    const Bytes alphabet = Alphabet();
    const Bytes data = Random(alphabet, Pick(0, Chance(10) ? 5000 : 300));
    const auto size = static_cast<int64_t>(data.size());
    const bool fold = Chance(50);
    const Bytes pattern = MakePattern(data, alphabet, fold);
    const auto n = static_cast<int64_t>(pattern.size());

    SearchOptions options;
    options.blockSize = Pick(1, 64);
    options.firstBlock = Pick(1, options.blockSize);
    const int64_t allowances[] = {0, 16, 4096};
    options.checkAllowance = allowances[Pick(0, 2)];
    SearchSpan cached;
    if (size > 0 && Chance(50)) {
      cached.start = Pick(0, size - 1);
      cached.length = Pick(1, size - cached.start);
      cached.data = data.data() + cached.start;
    }

    int64_t lastAsked = -1;
    const SearchReader read = [&](uint8_t* buffer, int64_t position, int64_t count) -> int64_t {
      EXPECT_GE(position, 0);
      EXPECT_GE(count, 1);
      EXPECT_LE(position + count, lastAsked + 1) << "read past last";
      const int64_t got = std::clamp<int64_t>(size - position, 0, count);
      std::copy_n(data.begin() + position, got, buffer);
      return got;
    };
    PatternSearch search(pattern.data(), n, fold);
    auto check = [&](int64_t start, int64_t last) {
      lastAsked = last;
      const int64_t got = search.Find(start, last, read, cached, options);
      EXPECT_EQ(got, PlainFind(data, pattern, start, last, fold))
          << "start " << start << " last " << last << " n " << n << " size " << size;
      return got;
    };

    for (int64_t start : {int64_t{-5}, int64_t{0}, Pick(0, size), size - n, size - n + 1})
      check(start, size - 1);
    check(Pick(-2, size), Pick(-1, size + 3));  // last beyond the data: short reads
    // Find next's chain: every match after the first, overlapping ones too.
    for (int64_t q = check(0, size - 1), steps = 0; q >= 0 && steps < 50; ++steps) {
      check(0, q + n - 1);  // the match ends exactly on last
      check(0, q + n - 2);  // one byte past it
      q = check(q + 1, size - 1);
    }
    if (HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SearchModelTest, ::testing::Range(1u, 9u));

// ---- FindData on the editor ------------------------------------------------------------------

class FindDataTest : public ::testing::Test, public EditorFixture {
 protected:
  int32_t Find(Bytes& pattern, int32_t start, bool ignoreCase, bool translate,
               int32_t last = INT32_MAX) {
    return ed.FindData(pattern.data(), static_cast<int32_t>(pattern.size()), start, last,
                       ignoreCase, translate);
  }
  static Bytes B(const char* text) { return Bytes(text, text + std::char_traits<char>::length(text)); }
};

TEST_F(FindDataTest, CaseLimitsAndRestartsOfTheSearch) {
  Load(B("xxabcxxAAAB"));
  Bytes abc = B("ABC");
  EXPECT_EQ(Find(abc, 0, true, false), 2);
  EXPECT_EQ(abc, B("abc")) << "the pattern is lowered in place";
  Bytes upper = B("ABC");
  EXPECT_EQ(Find(upper, 0, false, false), -1);
  Bytes aab = B("AAB");
  EXPECT_EQ(Find(aab, 0, false, false), 8) << "restart after the partial match at 7";
  EXPECT_EQ(Find(aab, -5, false, false), 8);
  EXPECT_EQ(Find(aab, 8, false, false), 8) << "start = DataSize - n";
  EXPECT_EQ(Find(aab, 9, false, false), -1) << "start = DataSize - n + 1";
  EXPECT_EQ(Find(aab, 0, false, false, 10), 8) << "the match ends on last";
  EXPECT_EQ(Find(aab, 0, false, false, 9), -1) << "a match that would end after last";
  Bytes empty;
  EXPECT_EQ(Find(empty, 0, false, false), -1);

  // Windows-1251 Cyrillic folds: А..Я (C0..DF) onto а..я (E0..FF), Ё (A8) onto ё (B8).
  Load({0x20, 0xC0, 0xDF, 0xA8, 0x20, 0xE0, 0xFF, 0xB8});
  Bytes cyr = {0xE0, 0xFF, 0xB8};
  EXPECT_EQ(Find(cyr, 0, true, false), 1);
  EXPECT_EQ(Find(cyr, 2, true, false), 5);
  Bytes cyrUpper = {0xC0, 0xDF, 0xA8};
  EXPECT_EQ(Find(cyrUpper, 2, false, false), -1);
  EXPECT_EQ(Find(cyrUpper, 2, true, false), 5);
  EXPECT_EQ(cyrUpper, cyr);
}

TEST_F(FindDataTest, TypedTextIsSearchedAsTheDataBytesOfTheCharacterSet) {
  std::mt19937 rng(7);
  Bytes data(3000);
  for (auto& b : data) b = static_cast<uint8_t>(rng() % 8 + 0xC0);  // few letters, often repeated
  for (TTranslationType set : {ttDos8, ttASCII, ttMac, ttEBCDIC}) {
    SCOPED_TRACE(static_cast<int>(set));
    ed.SetTranslation(ttAnsi);
    Bytes text = {0xC1, 0xC2, 0x41};  // "БВA" as typed
    Bytes expected(text.size());
    TByteEditor::TextToDataBytes(set, text.data(), expected.data(), 3);
    Bytes stored = data;
    for (size_t at : {100u, 101u, 2997u}) std::copy(expected.begin(), expected.end(), stored.begin() + at);
    Load(stored);
    ed.SetTranslation(set);
    EXPECT_EQ(Find(text, 0, false, true), PlainFind(stored, expected, 0, 2999, false));
    EXPECT_EQ(text, expected) << "converted in place";
    // Find next with the converted buffer and no translation finds the rest.
    EXPECT_EQ(Find(text, 101, false, false), 101);
    EXPECT_EQ(Find(text, 102, false, false), 2997);
    EXPECT_EQ(text, expected);
  }
  Load(B("..\xC1.."));
  ed.SetTranslation(ttEBCDIC);
  Bytes a = B("A");
  EXPECT_EQ(Find(a, 0, false, true), 2);
  // A pattern that cannot fit is converted all the same.
  Bytes late = B("A");
  EXPECT_EQ(Find(late, 5, false, true), -1);
  EXPECT_EQ(late, Bytes{0xC1});
}

// Small blocks and a read window anywhere: the search reads the rest of the
// working copy past block boundaries and leaves a window that is true to it.
TEST_F(FindDataTest, BlocksAndTheReadWindowAgreeWithAPlainScan) {
  std::mt19937 rng(11);
  Bytes data(150000);
  for (auto& b : data) b = static_cast<uint8_t>("AaB"[rng() % 3]);
  Load(data);
  const auto size = static_cast<int32_t>(data.size());
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(round);
    ed.SetSearchBlocks(static_cast<int32_t>(rng() % 3000 + 1), static_cast<int32_t>(rng() % 9000 + 3000));
    if (rng() % 3 != 0) ed.EnsureReadWindow(static_cast<int32_t>(rng() % size));
    const bool fold = rng() % 2 == 0;
    Bytes pattern(rng() % 14 + 1);
    for (auto& b : pattern) b = static_cast<uint8_t>("AaB"[rng() % 3]);
    const int32_t start = static_cast<int32_t>(rng() % size);
    const int32_t q = Find(pattern, start, fold, false);
    ASSERT_EQ(q, PlainFind(data, pattern, start, size - 1, fold)) << "start " << start;
    const int32_t examined = q >= 0 ? q + static_cast<int32_t>(pattern.size()) - 1 : size - 1;
    const int64_t w = ed.ReadWindowStart();
    ASSERT_TRUE(w >= 0 && w <= examined && examined < w + kReadWindowSize);
    const int64_t held = std::min<int64_t>(kReadWindowSize, size - w);
    ASSERT_TRUE(std::equal(ed.ReadWindow(), ed.ReadWindow() + held, data.begin() + w));
  }
  EXPECT_FALSE(host.busy);
}

// A stream whose reads fail once armed, as on a failing disk.
class FailingReads : public FileStream {
 public:
  FailingReads(std::unique_ptr<FileStream> inner, const bool& fail) : inner_(std::move(inner)), fail_(fail) {}
  int64_t Position() const override { return inner_->Position(); }
  void Seek(int64_t p) override { inner_->Seek(p); }
  int64_t Read(void* b, int64_t n) override {
    if (fail_) throw FileError("Input/output error");
    return inner_->Read(b, n);
  }
  void Write(const void* b, int64_t n) override { inner_->Write(b, n); }
  int64_t Size() override { return inner_->Size(); }
  void SetSize(int64_t s) override { inner_->SetSize(s); }

 private:
  std::unique_ptr<FileStream> inner_;
  const bool& fail_;
};

TEST(FindDataErrors, TheBusyCursorGoesWhenAReadFailsAndNoStaleWindowIsLeft) {
  TempDir tmp;
  struct Files : PosixFileSystem {
    using PosixFileSystem::PosixFileSystem;
    std::unique_ptr<FileStream> OpenReadWrite(const std::string& path) override {
      return std::make_unique<FailingReads>(PosixFileSystem::OpenReadWrite(path), fail);
    }
    // Loaded by a copy into the store, whose reads then fail.
    std::unique_ptr<LoadSource> OpenForLoad(const std::string& path) override {
      return FileSystem::OpenForLoad(path);
    }
    bool fail = false;
  } files(tmp.Path());
  FakeWindowHost host;
  TByteEditor ed(&host, files);
  host.client = &ed;
  ed.Loaded();
  ASSERT_TRUE(ed.LoadFromFile(tmp.Write("data.bin", Pattern(200000))));
  ed.EnsureReadWindow(0);
  uint8_t pattern[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  files.fail = true;
  const int calls = host.busyCalls;
  EXPECT_THROW(ed.FindData(pattern, 9, 0, INT32_MAX, false, false), FileError);
  EXPECT_FALSE(host.busy);
  EXPECT_EQ(host.busyCalls, calls + 2);
  // The window still holds its old, true bytes or none at all.
  if (ed.ReadWindowStart() != -1) {
    EXPECT_EQ(ed.ReadWindowStart(), 0);
    const Bytes head = Pattern(200000);
    EXPECT_TRUE(std::equal(ed.ReadWindow(), ed.ReadWindow() + kReadWindowSize, head.begin()));
  }
  // A window load that fails leaves no window rather than a half-read one.
  EXPECT_THROW(ed.EnsureReadWindow(150000), FileError);
  EXPECT_EQ(ed.ReadWindowStart(), -1);
}

}  // namespace
}  // namespace bm::testing
