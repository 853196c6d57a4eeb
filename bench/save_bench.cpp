// Saving a 512 MiB document after a one-byte edit, with the backup made,
// against the kernel copy of the same file followed by fsync, which is the
// least a save that puts the data on disk can cost.
//
// The files live in a folder under /tmp, made on first use and removed when
// the run ends. Both benchmarks start each round with the same data cached:
// the file they copy from. Pages of files the timed step does not read are
// dropped beforehand, since growing the page cache by gigabytes is several
// times slower than reusing it on some machines (virtual ones in particular),
// which would time the cache, not the save.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "editor/byte_editor.h"
#include "platform/files.h"
#include "support/bench_support.h"

namespace {

using bm::bench::kMiB;
using bm::bench::NullHost;
using bm::bench::SourceFiles;

constexpr int64_t k512MiB = 512 * kMiB;

// copy_file_range of the whole file onto a new file, then fsync; false on error.
bool CopyAndSync(const std::string& from, const std::string& to, int64_t size) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = in >= 0 && out >= 0;
  int64_t copied = 0;
  while (ok && copied < size) {
    const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(size - copied), 0);
    if (n <= 0) ok = false;
    else copied += n;
  }
  ok = ok && ::fsync(out) == 0;
  if (in >= 0) ::close(in);
  if (out >= 0) ::close(out);
  return ok;
}

// Drops the cached pages of a file that is on disk already.
void DropCache(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

void BM_CopyFileRangeAndFsync_512MiB(benchmark::State& state) {
  const std::string& source = SourceFiles::Get().File(k512MiB);
  const std::string target = SourceFiles::Get().Folder() + "/copy";
  for (auto _ : state) {
    if (!CopyAndSync(source, target, k512MiB)) {
      state.SkipWithError("copy_file_range or fsync failed");
      break;
    }
    state.PauseTiming();
    ::unlink(target.c_str());
    ::sync();  // nothing of this round is left to write back in the next
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * k512MiB);
}
BENCHMARK(BM_CopyFileRangeAndFsync_512MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each round: one byte typed (not timed), then Save over the document's own
// file with the backup on (timed). Each save replaces the backup of the save
// before, as a user's second save replaces the first backup.
void BM_SaveToFileWithBackup_512MiB(benchmark::State& state) {
  const std::string folder = SourceFiles::Get().Folder();
  const std::string document = folder + "/document.bin";
  const std::string backup = folder + "/document.bak";
  if (!CopyAndSync(SourceFiles::Get().File(k512MiB), document, k512MiB)) {
    state.SkipWithError("cannot make the document");
    return;
  }
  NullHost host;
  bm::TByteEditor editor(&host);
  editor.Loaded();
  if (!editor.LoadFromFile(document) || !editor.CreateBackup()) {
    state.SkipWithError("LoadFromFile failed");
    return;
  }
  // A first save, not timed, so that every timed save replaces a backup.
  editor.WMChar('6');
  if (!editor.SaveToFile(document)) {
    state.SkipWithError("SaveToFile failed");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    editor.WMChar('7');
    const bool modified = editor.Modified();
    // The typed byte and the previous round are on disk, as they are
    // long before a user saves; the baseline starts the same way.
    ::sync();
    DropCache(document);
    DropCache(backup);
    state.ResumeTiming();
    if (!modified || !editor.SaveToFile(document)) {
      state.SkipWithError("SaveToFile failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * k512MiB);
  editor.NewDocument("Untitled");
  ::unlink(document.c_str());
  ::unlink(backup.c_str());
}
BENCHMARK(BM_SaveToFileWithBackup_512MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bm::bench::RunBenchmarks(argc, argv); }
