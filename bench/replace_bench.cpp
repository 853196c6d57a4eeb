// Replace-all on 512 MiB of random data holding an 8-byte pattern every
// 4 KiB, with a 12-byte replacement, against a plain copy of the same file
// in the same run (the kernel's copy_file_range, and a read/write loop of
// 1 MiB blocks); and the peak memory one replace-all costs.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "support/bench_support.h"

namespace {

using bm::bench::kMiB;
using bm::bench::NullHost;
using bm::bench::PeakGrowthKiB;

constexpr int64_t kSize = 512 * kMiB;
constexpr int64_t kEvery = 4096;
constexpr int64_t kMatches = kSize / kEvery;
const uint8_t kPattern[8] = {0x02, 0x2B, 0x39, 0xF0, 0x11, 0x1C, 0x3F, 0xB0};

std::string g_source;

// The data as a file: random bytes with the pattern at offset 1000 of every 4 KiB.
const std::string& Source() {
  if (g_source.empty()) {
    std::vector<uint8_t> data(static_cast<size_t>(kSize));
    uint64_t x = 0x9E3779B97F4A7C15u;
    for (size_t i = 0; i < data.size(); i += 8) {
      x ^= x << 13, x ^= x >> 7, x ^= x << 17;
      std::memcpy(data.data() + i, &x, 8);
    }
    for (int64_t at = 1000; at + 8 <= kSize; at += kEvery) std::memcpy(data.data() + at, kPattern, 8);
    g_source = bm::bench::SourceFiles::Get().Folder() + "/replace-source";
    std::ofstream out(g_source, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  }
  return g_source;
}

bm::ReplaceAllRequest Request() {
  bm::ReplaceAllRequest r;
  r.pattern.assign(kPattern, kPattern + 8);
  r.replacement = {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  return r;
}

void BM_KernelCopy_512MiB(benchmark::State& state) {
  const std::string target = bm::bench::SourceFiles::Get().Folder() + "/replace-copy";
  Source();  // made before the timing
  for (auto _ : state) {
    bm::bench::KernelCopy copy(Source(), target);
    if (copy.Run(kSize) != kSize) return state.SkipWithError("copy failed");
  }
  std::remove(target.c_str());
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_KernelCopy_512MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_BlockCopy_512MiB(benchmark::State& state) {
  const std::string target = bm::bench::SourceFiles::Get().Folder() + "/replace-copy";
  std::vector<char> block(static_cast<size_t>(kMiB));
  Source();
  for (auto _ : state) {
    const int in = ::open(Source().c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int64_t copied = 0;
    for (ssize_t n; (n = ::read(in, block.data(), block.size())) > 0; copied += n)
      if (::write(out, block.data(), static_cast<size_t>(n)) != n) break;
    ::close(in);
    ::close(out);
    if (copied != kSize) return state.SkipWithError("copy failed");
  }
  std::remove(target.c_str());
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_BlockCopy_512MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Each pass loads the file afresh (not timed) and replaces all 131,072 matches.
void BM_ReplaceAll_512MiB(benchmark::State& state) {
  NullHost host;
  bm::TByteEditor ed(&host);
  ed.Loaded();
  const bm::ReplaceAllRequest request = Request();
  for (auto _ : state) {
    state.PauseTiming();
    if (!ed.LoadFromFile(Source())) return state.SkipWithError("load failed");
    state.ResumeTiming();
    const bm::ReplaceAllResult result = ed.ReplaceAll(request);
    if (result.count != kMatches) return state.SkipWithError("wrong count");
  }
  if (ed.DataSize() != kSize + kMatches * 4) state.SkipWithError("wrong size");
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_ReplaceAll_512MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ReplaceAllPeakMemory_512MiB(benchmark::State& state) {
  NullHost host;
  bm::TByteEditor ed(&host);
  ed.Loaded();
  if (!bm::bench::ResetPeak()) state.counters["peak_reset_unavailable"] = 1;
  for (auto _ : state) {
    if (!ed.LoadFromFile(Source())) return state.SkipWithError("load failed");
    int64_t count = 0;
    const int64_t growth = PeakGrowthKiB([&] { count = ed.ReplaceAll(Request()).count; });
    if (count != kMatches) return state.SkipWithError("wrong count");
    state.counters["peak_growth_KiB"] = static_cast<double>(growth);
  }
}
BENCHMARK(BM_ReplaceAllPeakMemory_512MiB)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bm::bench::RunBenchmarks(argc, argv); }
