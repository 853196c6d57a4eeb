// Cost of the edits at the start of a large document (which change pieces
// and move no tail), against a kernel-side copy of the same file (what moving
// the tail of a whole-file copy cost), and of single-byte overwrites and their
// undo.
//
// Each source file is made in a folder under /tmp and removed when its
// benchmark ends.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "editor/byte_editor.h"
#include "support/bench_support.h"

namespace {

using bm::bench::NullHost;
using bm::bench::SourceFiles;
using Clock = std::chrono::steady_clock;

// The editor's measuring surface: text 14 pixels high.
constexpr int kTextHeight = 14;

struct Measure {
  double seconds;
  double peakGrowthMiB;
};

// Time and peak RSS growth of f.
template <class F>
Measure Run(F&& f) {
  double seconds = 0;
  const int64_t growth = bm::bench::PeakGrowthKiB([&] {
    const auto t0 = Clock::now();
    f();
    const auto t1 = Clock::now();
    seconds = std::chrono::duration<double>(t1 - t0).count();
  });
  return {seconds, static_cast<double>(growth) / 1024.0};
}

// Seconds that copy_file_range takes to copy from onto to; opening and
// closing the files are not counted.
double CopyFileRange(const std::string& from, const std::string& to) {
  bm::bench::KernelCopy copy(from, to);
  if (!copy.IsOpen()) throw std::runtime_error("cannot open for copy_file_range");
  const int64_t size = copy.SourceSize();
  const auto t0 = Clock::now();
  if (copy.Run(size) != size) throw std::runtime_error("copy_file_range failed");
  const auto t1 = Clock::now();
  return std::chrono::duration<double>(t1 - t0).count();
}

// An editor on a window that draws nothing, sized 800 x 600.
struct Document {
  Document() {
    ed.Loaded();
    ed.SetClientSize(800, 600);
  }
  // Loads path; where that fails, skips the benchmark and returns false.
  bool Load(const std::string& path, benchmark::State& state) {
    if (ed.LoadFromFile(path)) return true;
    state.SkipWithError("cannot load the test file");
    return false;
  }
  NullHost host{kTextHeight};
  bm::TByteEditor ed{&host};
};

// Deleting the first byte of a 512 MiB document, inserting 16 bytes at its
// start through InsertBuffer, and undoing the deletion: each a change of
// pieces, timed against copying the file once.
void BM_EditAtStart512MiB(benchmark::State& state) {
  constexpr int64_t kSize = int64_t{512} << 20;
  const std::string source = SourceFiles::Get().File(kSize);
  const std::string copy = SourceFiles::Get().Folder() + "/copy";
  Document doc;
  if (!doc.Load(source, state)) return;
  bm::TByteEditor& ed = doc.ed;
  const uint8_t sixteen[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

  double copyS = 0, delS = 0, insS = 0, undoS = 0, delPeak = 0, insPeak = 0, undoPeak = 0;
  for (auto _ : state) {
    copyS += CopyFileRange(source, copy);
    ed.SetSelStart(0);
    const Measure del = Run([&] { ed.DeleteAtCursor(false); });
    const Measure undo = Run([&] { ed.Undo(); });
    ed.SetSelStart(0);
    const Measure ins = Run([&] { ed.InsertBuffer(sixteen, 16, 0); });
    ed.Undo();
    if (ed.DataSize() != kSize) state.SkipWithError("document size drifted");
    delS += del.seconds;
    undoS += undo.seconds;
    insS += ins.seconds;
    delPeak = std::max(delPeak, del.peakGrowthMiB);
    undoPeak = std::max(undoPeak, undo.peakGrowthMiB);
    insPeak = std::max(insPeak, ins.peakGrowthMiB);
    state.SetIterationTime(del.seconds);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["copy_file_range_ms"] = copyS / n * 1e3;
  state.counters["delete_us"] = delS / n * 1e6;
  state.counters["delete_vs_copy"] = delS / copyS;
  state.counters["delete_peak_MiB"] = delPeak;
  state.counters["insert16_us"] = insS / n * 1e6;
  state.counters["insert16_vs_copy"] = insS / copyS;
  state.counters["insert16_peak_MiB"] = insPeak;
  state.counters["undo_delete_us"] = undoS / n * 1e6;
  state.counters["undo_delete_vs_copy"] = undoS / copyS;
  state.counters["undo_delete_peak_MiB"] = undoPeak;
  std::remove(copy.c_str());
  SourceFiles::Get().Remove(kSize);
}
BENCHMARK(BM_EditAtStart512MiB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMicrosecond);

// 100,000 single-byte overwrites spread over a 64 MiB document (each pushes
// the oldest undo record out once the history is full), then 100 undos.
void BM_Overwrite64MiB(benchmark::State& state) {
  constexpr int64_t kSize = int64_t{64} << 20;
  constexpr int kWrites = 100000;
  constexpr int kUndos = 100;
  const std::string source = SourceFiles::Get().File(kSize);
  Document doc;
  if (!doc.Load(source, state)) return;
  bm::TByteEditor& ed = doc.ed;
  const int32_t stride = static_cast<int32_t>(kSize / kWrites);
  double writeS = 0, undoS = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    for (int i = 0; i < kWrites; ++i) {
      const int32_t p = i * stride + (i % stride);
      const uint8_t old = ed.ReadByte(p);
      ed.OverwriteByte(old, static_cast<uint8_t>(old ^ 0x5A), p, ed.RowOfPosition(p));
    }
    const auto t1 = Clock::now();
    for (int i = 0; i < kUndos; ++i) ed.Undo();
    const auto t2 = Clock::now();
    writeS += std::chrono::duration<double>(t1 - t0).count();
    undoS += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["overwrite_us"] = writeS / n / kWrites * 1e6;
  state.counters["undo_us"] = undoS / n / kUndos * 1e6;
  SourceFiles::Get().Remove(kSize);
}
BENCHMARK(BM_Overwrite64MiB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bm::bench::RunBenchmarks(argc, argv); }
