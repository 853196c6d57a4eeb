// The program's start with a large file on the command line, from creating
// the windows to the first frame that shows the file's bytes, against a plain
// kernel copy of the same file; and holding PgDn through a large file: one
// key press and the repaint it causes.
//
// Runs in-process on the offscreen platform. Source files are made once in a
// folder under /tmp and removed when the run ends.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "editor/byte_editor.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/qt/editor_widget.h"

namespace {

constexpr int64_t kMiB = 1024 * 1024;

// ---- source files ----------------------------------------------------------------

class SourceFiles {
 public:
  static SourceFiles& Get() {
    static SourceFiles files;
    return files;
  }

  // A file of size bytes of non-repeating data, made on first request.
  const std::string& File(int64_t size) {
    auto it = paths_.find(size);
    if (it != paths_.end()) return it->second;
    const std::string path = Folder() + "/source_" + std::to_string(size);
    Write(path, size);
    return paths_.emplace(size, path).first->second;
  }

  const std::string& Folder() {
    if (folder_.empty()) {
      char tmpl[] = "/tmp/bytemoor_startup_bench_XXXXXX";
      if (!::mkdtemp(tmpl)) {
        std::perror("mkdtemp");
        std::exit(1);
      }
      folder_ = tmpl;
    }
    return folder_;
  }

  void RemoveAll() {
    if (folder_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    folder_.clear();
    paths_.clear();
  }

 private:
  static void Write(const std::string& path, int64_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
      std::perror(path.c_str());
      std::exit(1);
    }
    std::vector<uint64_t> block(kMiB / sizeof(uint64_t));
    uint64_t x = 0x9E3779B97F4A7C15ull;
    for (int64_t done = 0; done < size;) {
      for (auto& w : block) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        w = x;
      }
      const size_t n = static_cast<size_t>(std::min<int64_t>(kMiB, size - done));
      if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) {
        std::perror("write");
        std::exit(1);
      }
      done += static_cast<int64_t>(n);
    }
    ::fsync(fd);
    ::close(fd);
  }

  std::string folder_;
  std::map<int64_t, std::string> paths_;
};

// ---- boxes that never open --------------------------------------------------------

class SilentDialogs : public bm::Dialogs {
 public:
  bm::MessageResult MessageBox(const std::string& text, const std::string&, bm::MessageIcon,
                               bm::MessageButtons) override {
    std::fprintf(stderr, "unexpected box: %s\n", text.c_str());
    return bm::MessageResult::No;
  }
  std::optional<bm::FileDialogResult> OpenFile(const bm::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<bm::FileDialogResult> SaveFile(const bm::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    return std::nullopt;
  }
};

class NoClipboard : public bm::Clipboard {
 public:
  bool HasText() override { return false; }
  std::string Text() override { return {}; }
  void SetText(const std::string&) override {}
  void Clear() override {}
};

// Notes the first paint of the editor's viewport that shows data.
class FirstDataFrame : public QObject {
 public:
  explicit FirstDataFrame(bm::TMainForm& form) : form_(form) {}
  bool painted = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint && form_.ByteEditor1().DataSize() > 0) painted = true;
    return QObject::eventFilter(watched, e);
  }

 private:
  bm::TMainForm& form_;
};

// ---- start-up -----------------------------------------------------------------------

void BM_StartupToFirstDataFrame(benchmark::State& state) {
  const std::string& path = SourceFiles::Get().File(state.range(0) * kMiB);
  SilentDialogs dialogs;
  NoClipboard clipboard;
  for (auto _ : state) {
    std::unique_ptr<bm::TMainForm> form = bm::CreateForms(dialogs, clipboard, {path});
    FirstDataFrame watch(*form);
    form->ByteEditor1Widget()->viewport()->installEventFilter(&watch);
    form->show();
    form->activateWindow();
    while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

    state.PauseTiming();
    form->ByteEditor1Widget()->viewport()->removeEventFilter(&watch);
    if (form->ByteEditor1().DataSize() != state.range(0) * kMiB)
      state.SkipWithError("the file did not load");
    form.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0) * kMiB);
}
BENCHMARK(BM_StartupToFirstDataFrame)->Arg(1024)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor under the start-up: copying the same file with the kernel.
void BM_PlainKernelCopy(benchmark::State& state) {
  const std::string& path = SourceFiles::Get().File(state.range(0) * kMiB);
  const std::string target = SourceFiles::Get().Folder() + "/plain_copy";
  for (auto _ : state) {
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (in < 0 || out < 0) {
      state.SkipWithError("open failed");
      break;
    }
    int64_t left = state.range(0) * kMiB;
    while (left > 0) {
      const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(left), 0);
      if (n <= 0) break;
      left -= n;
    }
    ::close(in);
    ::close(out);
    if (left != 0) state.SkipWithError("copy failed");
    state.PauseTiming();
    ::unlink(target.c_str());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0) * kMiB);
}
BENCHMARK(BM_PlainKernelCopy)->Arg(1024)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- holding PgDn -----------------------------------------------------------------

void BM_PageDownHeld(benchmark::State& state) {
  const std::string& path = SourceFiles::Get().File(state.range(0) * kMiB);
  SilentDialogs dialogs;
  NoClipboard clipboard;
  std::unique_ptr<bm::TMainForm> form = bm::CreateForms(dialogs, clipboard, {path});
  form->show();
  form->activateWindow();
  while (form->FirstActivation()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  QCoreApplication::processEvents();
  bm::EditorWidget* widget = form->ByteEditor1Widget();
  bm::TByteEditor& editor = form->ByteEditor1();

  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(widget, &press);
    widget->viewport()->repaint();
    if (editor.Row() + 1 >= editor.RowCount()) {
      state.PauseTiming();
      editor.SetSelStart(0);  // back to the top
      QCoreApplication::processEvents();
      state.ResumeTiming();
    }
  }
  state.counters["rows_per_press"] = editor.VisibleRowCount() - 1;
  editor.NewDocument("Untitled");
  form.reset();
  QCoreApplication::processEvents();
}
BENCHMARK(BM_PageDownHeld)->Arg(256)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SourceFiles::Get().RemoveAll();
  return 0;
}
