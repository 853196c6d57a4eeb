// Comparing two 256 MiB files (a copy with 1,000 scattered bytes changed),
// both loaded into editors and warm in the page cache: the
// count against a cmp-like scan of the two files (read + memcmp, each
// difference looked at) and against `cmp -l` itself; the next difference
// across the whole range when only the last byte differs, against the count
// of that pair; the count's peak memory growth; and painting a 1280 x 1024
// screen with and without the comparison's marks.
//
// 256 MiB rather than 1 GiB: writing two files of 1 GiB and scanning them
// repeatedly does not fit the time the shared build machine gives a run. The
// ratios are what matter.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "compare/diff_count.h"
#include "compare/diff_mask.h"
#include "compare/diff_scan.h"
#include "compare/editor_side.h"
#include "editor/byte_editor.h"
#include "platform/qt/qt_surface.h"
#include "support/bench_support.h"

namespace bm {
namespace {

using bench::kMiB;
using bench::NullHost;

constexpr int64_t kSize = 256 * kMiB;


// Two files and two editors loaded from them.
struct Pair {
  std::string pathA, pathB;
  QtSurface measure;
  NullHost hostA{measure}, hostB{measure};
  TByteEditor a{&hostA}, b{&hostB};

  Pair(const std::string& name, bool scattered) {
    const std::string folder = bench::SourceFiles::Get().Folder();
    pathA = folder + "/" + name + "-a";
    pathB = folder + "/" + name + "-b";
    std::vector<uint8_t> bytes(static_cast<size_t>(kSize));
    std::mt19937_64 rng(7);
    for (size_t i = 0; i < bytes.size(); i += 8) {
      const uint64_t v = rng();
      std::memcpy(bytes.data() + i, &v, 8);
    }
    Write(pathA, bytes);
    if (scattered) {
      for (int k = 0; k < 1000; ++k) bytes[static_cast<size_t>(rng() % kSize)] ^= 0x5A;
    } else {
      bytes.back() ^= 0x5A;
    }
    Write(pathB, bytes);
    a.Loaded();
    b.Loaded();
    if (!a.LoadFromFile(pathA) || !b.LoadFromFile(pathB)) {
      std::fprintf(stderr, "cannot load the pair\n");
      std::exit(1);
    }
  }
  ~Pair() {
    std::remove(pathA.c_str());
    std::remove(pathB.c_str());
  }
  static void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
};

Pair& Scattered() {
  static Pair pair("scattered", true);
  return pair;
}
Pair& LastByte() {
  static Pair pair("last", false);
  return pair;
}

void BM_CountThroughEditors(benchmark::State& state) {
  Pair& p = Scattered();
  DiffScanner scanner(EditorSide(p.a), EditorSide(p.b));
  DiffCount count;
  for (auto _ : state) count = CountDiffs(scanner);
  state.counters["bytes"] = static_cast<double>(count.bytes);
  state.counters["runs"] = static_cast<double>(count.runs);
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_CountThroughEditors)->Unit(benchmark::kMillisecond);

// What cmp does: both files read in blocks, compared with memcmp, the bytes
// of a block that differs looked at one by one.
void BM_CmpLikeScan(benchmark::State& state) {
  Pair& p = Scattered();
  std::vector<uint8_t> x(128 << 10), y(128 << 10);
  int64_t differing = 0;
  for (auto _ : state) {
    differing = 0;
    const int fa = open(p.a.FileName().c_str(), O_RDONLY);
    const int fb = open(p.b.FileName().c_str(), O_RDONLY);
    ssize_t n;
    while ((n = read(fa, x.data(), x.size())) > 0) {
      if (read(fb, y.data(), static_cast<size_t>(n)) != n) break;
      if (std::memcmp(x.data(), y.data(), static_cast<size_t>(n)) == 0) continue;
      for (ssize_t i = 0; i < n; ++i) differing += x[static_cast<size_t>(i)] != y[static_cast<size_t>(i)];
    }
    close(fa);
    close(fb);
  }
  state.counters["bytes"] = static_cast<double>(differing);
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_CmpLikeScan)->Unit(benchmark::kMillisecond);

void BM_CmpListProcess(benchmark::State& state) {
  Pair& p = Scattered();
  const std::string command = "cmp -l '" + p.a.FileName() + "' '" + p.b.FileName() + "' >/dev/null";
  for (auto _ : state) benchmark::DoNotOptimize(std::system(command.c_str()));
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_CmpListProcess)->Unit(benchmark::kMillisecond);

void BM_NextDiffToTheLastByte(benchmark::State& state) {
  Pair& p = LastByte();
  DiffScanner scanner(EditorSide(p.a), EditorSide(p.b));
  DiffRun run;
  for (auto _ : state) run = scanner.NextRun(0);
  state.counters["found_at"] = static_cast<double>(run.start);
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_NextDiffToTheLastByte)->Unit(benchmark::kMillisecond);

void BM_CountToTheLastByte(benchmark::State& state) {
  Pair& p = LastByte();
  DiffScanner scanner(EditorSide(p.a), EditorSide(p.b));
  for (auto _ : state) benchmark::DoNotOptimize(CountDiffs(scanner));
  state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_CountToTheLastByte)->Unit(benchmark::kMillisecond);

void BM_CountPeakMemoryKiB(benchmark::State& state) {
  Pair& p = Scattered();
  int64_t growth = 0;
  for (auto _ : state) {
    growth = bench::PeakGrowthKiB([&] {
      DiffScanner scanner(EditorSide(p.a), EditorSide(p.b));
      benchmark::DoNotOptimize(CountDiffs(scanner));
    });
  }
  state.counters["peak_growth_KiB"] = static_cast<double>(growth);
}
BENCHMARK(BM_CountPeakMemoryKiB)->Iterations(1)->Unit(benchmark::kMillisecond);

// One screen of the scattered pair, the marks asked for on every frame
// (a new generation each time, as after an edit).
void PaintScreen(benchmark::State& state, bool marks) {
  Pair& p = Scattered();
  DiffScanner scanner(EditorSide(p.a), EditorSide(p.b));
  DiffMask mask(scanner);
  p.a.SetClientSize(1280, 1024);
  p.a.SetDiffMarks(marks ? &mask : nullptr);
  QImage image(1280, 1024, QImage::Format_RGB32);
  for (auto _ : state) {
    mask.Touch();
    QPainter painter(&image);
    QtSurface surface(&painter);
    surface.SetFont(p.a.Font());
    p.a.Paint(surface, Rect{0, 0, 1280, 1024});
  }
  p.a.SetDiffMarks(nullptr);
}
void BM_PaintScreenPlain(benchmark::State& state) { PaintScreen(state, false); }
void BM_PaintScreenCompared(benchmark::State& state) { PaintScreen(state, true); }
BENCHMARK(BM_PaintScreenPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintScreenCompared)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bm

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return bm::bench::RunBenchmarks(argc, argv);
}
