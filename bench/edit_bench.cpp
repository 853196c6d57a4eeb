// Cost of the edits that move the tail of a large document, against a
// kernel-side copy of the same file, and of single-byte overwrites and their
// undo.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/byte_editor.h"

namespace {

using Clock = std::chrono::steady_clock;

class NullSurface : public bm::Surface {
 public:
  void SetFont(const bm::FontDesc& font) override { font_ = font; }
  const bm::FontDesc& Font() const override { return font_; }
  int TextWidth(std::string_view text) override { return 8 * static_cast<int>(text.size()); }
  int TextHeight(std::string_view) override { return 14; }
  void SetTextColor(bm::Color) override {}
  void SetBkColor(bm::Color) override {}
  void TextOutOpaqueClipped(int, int, const bm::Rect&, std::string_view) override {}
  void FrameRect(const bm::Rect&, bm::Color) override {}
  void DrawFocusRect(const bm::Rect&) override {}
  void FillRect(const bm::Rect&, bm::Color) override {}

 private:
  bm::FontDesc font_;
};

// A window that exists but drops what is posted to it.
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
  bm::Surface& MeasureSurface() override { return surface_; }
  void SetBusyCursor(bool) override {}
  void CreateCaret(const bm::CaretBitmap&) override {}
  void DestroyCaret() override {}
  void SetCaretPos(int, int) override {}
  void ShowCaret() override {}
  void HideCaret() override {}
  void StartTimer(int) override {}
  void StopTimer() override {}

 private:
  NullSurface surface_;
};

std::string TempDir() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = (t && *t) ? t : "/tmp";
  if (dir.back() != '/') dir += '/';
  return dir;
}

// A file of pseudo-random bytes, written once per run.
std::string MakeFile(const std::string& name, int64_t size) {
  const std::string path = TempDir() + name + "_" + std::to_string(::getpid()) + ".bin";
  std::ofstream out(path, std::ios::binary);
  std::vector<char> block(1 << 20);
  std::mt19937 rng(1);
  for (auto& c : block) c = static_cast<char>(rng());
  for (int64_t done = 0; done < size; done += static_cast<int64_t>(block.size())) {
    block[0] = static_cast<char>(done >> 20);
    out.write(block.data(), static_cast<std::streamsize>(std::min<int64_t>(size - done, block.size())));
  }
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

// Peak and current resident memory of the process, in KiB.
long StatusKiB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(in, line))
    if (line.compare(0, key.size(), key) == 0) return std::strtol(line.c_str() + key.size(), nullptr, 10);
  return -1;
}

// Resets the peak (VmHWM) to the current resident size.
void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

struct Measure {
  double seconds;
  double peakGrowthMiB;
};

template <class F>
Measure Run(F&& f) {
  ResetPeak();
  const long before = StatusKiB("VmRSS");
  const auto t0 = Clock::now();
  f();
  const auto t1 = Clock::now();
  const long peak = StatusKiB("VmHWM");
  return {std::chrono::duration<double>(t1 - t0).count(), (peak - before) / 1024.0};
}

double CopyFileRange(const std::string& from, const std::string& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (in < 0 || out < 0) throw std::runtime_error("cannot open for copy_file_range");
  struct stat st {};
  ::fstat(in, &st);
  const auto t0 = Clock::now();
  for (off_t left = st.st_size; left > 0;) {
    const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(left), 0);
    if (n <= 0) throw std::runtime_error("copy_file_range failed");
    left -= n;
  }
  const auto t1 = Clock::now();
  ::close(in);
  ::close(out);
  return std::chrono::duration<double>(t1 - t0).count();
}

// Deleting the first byte of a 512 MiB document, inserting 16 bytes at its
// start, and undoing the deletion: each moves the whole tail once.
void BM_TailMove512MiB(benchmark::State& state) {
  constexpr int64_t kSize = int64_t{512} << 20;
  const std::string source = MakeFile("edit_bench_512", kSize);
  const std::string copy = source + ".copy";
  NullHost host;
  bm::TByteEditor ed(&host);
  ed.Loaded();
  ed.SetClientSize(800, 600);
  if (!ed.LoadFromFile(source)) {
    state.SkipWithError("cannot load the test file");
    return;
  }
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
  state.counters["copy_file_range_s"] = copyS / n;
  state.counters["delete_s"] = delS / n;
  state.counters["delete_vs_copy"] = delS / copyS;
  state.counters["delete_peak_MiB"] = delPeak;
  state.counters["insert16_s"] = insS / n;
  state.counters["insert16_vs_copy"] = insS / copyS;
  state.counters["insert16_peak_MiB"] = insPeak;
  state.counters["undo_delete_s"] = undoS / n;
  state.counters["undo_delete_vs_copy"] = undoS / copyS;
  state.counters["undo_delete_peak_MiB"] = undoPeak;
  std::remove(copy.c_str());
  std::remove(source.c_str());
}
BENCHMARK(BM_TailMove512MiB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// 100,000 single-byte overwrites spread over a 64 MiB document (each pushes
// the oldest undo record out once the history is full), then 100 undos.
void BM_Overwrite64MiB(benchmark::State& state) {
  constexpr int64_t kSize = int64_t{64} << 20;
  constexpr int kWrites = 100000;
  constexpr int kUndos = 100;
  const std::string source = MakeFile("edit_bench_64", kSize);
  NullHost host;
  bm::TByteEditor ed(&host);
  ed.Loaded();
  ed.SetClientSize(800, 600);
  if (!ed.LoadFromFile(source)) {
    state.SkipWithError("cannot load the test file");
    return;
  }
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
  std::remove(source.c_str());
}
BENCHMARK(BM_Overwrite64MiB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
