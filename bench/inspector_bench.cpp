// The value inspector's update on a cursor move in a 1 GiB document, against
// one repaint of a 1280 x 1024 screen in the same run, with the reads the
// moves make of the document's file (none while the read window holds the
// cursor, as it does for the lines on screen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/value_inspector.h"
#include "editor/byte_editor.h"
#include "inspect/value_codec.h"
#include "platform/qt/qt_surface.h"
#include "support/bench_support.h"
#include "widgets/editor_widget.h"

namespace bm {
namespace {

using bench::CountingFileSystem;
using bench::SparseFile;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// The editor in its Qt widget, on a sparse 1 GiB file, with the panel.
struct Document {
  Document() : file(int64_t{1} << 30), files(SystemFileSystem()) {
    widget = std::make_unique<EditorWidget>(nullptr, files);
    widget->resize(kScreenWidth, kScreenHeight);
    if (!Editor().LoadFromFile(file.Path())) {
      std::fprintf(stderr, "cannot load %s\n", file.Path().c_str());
      std::exit(1);
    }
    Editor().SetClientSize(kScreenWidth, kScreenHeight);
    panel = std::make_unique<ValueInspector>(*widget, nullptr);
    // The middle of the file, painted once so that the window holds it.
    Editor().SetTopRow(Editor().RowCount() / 2);
    Editor().SetSelStart(Editor().LineStart(Editor().TopRow()));
    Paint();
  }
  TByteEditor& Editor() { return widget->Editor(); }
  void Paint() {
    QPainter painter(&image);
    QtSurface surface(&painter);
    surface.SetFont(Editor().Font());
    Editor().Paint(surface, Rect{0, 0, kScreenWidth, kScreenHeight});
  }
  // One byte to the right, within the lines on screen.
  void MoveCursor() {
    TByteEditor& ed = Editor();
    const int32_t first = ed.LineStart(ed.TopRow());
    const int32_t span = ed.BytesPerLine() * ed.VisibleRowCount();
    step = (step + 1) % span;
    ed.SetSelStart(first + step);
    // The state notifications the move posted: the panel is refreshed here.
    QCoreApplication::removePostedEvents(widget.get());
  }

  SparseFile file;
  CountingFileSystem files;
  std::unique_ptr<EditorWidget> widget;
  std::unique_ptr<ValueInspector> panel;
  QImage image{kScreenWidth, kScreenHeight, QImage::Format_RGB32};
  int32_t step = 0;
};

Document& GiB() {
  static Document doc;
  return doc;
}

// The baseline: one repaint of the screen, its lines already in the window.
void BM_RepaintScreen(benchmark::State& state) {
  Document& doc = GiB();
  for (auto _ : state) {
    doc.Paint();
    benchmark::DoNotOptimize(doc.image.bits());
  }
}
BENCHMARK(BM_RepaintScreen)->Unit(benchmark::kMicrosecond);

// A cursor move and the panel's update: the bytes from the read window, the
// seventeen rows decoded and put into their fields.
void BM_CursorMoveWithInspector(benchmark::State& state) {
  Document& doc = GiB();
  const int64_t reads0 = doc.files.calls.reads;
  for (auto _ : state) {
    doc.MoveCursor();
    doc.panel->Refresh();
  }
  state.counters["reads/move"] = static_cast<double>(doc.files.calls.reads - reads0) /
                                 static_cast<double>(state.iterations());
}
BENCHMARK(BM_CursorMoveWithInspector)->Unit(benchmark::kMicrosecond);

// The same move without the panel: what the inspector adds is the difference.
void BM_CursorMoveAlone(benchmark::State& state) {
  Document& doc = GiB();
  for (auto _ : state) doc.MoveCursor();
}
BENCHMARK(BM_CursorMoveAlone)->Unit(benchmark::kMicrosecond);

// The Qt-free part alone: the bytes at the cursor and the rows' texts.
void BM_DecodeRows(benchmark::State& state) {
  Document& doc = GiB();
  TByteEditor& ed = doc.Editor();
  const inspect::CharSet chars{[&ed](uint8_t v) { return ed.ByteToDisplayChar(v); }, {}};
  for (auto _ : state) {
    doc.MoveCursor();
    inspect::CursorBytes at;
    at.position = ed.CursorPosition();
    at.count = ed.PeekBytes(static_cast<int32_t>(at.position), at.bytes.data(), 8);
    for (int r = 0; r < inspect::kRowCount; ++r)
      benchmark::DoNotOptimize(
          inspect::DecodeRow(static_cast<inspect::Row>(r), at, inspect::ByteOrder::Little, chars));
  }
}
BENCHMARK(BM_DecodeRows)->Unit(benchmark::kMicrosecond);

// Both in one loop, timed apart: the update's cost as a share of a repaint.
void BM_UpdateShareOfRepaint(benchmark::State& state) {
  Document& doc = GiB();
  double update = 0, repaint = 0;
  const int64_t reads0 = doc.files.calls.reads;
  int64_t updateReads = 0;
  for (auto _ : state) {
    const int64_t r0 = doc.files.calls.reads;
    const auto t0 = std::chrono::steady_clock::now();
    doc.MoveCursor();
    doc.panel->Refresh();
    const auto t1 = std::chrono::steady_clock::now();
    updateReads += doc.files.calls.reads - r0;
    doc.Paint();
    const auto t2 = std::chrono::steady_clock::now();
    update += std::chrono::duration<double>(t1 - t0).count();
    repaint += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["update/repaint"] = update / repaint;
  state.counters["update_us"] = update * 1e6 / static_cast<double>(state.iterations());
  state.counters["repaint_us"] = repaint * 1e6 / static_cast<double>(state.iterations());
  state.counters["update_reads"] = static_cast<double>(updateReads);
  state.counters["all_reads"] = static_cast<double>(doc.files.calls.reads - reads0);
}
BENCHMARK(BM_UpdateShareOfRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bm

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return bm::bench::RunBenchmarks(argc, argv);
}
