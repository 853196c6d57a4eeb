// The program's start with a large file on the command line, from creating
// the windows to the first frame that shows the file's bytes, against a plain
// kernel copy of the same file; and holding PgDn through a large file: one
// key press and the repaint it causes.
//
// Runs in-process on the offscreen platform. Source files are made once in a
// folder under /tmp and removed when the run ends.
#include <unistd.h>

#include <cstdlib>
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/main_form.h"
#include "editor/byte_editor.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "widgets/editor_widget.h"
#include "support/bench_support.h"

namespace {

using bm::bench::kMiB;
using bm::bench::SourceFiles;

// ---- boxes that never open --------------------------------------------------------

class SilentDialogs : public bm::Dialogs {
 public:
  bm::MessageResult MessageBox(const std::string& text, const std::string&, bm::MessageIcon,
                               bm::MessageButtons) override {
    std::fprintf(stderr, "unexpected box: %s\n", text.c_str());
    return bm::MessageResult::No;
  }
  int Choose(const std::string& text, const std::string&, bm::MessageIcon,
             const std::vector<std::string>&, int) override {
    std::fprintf(stderr, "unexpected box: %s\n", text.c_str());
    return -1;
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
  void SetBytes(std::shared_ptr<const std::string>) override {}
  bool HasBytes() override { return false; }
  bm::ClipboardBytes Bytes() override { return {}; }
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

// The program started on an empty file (0) and on an 8 GiB sparse file (8):
// from the window's creation to its first frame with the file loaded. The
// file is read in place, so the two should take about as long.
void BM_StartupSettles(benchmark::State& state) {
  static const std::string folder = [] {
    char name[] = "/tmp/bytemoor-startup-XXXXXX";
    return std::string(::mkdtemp(name));
  }();
  const int64_t size = state.range(0) << 30;
  const std::string path = folder + "/file" + std::to_string(state.range(0)) + ".bin";
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size > 0 && ::ftruncate(::fileno(f), size) != 0)) std::abort();
    std::fclose(f);
  }
  SilentDialogs dialogs;
  NoClipboard clipboard;
  for (auto _ : state) {
    std::unique_ptr<bm::TMainForm> form = bm::CreateForms(dialogs, clipboard, {path});
    bool painted = false;
    struct Watch : QObject {
      bm::TMainForm& form;
      const std::string& path;
      bool& painted;
      Watch(bm::TMainForm& f, const std::string& p, bool& d) : form(f), path(p), painted(d) {}
      bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && form.ByteEditor1().FileName() == path) painted = true;
        return QObject::eventFilter(o, e);
      }
    } watch(*form, path, painted);
    form->ByteEditor1Widget()->viewport()->installEventFilter(&watch);
    form->show();
    form->activateWindow();
    while (!painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    state.PauseTiming();
    form->ByteEditor1Widget()->viewport()->removeEventFilter(&watch);
    if (form->ByteEditor1().DataSize() != size) state.SkipWithError("the file did not load");
    form.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartupSettles)->ArgName("GiB")->Arg(0)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(10);

// The floor under the start-up: copying the same file with the kernel.
void BM_PlainKernelCopy(benchmark::State& state) {
  const std::string& path = SourceFiles::Get().File(state.range(0) * kMiB);
  const std::string target = SourceFiles::Get().Folder() + "/plain_copy";
  for (auto _ : state) {
    int64_t copied = 0;
    {
      bm::bench::KernelCopy copy(path, target);
      if (!copy.IsOpen()) {
        state.SkipWithError("open failed");
        break;
      }
      copied = copy.Run(state.range(0) * kMiB);
    }
    if (copied != state.range(0) * kMiB) state.SkipWithError("copy failed");
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
  return bm::bench::RunBenchmarks(argc, argv);
}
