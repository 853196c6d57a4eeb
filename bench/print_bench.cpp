// Printing a whole document to a PDF file through the program's Qt printer,
// page by page, against xxd turning the same bytes into a text dump in the
// same run; with the peak memory growth of the print.
//
// The document is 2 MiB (2,789 pages): Qt's PDF engine writes a few hundred
// pages a second, so 64 MiB (about 89,000 pages) would take minutes. Give
// BM_PrintToPdf a larger Arg to see that the peak memory growth stays the
// same, as pages are drawn one at a time.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <spawn.h>
#include <fcntl.h>
#include <unistd.h>

#include "editor/byte_editor.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_surface.h"
#include "render/hex_to_canvas.h"
#include "render/print_job.h"
#include "support/bench_support.h"

extern char** environ;

namespace bm {
namespace {

using bench::kMiB;
using bench::NullHost;
using bench::SourceFiles;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// xxd's path, or empty when it is not installed.
std::string FindXxd() {
  for (const char* dir : {"/usr/bin/", "/bin/", "/usr/local/bin/"}) {
    const std::string path = std::string(dir) + "xxd";
    if (::access(path.c_str(), X_OK) == 0) return path;
  }
  return {};
}

// Seconds xxd takes to dump source into target; negative when it fails.
double RunXxd(const std::string& xxd, const std::string& source, const std::string& target) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string a0 = xxd, a1 = source;
  char* argv[] = {a0.data(), a1.data(), nullptr};
  const auto t0 = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, xxd.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  const double s = Seconds(t0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? s : -1;
}

int64_t FileSize(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// The editor and renderer as the main window sets them up for printing.
struct PrintSetup {
  explicit PrintSetup(const std::string& path) {
    editor = std::make_unique<TByteEditor>(&host);
    editor->WindowCreated();
    editor->SetBytesPerLine(16);
    editor->SetBytesPerColumn(1);
    editor->SetOffsetDisplay(odHex);
    editor->SetOffsetSeparator(':');
    if (!editor->LoadFromFile(path)) {
      std::fprintf(stderr, "cannot load %s\n", path.c_str());
      std::exit(1);
    }
    renderer.SetByteEditor(editor.get());
    renderer.SetShrinkToFit(false);
    renderer.AssignFromEditor();
    FontDesc font;
    font.name = "Courier New Cyr";
    font.SetSize(10);
    font.bold = true;
    font.color = 0;
    font.fixedPitch = true;
    renderer.SetFont(font);
  }
  QtSurface measure;
  NullHost host{measure};
  std::unique_ptr<TByteEditor> editor;
  THexToCanvas renderer;
};

void BM_PrintToPdf(benchmark::State& state) {
  const int64_t size = state.range(0) * kMiB;
  const std::string& source = SourceFiles::Get().File(size);
  const std::string pdf = SourceFiles::Get().Folder() + "/print.pdf";
  const std::string dump = SourceFiles::Get().Folder() + "/xxd.txt";
  const std::string xxd = FindXxd();
  PrintSetup setup(source);

  double printSeconds = 0, xxdSeconds = 0;
  int64_t pages = 0, peakKiB = 0, pdfBytes = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    peakKiB = std::max(peakKiB, bench::PeakGrowthKiB([&] {
      QtPrinter printer;
      printer.SetOutputFileName(pdf);
      const PrintResult r = PrintDocument(printer, setup.renderer, "bench", "Bytemoor: source");
      pages += r.pages;
    }));
    const double s = Seconds(t0);
    state.SetIterationTime(s);
    printSeconds += s;
    pdfBytes = FileSize(pdf);
    ::unlink(pdf.c_str());
    // The baseline, outside the timed part.
    if (!xxd.empty()) {
      const double x = RunXxd(xxd, source, dump);
      if (x < 0) {
        state.SkipWithError("xxd failed");
        return;
      }
      xxdSeconds += x;
      ::unlink(dump.c_str());
    }
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["pages"] = static_cast<double>(pages) / n;
  state.counters["pages/s"] = static_cast<double>(pages) / printSeconds;
  state.counters["MB/s"] = static_cast<double>(size) * n / printSeconds / 1e6;
  state.counters["pdf_MiB"] = static_cast<double>(pdfBytes) / kMiB;
  state.counters["peak_growth_MiB"] = static_cast<double>(peakKiB) / 1024;
  if (xxd.empty()) {
    std::fprintf(stderr, "xxd is not installed: no baseline (apt-get install xxd)\n");
  } else {
    state.counters["xxd_MB/s"] = static_cast<double>(size) * n / xxdSeconds / 1e6;
    state.counters["x_xxd_time"] = printSeconds / xxdSeconds;
  }
}
BENCHMARK(BM_PrintToPdf)->Arg(2)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace bm

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return bm::bench::RunBenchmarks(argc, argv);
}
