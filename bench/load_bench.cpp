// Loading a file, which the editor reads in place, against a plain kernel
// copy of it (what loading cost while it made a copy), the memory that
// loading and painting cost for a small and a large file, and the file calls
// one painted screen makes.
//
// Source files are made once in a folder under /tmp on first use and removed
// when the run ends.
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "platform/files.h"
#include "support/bench_support.h"

namespace {

using bm::bench::CountingFileSystem;
using bm::bench::CountingSurface;
using bm::bench::kMiB;
using bm::bench::NullHost;
using bm::bench::PeakGrowthKiB;
using bm::bench::ReadMemory;
using bm::bench::SourceFiles;
using bm::bench::StreamCalls;

constexpr bm::Rect kScreen{0, 0, 1280, 1024};

// ---- benchmarks --------------------------------------------------------------------------------

constexpr int64_t k256MiB = 256 * kMiB;

void BM_CopyFileRange_256MiB(benchmark::State& state) {
  const std::string& source = SourceFiles::Get().File(k256MiB);
  const std::string target = SourceFiles::Get().Folder() + "/copy";
  for (auto _ : state) {
    const int64_t copied = bm::bench::KernelCopy(source, target).Run(k256MiB);
    if (copied != k256MiB) {
      state.SkipWithError("copy_file_range failed");
      break;
    }
    state.PauseTiming();
    ::unlink(target.c_str());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * k256MiB);
}
BENCHMARK(BM_CopyFileRange_256MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadFromFile_256MiB(benchmark::State& state) {
  const std::string& source = SourceFiles::Get().File(k256MiB);
  NullHost host;
  bm::TByteEditor editor(&host);
  editor.Loaded();
  for (auto _ : state) {
    if (!editor.LoadFromFile(source) || editor.DataSize() != k256MiB) {
      state.SkipWithError("LoadFromFile failed");
      break;
    }
    // Closing the previous document is not timed, as the baseline's unlink is not.
    state.PauseTiming();
    editor.NewDocument("Untitled");
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * k256MiB);
}
BENCHMARK(BM_LoadFromFile_256MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak RSS growth of loading a file and of painting its first screen; the
// argument is the file size in MiB.
void BM_PeakMemory(benchmark::State& state) {
  const int64_t size = state.range(0) * kMiB;
  const std::string& source = SourceFiles::Get().File(size);
  if (!bm::bench::ResetPeak()) state.counters["peak_reset_unavailable"] = 1;
  // Calibration: what the method reports for 8 MiB allocated and touched.
  state.counters["calibration_8MiB_KiB"] = static_cast<double>(PeakGrowthKiB([] {
    std::vector<char> block(8 * kMiB, 1);
    benchmark::DoNotOptimize(block.data());
  }));
  for (auto _ : state) {
    NullHost host;
    bm::TByteEditor editor(&host);
    editor.Loaded();
    editor.SetClientSize(kScreen.right, kScreen.bottom);
    CountingSurface surface;
    const int64_t rssBefore = ReadMemory().rss;
    bool loaded = false;
    const int64_t load = PeakGrowthKiB([&] { loaded = editor.LoadFromFile(source); });
    if (!loaded) {
      state.SkipWithError("LoadFromFile failed");
      break;
    }
    const int64_t paint = PeakGrowthKiB([&] { editor.Paint(surface, kScreen); });
    state.counters["load_peak_growth_KiB"] = static_cast<double>(load);
    state.counters["paint_peak_growth_KiB"] = static_cast<double>(paint);
    state.counters["retained_after_load_and_paint_KiB"] = static_cast<double>(ReadMemory().rss - rssBefore);
    state.counters["cells_drawn"] = static_cast<double>(surface.texts);
  }
}
BENCHMARK(BM_PeakMemory)->Arg(1)->Arg(1024)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// File calls made by painting one screen of a 1 GiB file: range(0) = 0 jumps
// to a far part of the file before each screen (every screen needs a new read
// window), 1 scrolls down one screen at a time.
void BM_PaintScreenFileCalls_1GiB(benchmark::State& state) {
  const int64_t size = 1024 * kMiB;
  const std::string& source = SourceFiles::Get().File(size);
  const bool scroll = state.range(0) == 1;
  CountingFileSystem files(bm::SystemFileSystem());
  NullHost host;
  bm::TByteEditor editor(&host, files);
  editor.Loaded();
  editor.SetClientSize(kScreen.right, kScreen.bottom);
  if (!editor.LoadFromFile(source)) {
    state.SkipWithError("LoadFromFile failed");
    return;
  }
  CountingSurface surface;
  // The first screen after loading.
  StreamCalls before = files.calls;
  editor.Paint(surface, kScreen);
  state.counters["first_screen_reads"] = static_cast<double>(files.calls.reads - before.reads);
  state.counters["first_screen_size_calls"] = static_cast<double>(files.calls.sizes - before.sizes);

  StreamCalls total;
  uint32_t x = 12345;
  for (auto _ : state) {
    state.PauseTiming();
    const int page = editor.VisibleRowCount();
    if (scroll) {
      const int next = editor.TopRow() + page;
      editor.SetTopRow(next > editor.MaxTopRow() ? 0 : next);
    } else {
      x ^= x << 13, x ^= x >> 17, x ^= x << 5;
      editor.SetTopRow(static_cast<int>(x % static_cast<uint32_t>(editor.MaxTopRow() + 1)));
    }
    before = files.calls;
    state.ResumeTiming();
    editor.Paint(surface, kScreen);
    total.reads += files.calls.reads - before.reads;
    total.bytesRead += files.calls.bytesRead - before.bytesRead;
    total.sizes += files.calls.sizes - before.sizes;
    total.seeks += files.calls.seeks - before.seeks;
  }
  using benchmark::Counter;
  const auto avg = Counter::kAvgIterations;
  state.counters["reads_per_screen"] = Counter(static_cast<double>(total.reads), avg);
  state.counters["bytes_read_per_screen"] = Counter(static_cast<double>(total.bytesRead), avg);
  state.counters["size_calls_per_screen"] = Counter(static_cast<double>(total.sizes), avg);
  state.counters["seeks_per_screen"] = Counter(static_cast<double>(total.seeks), avg);
  state.counters["rows_per_screen"] = editor.VisibleRowCount();
}
BENCHMARK(BM_PaintScreenFileCalls_1GiB)->ArgName("scroll")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return bm::bench::RunBenchmarks(argc, argv); }
