// Painting the editor through QtSurface: one full 1280 x 1024 screen of a
// 1 GiB file, and paging through a 256 MiB file from start to end, with the
// number of reads the view makes of the file it shows.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "editor/byte_editor.h"
#include "platform/files.h"
#include "platform/qt/qt_surface.h"
#include "support/bench_support.h"

namespace bm {
namespace {

using bench::CountingFileSystem;
using bench::NullHost;
using bench::SparseFile;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// One editor on one loaded file, shared by the benchmarks of that file.
struct Document {
  explicit Document(int64_t size) : file(size), files(SystemFileSystem()) {
    editor = std::make_unique<TByteEditor>(&host, files);
    editor->WindowCreated();
    const auto t0 = std::chrono::steady_clock::now();
    if (!editor->LoadFromFile(file.Path())) {
      std::fprintf(stderr, "cannot load %s\n", file.Path().c_str());
      std::exit(1);
    }
    loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    editor->SetClientSize(kScreenWidth, kScreenHeight);
  }
  void Paint(QImage& image) {
    QPainter painter(&image);
    QtSurface surface(&painter);
    surface.SetFont(editor->Font());
    editor->Paint(surface, Rect{0, 0, kScreenWidth, kScreenHeight});
  }

  SparseFile file;
  CountingFileSystem files;
  // A window host without a window: measuring through QtSurface, everything
  // else dropped.
  QtSurface measure;
  NullHost host{measure};
  std::unique_ptr<TByteEditor> editor;
  double loadSeconds = 0;
};

Document& GiB() {
  static Document doc(int64_t{1} << 30);
  return doc;
}

Document& Mib256() {
  static Document doc(int64_t{256} << 20);
  return doc;
}

// The same screen again and again: the read window already holds its lines.
void BM_PaintScreenCached(benchmark::State& state) {
  Document& doc = GiB();
  QImage image(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
  doc.editor->SetTopRow(doc.editor->RowCount() / 2);
  doc.Paint(image);
  const int64_t reads0 = doc.files.calls.reads;
  for (auto _ : state) {
    doc.Paint(image);
    benchmark::DoNotOptimize(image.bits());
  }
  state.counters["reads/frame"] =
      benchmark::Counter(static_cast<double>(doc.files.calls.reads - reads0) /
                         static_cast<double>(state.iterations()));
  state.counters["rows"] = doc.editor->VisibleRowCount();
  state.counters["load_s"] = doc.loadSeconds;
}
BENCHMARK(BM_PaintScreenCached)->Unit(benchmark::kMillisecond);

// A new place in the file every frame (1 MiB apart), as after a jump.
void BM_PaintScreenFresh(benchmark::State& state) {
  Document& doc = GiB();
  QImage image(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
  const int rowsPerMiB = (1 << 20) / doc.editor->BytesPerLine();
  int top = 0;
  const int64_t reads0 = doc.files.calls.reads, bytes0 = doc.files.calls.bytesRead;
  for (auto _ : state) {
    top = (top + rowsPerMiB) % doc.editor->MaxTopRow();
    doc.editor->SetTopRow(top);
    doc.Paint(image);
    benchmark::DoNotOptimize(image.bits());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["reads/frame"] = static_cast<double>(doc.files.calls.reads - reads0) / n;
  state.counters["KiB/frame"] = static_cast<double>(doc.files.calls.bytesRead - bytes0) / n / 1024;
}
BENCHMARK(BM_PaintScreenFresh)->Unit(benchmark::kMillisecond);

// Page by page from the first row to the last, painting every page: some
// 330,000 pages, so this one runs for several minutes.
void BM_ScrollAllPages(benchmark::State& state) {
  Document& doc = Mib256();
  QImage image(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
  int64_t pages = 0;
  const int64_t reads0 = doc.files.calls.reads, bytes0 = doc.files.calls.bytesRead;
  for (auto _ : state) {
    TByteEditor& ed = *doc.editor;
    ed.SetTopRow(0);
    for (;;) {
      doc.Paint(image);
      ++pages;
      if (ed.TopRow() >= ed.MaxTopRow()) break;
      ed.SetTopRow(ed.TopRow() + ed.VisibleRowCount());
    }
  }
  const double n = static_cast<double>(pages);
  state.counters["pages"] = n / static_cast<double>(state.iterations());
  state.counters["reads/page"] = static_cast<double>(doc.files.calls.reads - reads0) / n;
  state.counters["MiB_read"] = benchmark::Counter(
      static_cast<double>(doc.files.calls.bytesRead - bytes0) / (1 << 20), benchmark::Counter::kAvgIterations);
  state.counters["s/page"] = benchmark::Counter(n, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScrollAllPages)->Unit(benchmark::kSecond)->Iterations(1);

// The same data (the file the editor reads its document from) read once from
// start to end in 64 KiB blocks.
void BM_ReadFile64K(benchmark::State& state) {
  Document& doc = Mib256();
  std::vector<char> block(64 * 1024);
  int64_t reads = 0;
  for (auto _ : state) {
    const int fd = open(doc.editor->FileName().c_str(), O_RDONLY);
    ssize_t n;
    while ((n = read(fd, block.data(), block.size())) > 0) {
      ++reads;
      benchmark::DoNotOptimize(block.data());
    }
    close(fd);
  }
  state.counters["reads"] = benchmark::Counter(static_cast<double>(reads), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ReadFile64K)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bm

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return bm::bench::RunBenchmarks(argc, argv);
}
