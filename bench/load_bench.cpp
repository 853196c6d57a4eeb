// Loading a file onto the editor's working copy against a plain kernel copy,
// the memory that loading and painting cost for a small and a large file, and
// the file calls one painted screen makes.
//
// Source files are made once in a folder under /tmp on first use and removed
// when the run ends.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "platform/files.h"
#include "platform/surface.h"
#include "platform/window_host.h"

namespace {

using bm::FileStream;
using bm::FileSystem;

constexpr int64_t kMiB = 1024 * 1024;

// ---- source files ------------------------------------------------------------------

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
      char tmpl[] = "/tmp/bytemoor_load_bench_XXXXXX";
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
    // On disk before timing starts, so its writeback does not slow the copies.
    ::fsync(fd);
    ::close(fd);
  }

  std::string folder_;
  std::map<int64_t, std::string> paths_;
};

// ---- a host and a surface that draw nothing ---------------------------------------------

class CountingSurface : public bm::Surface {
 public:
  void SetFont(const bm::FontDesc& font) override { font_ = font; }
  const bm::FontDesc& Font() const override { return font_; }
  int TextWidth(std::string_view text) override { return 8 * static_cast<int>(text.size()); }
  int TextHeight(std::string_view) override { return 16; }
  void SetTextColor(bm::Color) override {}
  void SetBkColor(bm::Color) override {}
  void TextOutOpaqueClipped(int, int, const bm::Rect&, std::string_view) override { ++texts; }
  void FrameRect(const bm::Rect&, bm::Color) override { ++rects; }
  void DrawFocusRect(const bm::Rect&) override { ++rects; }
  void FillRect(const bm::Rect&, bm::Color) override { ++rects; }

  int64_t texts = 0;
  int64_t rects = 0;

 private:
  bm::FontDesc font_;
};

class NullHost : public bm::WindowHost {
 public:
  bool WindowExists() const override { return true; }
  void PostMessage(uint32_t, uintptr_t, intptr_t) override {}
  void Invalidate(const bm::Rect&, bool) override {}
  void InvalidateAll() override {}
  void LockUpdate(bool) override {}
  void ScrollStateChanged() override {}
  int16_t KeyState(int) const override { return 0; }
  bool HasFocus() const override { return false; }
  bm::Surface& MeasureSurface() override { return measure_; }
  void SetBusyCursor(bool) override {}
  void CreateCaret(const bm::CaretBitmap&) override {}
  void DestroyCaret() override {}
  void SetCaretPos(int, int) override {}
  void ShowCaret() override {}
  void HideCaret() override {}
  void StartTimer(int) override {}
  void StopTimer() override {}

 private:
  CountingSurface measure_;
};

// ---- a file system that counts stream calls ------------------------------------------------

struct StreamCalls {
  int64_t reads = 0, bytesRead = 0, sizes = 0, seeks = 0, positions = 0, writes = 0, setSizes = 0;
};

class CountingStream : public FileStream {
 public:
  CountingStream(std::unique_ptr<FileStream> inner, StreamCalls& calls)
      : inner_(std::move(inner)), calls_(calls) {}
  int64_t Position() const override { ++calls_.positions; return inner_->Position(); }
  void Seek(int64_t position) override { ++calls_.seeks; inner_->Seek(position); }
  int64_t Read(void* buffer, int64_t count) override {
    ++calls_.reads;
    const int64_t n = inner_->Read(buffer, count);
    calls_.bytesRead += n;
    return n;
  }
  void Write(const void* buffer, int64_t count) override { ++calls_.writes; inner_->Write(buffer, count); }
  int64_t Size() override { ++calls_.sizes; return inner_->Size(); }
  void SetSize(int64_t size) override { ++calls_.setSizes; inner_->SetSize(size); }
  int Descriptor() const override { return inner_->Descriptor(); }

 private:
  std::unique_ptr<FileStream> inner_;
  StreamCalls& calls_;
};

class CountingFileSystem : public FileSystem {
 public:
  explicit CountingFileSystem(FileSystem& inner) : inner_(inner) {}
  StreamCalls calls;

  std::string TempDirectory() override { return inner_.TempDirectory(); }
  uint32_t TickCount() override { return inner_.TickCount(); }
  bool FileExists(const std::string& p) override { return inner_.FileExists(p); }
  int64_t FileSize(const std::string& p) override { return inner_.FileSize(p); }
  bool CanOpenShared(const std::string& p) override { return inner_.CanOpenShared(p); }
  bool CanOpenExclusive(const std::string& p) override { return inner_.CanOpenExclusive(p); }
  bool DeleteFile(const std::string& p) override { return inner_.DeleteFile(p); }
  bool ClearAttributes(const std::string& p) override { return inner_.ClearAttributes(p); }
  std::unique_ptr<FileStream> CreateExclusive(const std::string& p) override {
    return Wrap(inner_.CreateExclusive(p));
  }
  std::unique_ptr<FileStream> OpenReadWrite(const std::string& p) override {
    return Wrap(inner_.OpenReadWrite(p));
  }
  bool CopyFile(const std::string& f, const std::string& t) override { return inner_.CopyFile(f, t); }
  bool ReplaceWorkingCopy(const std::string& f, const std::string& t) override {
    return inner_.ReplaceWorkingCopy(f, t);
  }
  bool SaveCopy(const std::string& f, const std::string& t) override { return inner_.SaveCopy(f, t); }

 private:
  std::unique_ptr<FileStream> Wrap(std::unique_ptr<FileStream> s) {
    if (!s) return s;
    return std::make_unique<CountingStream>(std::move(s), calls);
  }
  FileSystem& inner_;
};

// ---- memory --------------------------------------------------------------------------------------

// VmRSS and VmHWM of /proc/self/status, in KiB.
struct Memory {
  int64_t rss = 0, peak = 0;
};

Memory ReadMemory() {
  Memory m;
  if (FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    long value;
    while (std::fgets(line, sizeof line, f)) {
      if (std::sscanf(line, "VmRSS: %ld", &value) == 1) m.rss = value;
      if (std::sscanf(line, "VmHWM: %ld", &value) == 1) m.peak = value;
    }
    std::fclose(f);
  }
  return m;
}

// Starts a new peak at the current RSS (clear_refs 5); false where not allowed.
bool ResetPeak() {
  const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::write(fd, "5", 1) == 1;
  ::close(fd);
  return ok;
}

// Peak RSS growth of fn over the RSS before it, in KiB.
template <class Fn>
int64_t PeakGrowth(Fn&& fn) {
  ResetPeak();
  const Memory before = ReadMemory();
  fn();
  return ReadMemory().peak - before.rss;
}

constexpr bm::Rect kScreen{0, 0, 1280, 1024};

// ---- benchmarks --------------------------------------------------------------------------------

constexpr int64_t k256MiB = 256 * kMiB;

void BM_CopyFileRange_256MiB(benchmark::State& state) {
  const std::string& source = SourceFiles::Get().File(k256MiB);
  const std::string target = SourceFiles::Get().Folder() + "/copy";
  for (auto _ : state) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int64_t copied = 0;
    while (copied < k256MiB) {
      const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(k256MiB - copied), 0);
      if (n <= 0) break;
      copied += n;
    }
    ::close(in);
    ::close(out);
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
  }
  state.SetBytesProcessed(state.iterations() * k256MiB);
}
BENCHMARK(BM_LoadFromFile_256MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak RSS growth of loading a file and of painting its first screen; the
// argument is the file size in MiB.
void BM_PeakMemory(benchmark::State& state) {
  const int64_t size = state.range(0) * kMiB;
  const std::string& source = SourceFiles::Get().File(size);
  if (!ResetPeak()) state.counters["peak_reset_unavailable"] = 1;
  // Calibration: what the method reports for 8 MiB allocated and touched.
  state.counters["calibration_8MiB_KiB"] = static_cast<double>(PeakGrowth([] {
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
    const int64_t load = PeakGrowth([&] { loaded = editor.LoadFromFile(source); });
    if (!loaded) {
      state.SkipWithError("LoadFromFile failed");
      break;
    }
    const int64_t paint = PeakGrowth([&] { editor.Paint(surface, kScreen); });
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

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SourceFiles::Get().RemoveAll();
  return 0;
}
