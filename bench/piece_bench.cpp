// The piece table at 8 GiB: one-byte inserts fresh and after 10,000 edits, typing, and reading 1 GiB against pread.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "piece/piece_table.h"
#include "platform/posix/posix_files.h"

namespace {

using namespace bm::piece;
constexpr int64_t kGiB = int64_t{1} << 30;

// A sparse file of size bytes in a fresh folder, removed at exit.
struct Sparse {
  explicit Sparse(int64_t size) {
    char name[] = "/tmp/bytemoor-piece-bench-XXXXXX";
    folder = ::mkdtemp(name);
    path = folder + "/base.bin";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
    if (fd < 0 || ::ftruncate(fd, size) != 0) std::abort();
    ::close(fd);
  }
  ~Sparse() { std::filesystem::remove_all(folder); }
  std::string folder, path;
};

struct Doc {
  Doc(const Sparse& file, int scattered) : files(file.folder) {
    base = BaseFile::Open(file.path);
    add = AddStore::Create(files, file.folder + "/");
    table = std::make_unique<PieceTable>(base.get(), *add);
    std::mt19937_64 rng(42);
    for (int i = 0; i < scattered; ++i) {
      const uint8_t b[4] = {1, 2, 3, 4};
      const int64_t at = static_cast<int64_t>(rng() % static_cast<uint64_t>(table->Size()));
      if (i % 2) table->Insert(at, b, 4); else table->Replace(at, 3, b, 2);
    }
  }
  bm::PosixFileSystem files;
  std::unique_ptr<BaseFile> base;
  std::unique_ptr<AddStore> add;
  std::unique_ptr<PieceTable> table;
};

// Insert one byte at start, middle or end, then undo it (Restore of the kept version).
void BM_InsertByteAt8GiB(benchmark::State& state) {
  static Sparse file(8 * kGiB);
  Doc doc(file, static_cast<int>(state.range(1)));
  PieceTable& t = *doc.table;
  const int64_t where[3] = {0, t.Size() / 2, t.Size()};
  const int64_t at = where[state.range(0)];
  const uint8_t b = 0x41;
  for (auto _ : state) {
    const auto before = t.Keep();
    t.Insert(at, &b, 1);
    t.Restore(before);
  }
  state.counters["pieces"] = static_cast<double>(t.PieceCount());
}
BENCHMARK(BM_InsertByteAt8GiB)->ArgsProduct({{0, 1, 2}, {0, 10000}})->Unit(benchmark::kMicrosecond);

// Typing 1 MiB of hex digits (two writes a byte) over an 8 GiB file.
void BM_TypeMegabyte(benchmark::State& state) {
  static Sparse file(8 * kGiB);
  for (auto _ : state) {
    Doc doc(file, 0);
    PieceTable& t = *doc.table;
    const bool insert = state.range(0) == 1;
    for (int64_t i = 0; i < (1 << 20); ++i) {
      const int64_t p = 3 * kGiB + i;
      if (insert) {
        const auto before = t.Keep();
        const uint8_t high = 0x50;
        t.Insert(p, &high, 1);
      } else {
        t.WriteByte(p, 0x50);
      }
      t.WriteByte(p, static_cast<uint8_t>(0x50 | (i & 15)));
    }
    state.counters["pieces"] = static_cast<double>(t.PieceCount());
  }
}
BENCHMARK(BM_TypeMegabyte)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

// One 1 GiB file for both readers, read once first so that both find its
// (zero) pages in the cache.
const Sparse& GiBFile() {
  static Sparse file(kGiB);
  static const bool warm = [] {
    const int fd = ::open(file.path.c_str(), O_RDONLY);
    std::vector<uint8_t> buffer(1 << 20);
    for (int64_t at = 0; at < kGiB; at += 1 << 20) (void)!::pread(fd, buffer.data(), buffer.size(), at);
    ::close(fd);
    return true;
  }();
  (void)warm;
  return file;
}

// Reading 1 GiB in 1 MiB blocks through the pieces (one piece, or 10,000)
// against a plain pread of the same file.
void BM_Read1GiB(benchmark::State& state) {
  Doc doc(GiBFile(), static_cast<int>(state.range(0)));
  std::vector<uint8_t> buffer(1 << 20);
  for (auto _ : state) {
    for (int64_t at = 0; at < kGiB; at += 1 << 20) {
      benchmark::DoNotOptimize(doc.table->Read(at, buffer.data(), 1 << 20));
    }
  }
  state.SetBytesProcessed(state.iterations() * kGiB);
  state.counters["pieces"] = static_cast<double>(doc.table->PieceCount());
}
BENCHMARK(BM_Read1GiB)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Pread1GiB(benchmark::State& state) {
  const int fd = ::open(GiBFile().path.c_str(), O_RDONLY);
  std::vector<uint8_t> buffer(1 << 20);
  for (auto _ : state) {
    for (int64_t at = 0; at < kGiB; at += 1 << 20)
      benchmark::DoNotOptimize(::pread(fd, buffer.data(), buffer.size(), at));
  }
  ::close(fd);
  state.SetBytesProcessed(state.iterations() * kGiB);
}
BENCHMARK(BM_Pread1GiB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
