// The document on pieces, measured through the editor with a baseline in the
// same run: loading 8 GiB and 1 TiB sparse files against open + fstat; a
// one-byte insert, its undo and redo at the start, middle and end of 8 GiB,
// fresh and after 10,000 scattered edits; 1 MiB of hex digits typed over
// 8 GiB; an absent pattern searched in 1 GiB against memmem over pread
// blocks, unedited and on 10,000 pieces; saving 1 GiB against
// copy_file_range + fsync; and the peak memory of open, edits, a 1 GiB cut
// and its undo at 8 GiB.
//
// Every file lives in one folder under /tmp, removed when the run ends; the
// 1 GiB file of random data is written once per run.
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "support/bench_support.h"

namespace {

using bm::bench::kMiB;
using bm::bench::NullHost;
using bm::bench::ReadMemory;
using bm::bench::SourceFiles;
using Clock = std::chrono::steady_clock;

constexpr int64_t kGiB = 1024 * kMiB;
constexpr int64_t k8GiB = 8 * kGiB;
constexpr int64_t kTiB = 1024 * kGiB;
constexpr int kScatteredEdits = 10000;
// Absent from the random file: checked by every search that must miss it.
const uint8_t kAbsent[8] = {0x13, 0x37, 0x00, 0xFE, 0x21, 0x5C, 0x90, 0x07};

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

double MiB(int64_t kib) { return static_cast<double>(kib) / 1024.0; }

// The resident memory once the heap has handed back what earlier benchmarks
// freed, so that growth after it is not hidden by reused pages.
int64_t TrimmedRssKiB() {
  ::malloc_trim(0);
  return ReadMemory().rss;
}

// Times fn once, in milliseconds.
template <class Fn>
double Millis(Fn&& fn) {
  const auto t0 = Clock::now();
  fn();
  return Seconds(t0, Clock::now()) * 1e3;
}

// A sparse file of size bytes with a few bytes written at its end, in the
// run's folder; made once per size.
const std::string& SparseAtEnd(int64_t size) {
  static std::vector<std::pair<int64_t, std::string>> made;
  for (const auto& [s, path] : made)
    if (s == size) return path;
  const std::string path = SourceFiles::Get().Folder() + "/sparse_" + std::to_string(size);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const char tail[] = "Bytemoor";
  if (fd < 0 || ::ftruncate(fd, size) != 0 ||
      ::pwrite(fd, tail, sizeof tail - 1, size - static_cast<int64_t>(sizeof tail - 1)) < 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
  ::close(fd);
  made.emplace_back(size, path);
  return made.back().second;
}

// An editor on a window that draws nothing, sized 800 x 600.
struct Document {
  Document() {
    ed.Loaded();
    ed.SetClientSize(800, 600);
  }
  bool Load(const std::string& path, benchmark::State& state) {
    if (ed.LoadFromFile(path)) return true;
    state.SkipWithError(("cannot load: " + ed.LoadError()).c_str());
    return false;
  }
  NullHost host{14};
  bm::TByteEditor ed{&host};
};

// count edits at random places, a third each overwrites, inserts and
// deletes of one byte, all through the editor's undoable steps.
void ScatteredEdits(bm::TByteEditor& ed, int count, uint32_t seed) {
  std::mt19937_64 rng(seed);
  for (int i = 0; i < count; ++i) {
    const int64_t p = static_cast<int64_t>(rng() % static_cast<uint64_t>(ed.DataSize() - 1));
    const uint8_t value = static_cast<uint8_t>(rng());
    switch (i % 3) {
      case 0:
        ed.OverwriteByte(ed.ReadByte(p), value, p, ed.RowOfPosition(p));
        break;
      case 1:
        ed.InsertBuffer(&value, 1, p);
        break;
      default:
        ed.SetSelStart(p);
        ed.DeleteAtCursor(false);
        break;
    }
  }
}

// Overwrites count bytes spread evenly over the document with their value
// xor 0x5A: one new piece each, the size unchanged.
void ScatteredOverwrites(bm::TByteEditor& ed, int count) {
  const int64_t stride = ed.DataSize() / count;
  for (int i = 0; i < count; ++i) {
    const int64_t p = i * stride + (i * 7919) % stride;
    const uint8_t old = ed.ReadByte(p);
    ed.OverwriteByte(old, static_cast<uint8_t>(old ^ 0x5A), p, ed.RowOfPosition(p));
  }
}

// ---- load ---------------------------------------------------------------------------------

// LoadFromFile of a sparse file of range(0) GiB, each load timed alone (the
// NewDocument that closes it is not), against open + fstat + close of the
// same file.
void BM_Load(benchmark::State& state) {
  const int64_t size = state.range(0) * kGiB;
  const std::string& path = SparseAtEnd(size);
  constexpr int kRounds = 20;
  Document doc;
  double loadMs = 0, loadMax = 0, statMs = 0;
  for (auto _ : state) {
    for (int i = 0; i < kRounds; ++i) {
      bool ok = false;
      const double ms = Millis([&] { ok = doc.ed.LoadFromFile(path); });
      if (!ok || doc.ed.DataSize() != size) return state.SkipWithError("load failed");
      loadMs += ms;
      loadMax = std::max(loadMax, ms);
      doc.ed.NewDocument("Untitled");
      statMs += Millis([&] {
        struct stat st {};
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_size != size) state.SkipWithError("fstat failed");
        ::close(fd);
      });
    }
  }
  const double n = static_cast<double>(state.iterations()) * kRounds;
  state.counters["load_ms"] = loadMs / n;
  state.counters["load_max_ms"] = loadMax;
  state.counters["open_fstat_us"] = statMs / n * 1e3;
  state.counters["load_vs_open_fstat"] = loadMs / statMs;
}
BENCHMARK(BM_Load)->ArgName("GiB")->Arg(8)->Arg(1024)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- one-byte insert, undo, redo ----------------------------------------------------------

// A one-byte InsertBuffer at the start, middle and end of an 8 GiB document
// with its Undo and Redo, each timed alone, 200 rounds a place; range(0)
// scattered edits come first.
void BM_InsertUndoRedo8GiB(benchmark::State& state) {
  constexpr int kRounds = 200;
  Document doc;
  if (!doc.Load(SparseAtEnd(k8GiB), state)) return;
  bm::TByteEditor& ed = doc.ed;
  ScatteredEdits(ed, static_cast<int>(state.range(0)), 11);
  state.counters["pieces_before"] = static_cast<double>(ed.PieceCount());
  const uint8_t byte = 0x41;
  const char* names[3] = {"start", "middle", "end"};
  for (auto _ : state) {
    for (int at = 0; at < 3; ++at) {
      double ins = 0, undo = 0, redo = 0, worst = 0;
      for (int i = 0; i < kRounds; ++i) {
        const int64_t size = ed.DataSize();
        const int64_t p = at == 0 ? 0 : at == 1 ? size / 2 : size;
        const double a = Millis([&] { ed.InsertBuffer(&byte, 1, p); });
        const bool inserted = ed.DataSize() == size + 1 && ed.ReadByte(p) == byte;
        const double b = Millis([&] { ed.Undo(); });
        const bool undone = ed.DataSize() == size;
        const double c = Millis([&] { ed.Redo(); });
        const bool redone = ed.DataSize() == size + 1 && ed.ReadByte(p) == byte;
        ed.Undo();
        if (!inserted || !undone || !redone) return state.SkipWithError("insert, undo or redo went wrong");
        ins += a, undo += b, redo += c;
        worst = std::max({worst, a, b, c});
      }
      const std::string name = names[at];
      state.counters[name + "_insert_ms"] = ins / kRounds;
      state.counters[name + "_undo_ms"] = undo / kRounds;
      state.counters[name + "_redo_ms"] = redo / kRounds;
      state.counters[name + "_worst_ms"] = worst;
    }
  }
}
BENCHMARK(BM_InsertUndoRedo8GiB)
    ->ArgName("edits")
    ->Arg(0)
    ->Arg(kScatteredEdits)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// ---- typing -------------------------------------------------------------------------------

// range(1) KiB of bytes typed as hex digits (two keystrokes a byte) at 4 GiB
// into an 8 GiB file, in overwrite mode (range(0) = 0) or insert mode (1):
// the pieces left and the memory above the editor just after load.
void BM_TypeHex8GiB(benchmark::State& state) {
  const bool insert = state.range(0) == 1;
  const int64_t bytes = state.range(1) * 1024;
  Document doc;
  const int64_t emptyKiB = TrimmedRssKiB();
  if (!doc.Load(SparseAtEnd(k8GiB), state)) return;
  bm::TByteEditor& ed = doc.ed;
  if (insert) {
    ed.SetAllowInsertMode(true);
    ed.ToggleInsertState();
    if (!ed.IsInsertMode()) return state.SkipWithError("no insert mode");
  }
  constexpr int64_t kAt = 4 * kGiB;
  ed.SetSelStart(kAt);
  static const char kDigits[] = "0123456789ABCDEF";
  double seconds = 0;
  int64_t growthKiB = 0, loadedKiB = 0;
  for (auto _ : state) {
    loadedKiB = TrimmedRssKiB();
    growthKiB = bm::bench::PeakGrowthKiB([&] {
      const auto t0 = Clock::now();
      for (int64_t i = 0; i < 2 * bytes; ++i) ed.WMChar(static_cast<uint8_t>(kDigits[(i * 7) % 16]));
      seconds = Seconds(t0, Clock::now());
    });
  }
  if (ed.DataSize() != k8GiB + (insert ? bytes : 0)) return state.SkipWithError("size is wrong");
  // Spot checks: the first and last typed bytes hold the digits typed.
  const auto typed = [&](int64_t k) {
    return static_cast<uint8_t>(std::strtol(std::string{kDigits[(2 * k * 7) % 16], kDigits[((2 * k + 1) * 7) % 16]}.c_str(),
                                            nullptr, 16));
  };
  if (ed.ReadByte(kAt) != typed(0) || ed.ReadByte(kAt + bytes - 1) != typed(bytes - 1))
    return state.SkipWithError("typed bytes are wrong");
  state.counters["pieces"] = static_cast<double>(ed.PieceCount());
  state.counters["peak_growth_after_load_MiB"] = MiB(growthKiB);
  state.counters["retained_growth_after_load_MiB"] = MiB(ReadMemory().rss - loadedKiB);
  state.counters["rss_above_empty_editor_MiB"] = MiB(ReadMemory().rss - emptyKiB);
  state.counters["typing_s"] = seconds;
  state.counters["us_per_key"] = seconds * 1e6 / static_cast<double>(2 * bytes);
}
BENCHMARK(BM_TypeHex8GiB)
    ->ArgNames({"insert", "KiB"})
    ->Args({0, 1024})
    ->Args({1, 1024})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// ---- search -------------------------------------------------------------------------------

// What memmem over the file read in 1 MiB blocks with pread takes to miss
// the pattern; the last 7 bytes of a block are kept before the next one so
// that a match across blocks is not missed.
int64_t MemmemOverFile(const std::string& path, const uint8_t* pattern, size_t n) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -2;
  std::vector<uint8_t> buffer(kMiB + n);
  size_t kept = 0;
  int64_t offset = 0, found = -1;
  for (;;) {
    const ssize_t got = ::pread(fd, buffer.data() + kept, kMiB, offset);
    if (got <= 0) break;
    const size_t have = kept + static_cast<size_t>(got);
    if (const void* hit = ::memmem(buffer.data(), have, pattern, n)) {
      found = offset - static_cast<int64_t>(kept) + (static_cast<const uint8_t*>(hit) - buffer.data());
      break;
    }
    kept = std::min(have, n - 1);
    std::memmove(buffer.data(), buffer.data() + have - kept, kept);
    offset += got;
  }
  ::close(fd);
  return found;
}

// FindData of an absent 8-byte pattern over 1 GiB of random data, unedited
// and after 10,000 scattered one-byte overwrites, against memmem over pread
// blocks of the same file; three of each, alternated, the best counted.
void BM_FindAbsent1GiB(benchmark::State& state) {
  const std::string& path = SourceFiles::Get().File(kGiB);
  Document doc;
  if (!doc.Load(path, state)) return;
  bm::TByteEditor& ed = doc.ed;
  const auto find = [&] {
    uint8_t pattern[8];
    std::memcpy(pattern, kAbsent, 8);
    return ed.FindData(pattern, 8, 0, ed.DataSize() - 1, false, false);
  };
  double memmemMs = 1e18, plainMs = 1e18, piecesMs = 1e18;
  int64_t pieces = 0;
  for (auto _ : state) {
    MemmemOverFile(path, kAbsent, 8);  // warms the page cache
    for (int i = 0; i < 3; ++i) {
      int64_t a = 0, b = 0;
      memmemMs = std::min(memmemMs, Millis([&] { a = MemmemOverFile(path, kAbsent, 8); }));
      plainMs = std::min(plainMs, Millis([&] { b = find(); }));
      if (a != -1 || b != -1) return state.SkipWithError("the pattern was found");
    }
    ScatteredOverwrites(ed, kScatteredEdits);
    pieces = ed.PieceCount();
    for (int i = 0; i < 3; ++i) {
      int64_t b = 0;
      piecesMs = std::min(piecesMs, Millis([&] { b = find(); }));
      if (b != -1) return state.SkipWithError("the pattern was found");
    }
  }
  state.counters["memmem_pread_ms"] = memmemMs;
  state.counters["find_unedited_ms"] = plainMs;
  state.counters["find_vs_memmem_speed"] = memmemMs / plainMs;
  state.counters["pieces"] = static_cast<double>(pieces);
  state.counters["find_pieces_ms"] = piecesMs;
  state.counters["pieces_vs_unedited_speed"] = plainMs / piecesMs;
}
BENCHMARK(BM_FindAbsent1GiB)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- save ---------------------------------------------------------------------------------

// copy_file_range of the file to another name and fsync, in milliseconds.
double CopyAndSync(const std::string& from, const std::string& to, int64_t size) {
  const auto t0 = Clock::now();
  {
    bm::bench::KernelCopy copy(from, to);
    if (!copy.IsOpen() || copy.Run(size) != size) return -1;
  }
  const int fd = ::open(to.c_str(), O_WRONLY | O_CLOEXEC);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  return synced ? Seconds(t0, Clock::now()) * 1e3 : -1;
}

// SaveToFileWithoutBackup to another name (so no backup is made) of 1 GiB
// after one overwritten byte, and after 10,000 one-byte inserts spread over
// it, each against copy_file_range + fsync of the source to another name
// just before; the written file is checked for its size and removed. Three
// rounds, the best of each counted.
void BM_Save1GiB(benchmark::State& state) {
  const std::string& source = SourceFiles::Get().File(kGiB);
  const std::string copy = SourceFiles::Get().Folder() + "/copied";
  const std::string saved = SourceFiles::Get().Folder() + "/saved";
  double copyMs[2] = {1e18, 1e18}, saveMs[2] = {1e18, 1e18};
  int64_t piecesMany = 0;
  for (auto _ : state) {
    for (int many = 0; many < 2; ++many) {
      Document doc;
      if (!doc.Load(source, state)) return;
      bm::TByteEditor& ed = doc.ed;
      if (many) {
        const int64_t stride = kGiB / kScatteredEdits;
        for (int i = 0; i < kScatteredEdits; ++i) {
          const uint8_t b = static_cast<uint8_t>(i);
          ed.InsertBuffer(&b, 1, i * (stride + 1) + (i * 7919) % stride);
        }
        piecesMany = ed.PieceCount();
      } else {
        ScatteredOverwrites(ed, 1);
      }
      const int64_t size = ed.DataSize();
      ::sync();
      const double c = CopyAndSync(source, copy, kGiB);
      ::unlink(copy.c_str());
      ::sync();
      bool ok = false;
      const double s = Millis([&] { ok = ed.SaveToFileWithoutBackup(saved); });
      struct stat st {};
      if (c < 0 || !ok || ::stat(saved.c_str(), &st) != 0 || st.st_size != size)
        return state.SkipWithError("copy or save failed");
      ed.NewDocument("Untitled");
      ::unlink(saved.c_str());
      copyMs[many] = std::min(copyMs[many], c);
      saveMs[many] = std::min(saveMs[many], s);
    }
  }
  state.counters["copy_fsync_ms"] = std::min(copyMs[0], copyMs[1]);
  state.counters["save_one_edit_ms"] = saveMs[0];
  state.counters["save_one_edit_vs_copy"] = saveMs[0] / copyMs[0];
  state.counters["inserts_pieces"] = static_cast<double>(piecesMany);
  state.counters["save_10k_inserts_ms"] = saveMs[1];
  state.counters["save_10k_inserts_vs_copy"] = saveMs[1] / copyMs[1];
}
BENCHMARK(BM_Save1GiB)->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- memory -------------------------------------------------------------------------------

// Peak RSS at 8 GiB over the empty editor: open, 10,000 scattered edits, a
// cut of 1 GiB from the middle (select, DeleteSelection) and its Undo.
void BM_PeakMemory8GiB(benchmark::State& state) {
  const std::string& path = SparseAtEnd(k8GiB);
  double cutMs = 0, undoMs = 0;
  int64_t emptyKiB = 0, peakKiB = 0, pieces = 0;
  for (auto _ : state) {
    Document doc;
    bm::TByteEditor& ed = doc.ed;
    emptyKiB = TrimmedRssKiB();
    if (!bm::bench::ResetPeak()) return state.SkipWithError("cannot reset the peak");
    if (!doc.Load(path, state)) return;
    ScatteredEdits(ed, kScatteredEdits, 23);
    const int64_t size = ed.DataSize();
    ed.SetSelStart(3 * kGiB);
    ed.SetSelEnd(4 * kGiB - 1);
    cutMs = Millis([&] { ed.DeleteSelection(); });
    const bool cut = ed.DataSize() == size - kGiB;
    undoMs = Millis([&] { ed.Undo(); });
    if (!cut || ed.DataSize() != size) return state.SkipWithError("cut or undo went wrong");
    pieces = ed.PieceCount();
    peakKiB = ReadMemory().peak;
  }
  state.counters["empty_editor_MiB"] = MiB(emptyKiB);
  state.counters["peak_above_empty_MiB"] = MiB(peakKiB - emptyKiB);
  state.counters["pieces"] = static_cast<double>(pieces);
  state.counters["cut_1GiB_ms"] = cutMs;
  state.counters["undo_cut_ms"] = undoMs;
}
BENCHMARK(BM_PeakMemory8GiB)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bm::bench::RunBenchmarks(argc, argv); }
