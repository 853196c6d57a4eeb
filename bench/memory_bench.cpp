// Memory of the document side on large files against the empty editor in the
// same run (scattered one-byte edits, cut and undo of 1 GiB), and what an
// insertion at the start of 512 MiB costs in time, memory and file size
// changes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "support/bench_support.h"

namespace {

using bm::bench::kMiB;
using bm::bench::NullHost;
using bm::bench::ReadMemory;
using Clock = std::chrono::steady_clock;

constexpr int64_t kGiB = 1024 * kMiB;

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

struct Document {
  explicit Document(bm::FileSystem& files = bm::SystemFileSystem()) : ed(&host, files) {
    ed.Loaded();
    ed.SetClientSize(800, 600);
  }
  NullHost host{14};
  bm::TByteEditor ed;
};

double MiB(int64_t kib) { return static_cast<double>(kib) / 1024.0; }

// 10,000 one-byte overwrites spread over a 1 GiB document, the last near its
// end, against the same positions marked one bit per byte (the form the
// marks had before).
void BM_ScatteredEdits1GiB(benchmark::State& state) {
  constexpr int kEdits = 10000;
  bm::bench::SparseFile file(kGiB);
  Document doc;
  const int64_t emptyKiB = ReadMemory().rss;
  if (!doc.ed.LoadFromFile(file.Path())) {
    state.SkipWithError("cannot load");
    return;
  }
  const int32_t stride = static_cast<int32_t>(kGiB / kEdits);
  int64_t editsKiB = 0, bitsKiB = 0;
  for (auto _ : state) {
    editsKiB = bm::bench::PeakGrowthKiB([&] {
      for (int i = 0; i < kEdits; ++i) {
        const int32_t p = i * stride + (i * 7919) % stride;
        const uint8_t old = doc.ed.ReadByte(p);
        doc.ed.OverwriteByte(old, static_cast<uint8_t>(old ^ 0x5A), p, doc.ed.RowOfPosition(p));
      }
    });
    bitsKiB = bm::bench::PeakGrowthKiB([&] {
      std::vector<bool> bits;
      for (int i = 0; i < kEdits; ++i) {
        const size_t p = static_cast<size_t>(i) * stride + (i * 7919) % stride;
        if (p >= bits.size()) bits.resize(p + 1);
        bits[p] = true;
      }
      benchmark::DoNotOptimize(bits);
    });
    if (doc.ed.ChangeMarksLength() < kGiB - stride) state.SkipWithError("marks missing");
  }
  state.counters["empty_editor_MiB"] = MiB(emptyKiB);
  state.counters["edits_growth_MiB"] = MiB(editsKiB);
  state.counters["edits_growth_vs_empty"] =
      static_cast<double>(editsKiB) / static_cast<double>(emptyKiB);
  state.counters["bit_per_byte_growth_MiB"] = MiB(bitsKiB);
  state.counters["edits_vs_bit_per_byte"] =
      static_cast<double>(editsKiB) / static_cast<double>(bitsKiB);
}
BENCHMARK(BM_ScatteredEdits1GiB)->Iterations(1)->Unit(benchmark::kMillisecond);

// Cutting 1 GiB out of the middle of a document and undoing it.
void BM_CutUndo1GiB(benchmark::State& state) {
  constexpr int64_t kSize = kGiB + 32 * kMiB;
  constexpr int32_t kFrom = 16 * kMiB;
  bm::bench::SparseFile file(kSize);
  Document doc;
  const int64_t emptyKiB = ReadMemory().rss;
  if (!doc.ed.LoadFromFile(file.Path())) {
    state.SkipWithError("cannot load");
    return;
  }
  int64_t growthKiB = 0;
  double cutS = 0, undoS = 0;
  for (auto _ : state) {
    doc.ed.SetSelStart(kFrom);
    doc.ed.SetSelEnd(static_cast<int32_t>(kFrom + kGiB - 1));
    growthKiB = bm::bench::PeakGrowthKiB([&] {
      const auto t0 = Clock::now();
      doc.ed.DeleteSelection();
      const auto t1 = Clock::now();
      doc.ed.Undo();
      const auto t2 = Clock::now();
      cutS = Seconds(t0, t1);
      undoS = Seconds(t1, t2);
    });
    if (doc.ed.DataSize() != kSize || doc.ed.CanUndo()) state.SkipWithError("undo did not restore");
  }
  state.counters["empty_editor_MiB"] = MiB(emptyKiB);
  state.counters["cut_undo_growth_MiB"] = MiB(growthKiB);
  state.counters["growth_vs_empty"] =
      static_cast<double>(growthKiB) / static_cast<double>(emptyKiB);
  state.counters["growth_vs_cut_size"] = static_cast<double>(growthKiB) / (1024.0 * 1024.0);
  state.counters["cut_s"] = cutS;
  state.counters["undo_s"] = undoS;
}
BENCHMARK(BM_CutUndo1GiB)->Iterations(1)->Unit(benchmark::kMillisecond);

// Inserting 16 bytes near the start of 512 MiB and undoing it: the time,
// the peak memory, and how often a file was resized or had room reserved
// (the document's file never is; only the store of added bytes grows).
void BM_InsertNearStart512MiB(benchmark::State& state) {
  constexpr int64_t kSize = 512 * kMiB;
  const std::string source = bm::bench::SourceFiles::Get().File(kSize);
  bm::bench::CountingFileSystem files(bm::SystemFileSystem());
  Document doc(files);
  if (!doc.ed.LoadFromFile(source)) {
    state.SkipWithError("cannot load");
    return;
  }
  const uint8_t sixteen[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const int64_t resizes0 = files.calls.setSizes;
  double insertS = 0, undoS = 0;
  int64_t peakKiB = 0;
  for (auto _ : state) {
    doc.ed.SetSelStart(100);
    peakKiB = std::max(peakKiB, bm::bench::PeakGrowthKiB([&] {
      const auto t0 = Clock::now();
      doc.ed.InsertBuffer(sixteen, 16, 100);
      const auto t1 = Clock::now();
      doc.ed.Undo();
      const auto t2 = Clock::now();
      insertS += Seconds(t0, t1);
      undoS += Seconds(t1, t2);
    }));
    if (doc.ed.DataSize() != kSize) state.SkipWithError("size drifted");
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["insert_us"] = insertS / n * 1e6;
  state.counters["undo_us"] = undoS / n * 1e6;
  state.counters["peak_growth_KiB"] = static_cast<double>(peakKiB);
  state.counters["resizes_per_insert"] = static_cast<double>(files.calls.setSizes - resizes0) / n;
  bm::bench::SourceFiles::Get().Remove(kSize);
}
BENCHMARK(BM_InsertNearStart512MiB)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bm::bench::RunBenchmarks(argc, argv); }
