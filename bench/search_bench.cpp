// FindData on a 1 GiB document of random data against memmem over the
// same bytes already in memory: an absent 8-byte pattern and one that occurs
// every 4 KiB, exact and case-folded; the backward search and the count
// against the forward search; the peak memory a search costs; the
// byte-at-a-time scan through the read window on 64 MiB; and a 4,096-byte
// pattern that almost matches everywhere in 64 MiB of one byte value.
//
// The data is made once per run, loaded into the editor, and its source
// file's name deleted: the editor keeps the file open and reads it in place.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "editor/search_engine.h"
#include "platform/codepage.h"
#include "support/bench_support.h"

namespace {

using bm::bench::kMiB;
using bm::bench::NullHost;
using bm::bench::PeakGrowthKiB;

constexpr int64_t kGiB = 1024 * kMiB;
constexpr int64_t kEvery = 4096;
constexpr int64_t kPresentAt = 1000;  // offset of the pattern in each 4 KiB

// Neither pattern holds a letter, so folding changes neither of them.
const uint8_t kAbsent[8] = {0x13, 0x37, 0x00, 0xFE, 0x21, 0x5C, 0x90, 0x07};
const uint8_t kPresent[8] = {0x02, 0x2B, 0x39, 0xF0, 0x11, 0x1C, 0x3F, 0xB0};

// An editor on a file made from bytes, with the same bytes in memory.
struct Document {
  NullHost host;
  bm::TByteEditor editor{&host};
  std::vector<uint8_t> bytes;

  explicit Document(std::vector<uint8_t> data) : bytes(std::move(data)) {
    editor.Loaded();
    const std::string source = bm::bench::SourceFiles::Get().Folder() + "/search-source";
    {
      std::ofstream out(source, std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    loaded = editor.LoadFromFile(source) && editor.DataSize() == static_cast<int64_t>(bytes.size());
    std::remove(source.c_str());
  }
  bool loaded = false;
};

std::unique_ptr<Document> g_random, g_uniform;

// 1 GiB of random bytes with kPresent every 4 KiB; kAbsent does not occur.
Document& RandomDocument() {
  if (!g_random) {
    std::vector<uint8_t> data(static_cast<size_t>(kGiB));
    uint64_t x = 0x9E3779B97F4A7C15u;
    for (size_t i = 0; i < data.size(); i += 8) {
      x ^= x << 13, x ^= x >> 7, x ^= x << 17;
      std::memcpy(data.data() + i, &x, 8);
    }
    for (int64_t at = kPresentAt; at + 8 <= kGiB; at += kEvery)
      std::memcpy(data.data() + at, kPresent, 8);
    g_random = std::make_unique<Document>(std::move(data));
  }
  return *g_random;
}

// 64 MiB of the byte 41.
Document& UniformDocument() {
  if (!g_uniform) g_uniform = std::make_unique<Document>(std::vector<uint8_t>(64 * kMiB, 0x41));
  return *g_uniform;
}

int64_t MemmemCount(const std::vector<uint8_t>& bytes, int64_t size, const uint8_t* pattern, size_t n) {
  int64_t count = 0;
  const uint8_t* p = bytes.data();
  const uint8_t* end = bytes.data() + size;
  while (const void* hit = memmem(p, static_cast<size_t>(end - p), pattern, n)) {
    ++count;
    p = static_cast<const uint8_t*>(hit) + 1;
  }
  return count;
}

// Each match in turn, as Find and Find next go through them.
int64_t FindDataCount(bm::TByteEditor& ed, const uint8_t* pattern, int32_t n, int32_t last, bool fold) {
  std::vector<uint8_t> buffer(pattern, pattern + n);
  int64_t count = 0;
  for (int32_t q = ed.FindData(buffer.data(), n, 0, last, fold, false); q >= 0;
       q = ed.FindData(buffer.data(), n, q + 1, last, fold, false))
    ++count;
  return count;
}

// The byte-at-a-time scan through the read window, restarting one byte after
// the start of a failed partial match.
int32_t WindowScan(bm::TByteEditor& ed, const uint8_t* pattern, int32_t n, int32_t start,
                   int32_t last, bool fold) {
  const uint8_t* lower = bm::AnsiLowerTable();
  int32_t i = start, j = 0, r = start + 1;
  while (i <= last) {
    ed.EnsureReadWindow(i);
    uint8_t b = ed.ReadWindow()[i - ed.ReadWindowStart()];
    if (fold) b = lower[b];
    if (b == pattern[j]) {
      if (j == n - 1) return i - n + 1;
      if (j == 0) r = i + 1;
      ++i, ++j;
    } else {
      i = r, j = 0, r = i + 1;
    }
  }
  return -1;
}

void Fail(benchmark::State& state, const char* what) { state.SkipWithError(what); }

// ---- 1 GiB --------------------------------------------------------------------------------------

// range(0): 0 the absent pattern, 1 the one every 4 KiB.
void BM_Memmem_1GiB(benchmark::State& state) {
  Document& doc = RandomDocument();
  const uint8_t* pattern = state.range(0) ? kPresent : kAbsent;
  const int64_t expected = state.range(0) ? (kGiB - kPresentAt) / kEvery + 1 : 0;
  for (auto _ : state)
    if (MemmemCount(doc.bytes, kGiB, pattern, 8) != expected) return Fail(state, "wrong count");
  state.SetBytesProcessed(state.iterations() * kGiB);
}
BENCHMARK(BM_Memmem_1GiB)->ArgName("every4KiB")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0) as above; range(1) 1 case-folded; range(2) the largest block in KiB.
void BM_FindData_1GiB(benchmark::State& state) {
  Document& doc = RandomDocument();
  if (!doc.loaded) return Fail(state, "load failed");
  const bool fold = state.range(1) != 0;
  const uint8_t* pattern = state.range(0) ? kPresent : kAbsent;
  const int64_t expected = state.range(0) ? (kGiB - kPresentAt) / kEvery + 1 : 0;
  doc.editor.SetSearchBlocks(64 << 10, static_cast<int32_t>(state.range(2) << 10));
  for (auto _ : state)
    if (FindDataCount(doc.editor, pattern, 8, INT32_MAX, fold) != expected) return Fail(state, "wrong count");
  state.SetBytesProcessed(state.iterations() * kGiB);
  doc.editor.SetSearchBlocks(64 << 10, 1 << 20);
}
BENCHMARK(BM_FindData_1GiB)
    ->ArgNames({"every4KiB", "fold", "blockKiB"})
    ->ArgsProduct({{0, 1}, {0, 1}, {1024}})
    ->Args({0, 0, 256})
    ->Args({0, 0, 4096})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One search through the whole 1 GiB for the absent pattern: range(0) 0
// forwards (FindData), 1 backwards from the end (FindDataBackward), 2 the
// count of the pattern that occurs every 4 KiB (CountData, one pass).
void BM_Direction_1GiB(benchmark::State& state) {
  Document& doc = RandomDocument();
  if (!doc.loaded) return Fail(state, "load failed");
  const int64_t expected = (kGiB - kPresentAt) / kEvery + 1;
  for (auto _ : state) {
    uint8_t pattern[8];
    std::memcpy(pattern, state.range(0) == 2 ? kPresent : kAbsent, 8);
    switch (state.range(0)) {
      case 0:
        if (doc.editor.FindData(pattern, 8, 0, INT32_MAX, false, false) != -1) return Fail(state, "found");
        break;
      case 1:
        if (doc.editor.FindDataBackward(pattern, 8, INT32_MAX, 0, false, false) != -1)
          return Fail(state, "found");
        break;
      default:
        if (doc.editor.CountData(pattern, 8, 0, INT32_MAX, false, false, nullptr, true) != expected)
          return Fail(state, "wrong count");
        break;
    }
  }
  state.SetBytesProcessed(state.iterations() * kGiB);
}
BENCHMARK(BM_Direction_1GiB)->ArgName("how")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak resident growth of one backward search through the whole 1 GiB.
void BM_FindDataBackwardPeakMemory_1GiB(benchmark::State& state) {
  Document& doc = RandomDocument();
  if (!doc.loaded) return Fail(state, "load failed");
  if (!bm::bench::ResetPeak()) state.counters["peak_reset_unavailable"] = 1;
  for (auto _ : state) {
    uint8_t pattern[8];
    std::memcpy(pattern, kAbsent, 8);
    int32_t q = 0;
    const int64_t growth =
        PeakGrowthKiB([&] { q = doc.editor.FindDataBackward(pattern, 8, INT32_MAX, 0, false, false); });
    if (q != -1) return Fail(state, "found the absent pattern");
    state.counters["peak_growth_KiB"] = static_cast<double>(growth);
  }
}
BENCHMARK(BM_FindDataBackwardPeakMemory_1GiB)->Iterations(1)->Unit(benchmark::kMillisecond);

// Peak resident growth of one search through the whole 1 GiB.
void BM_FindDataPeakMemory_1GiB(benchmark::State& state) {
  Document& doc = RandomDocument();
  if (!doc.loaded) return Fail(state, "load failed");
  if (!bm::bench::ResetPeak()) state.counters["peak_reset_unavailable"] = 1;
  const bool fold = state.range(0) != 0;
  for (auto _ : state) {
    uint8_t pattern[8];
    std::memcpy(pattern, kAbsent, 8);
    int32_t q = 0;
    const int64_t growth = PeakGrowthKiB([&] { q = doc.editor.FindData(pattern, 8, 0, INT32_MAX, fold, false); });
    if (q != -1) return Fail(state, "found the absent pattern");
    state.counters["peak_growth_KiB"] = static_cast<double>(growth);
  }
}
BENCHMARK(BM_FindDataPeakMemory_1GiB)->ArgName("fold")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- 64 MiB ---------------------------------------------------------------------------------------

constexpr int32_t k64MiB = 64 * kMiB;

// range(0): 0 memmem in memory, 1 FindData, 2 the byte-at-a-time window scan;
// the first 64 MiB of the random data, the absent pattern.
void BM_Scan_64MiB(benchmark::State& state) {
  Document& doc = RandomDocument();
  if (!doc.loaded) return Fail(state, "load failed");
  const bool fold = state.range(1) != 0;
  for (auto _ : state) {
    uint8_t pattern[8];
    std::memcpy(pattern, kAbsent, 8);
    int64_t q = -1;
    switch (state.range(0)) {
      case 0: q = MemmemCount(doc.bytes, k64MiB, kAbsent, 8) - 1; break;
      case 1: q = doc.editor.FindData(pattern, 8, 0, k64MiB - 1, fold, false); break;
      default: q = WindowScan(doc.editor, pattern, 8, 0, k64MiB - 1, fold); break;
    }
    if (q != -1) return Fail(state, "found the absent pattern");
  }
  state.SetBytesProcessed(state.iterations() * k64MiB);
}
BENCHMARK(BM_Scan_64MiB)
    ->ArgNames({"how", "fold"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A 4,096-byte pattern in 64 MiB of the byte 41, found nowhere: range(0) 0 is
// 4,095 bytes 41 and a 42 (memmem in memory, then FindData), 1 has the 42 in
// the middle, so that first and last byte match everywhere.
void BM_LongPatternNearMatches_64MiB(benchmark::State& state) {
  Document& doc = UniformDocument();
  if (!doc.loaded) return Fail(state, "load failed");
  std::vector<uint8_t> pattern(4096, 0x41);
  pattern[state.range(0) ? 2048 : 4095] = 0x42;
  const bool inMemory = state.range(1) == 0;
  for (auto _ : state) {
    std::vector<uint8_t> buffer = pattern;
    const int64_t q = inMemory ? MemmemCount(doc.bytes, k64MiB, pattern.data(), pattern.size()) - 1
                               : doc.editor.FindData(buffer.data(), 4096, 0, INT32_MAX, false, false);
    if (q != -1) return Fail(state, "found the pattern");
  }
  state.SetBytesProcessed(state.iterations() * k64MiB);
}
BENCHMARK(BM_LongPatternNearMatches_64MiB)
    ->ArgNames({"middle42", "findData"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const int rc = bm::bench::RunBenchmarks(argc, argv);
  g_random.reset();
  g_uniform.reset();
  return rc;
}
