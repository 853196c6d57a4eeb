#include "support/bench_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace bm::bench {

// ---- source files ---------------------------------------------------------------------

namespace {

void WriteNoise(const std::string& path, int64_t size) {
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

}  // namespace

SourceFiles& SourceFiles::Get() {
  static SourceFiles files;
  return files;
}

const std::string& SourceFiles::File(int64_t size) {
  auto it = paths_.find(size);
  if (it != paths_.end()) return it->second;
  const std::string path = Folder() + "/source_" + std::to_string(size);
  WriteNoise(path, size);
  return paths_.emplace(size, path).first->second;
}

const std::string& SourceFiles::Folder() {
  if (folder_.empty()) {
    char tmpl[] = "/tmp/bytemoor_bench_XXXXXX";
    if (!::mkdtemp(tmpl)) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    folder_ = tmpl;
  }
  return folder_;
}

void SourceFiles::Remove(int64_t size) {
  auto it = paths_.find(size);
  if (it == paths_.end()) return;
  ::unlink(it->second.c_str());
  paths_.erase(it);
}

void SourceFiles::RemoveAll() {
  if (folder_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
  folder_.clear();
  paths_.clear();
}

SparseFile::SparseFile(int64_t size) {
  char name[] = "/tmp/bytemoor-bench-XXXXXX";
  const int fd = ::mkstemp(name);
  if (fd < 0 || ::ftruncate(fd, size) != 0) {
    std::perror("sparse file");
    std::exit(1);
  }
  // A few bytes that are not zero, so a page shows more than one glyph.
  const char text[] = "Bytemoor paint bench \x01\x7F\xC0\xFF";
  for (int64_t at = 0; at < size; at += size / 64)
    if (::pwrite(fd, text, sizeof text - 1, at) < 0) std::perror("pwrite");
  ::close(fd);
  path_ = name;
}

SparseFile::~SparseFile() { ::unlink(path_.c_str()); }

// ---- memory ---------------------------------------------------------------------------

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

bool ResetPeak() {
  const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::write(fd, "5", 1) == 1;
  ::close(fd);
  return ok;
}

// ---- a file system that counts stream calls ---------------------------------------------

int64_t CountingStream::Position() const {
  ++calls_.positions;
  return inner_->Position();
}

void CountingStream::Seek(int64_t position) {
  ++calls_.seeks;
  inner_->Seek(position);
}

int64_t CountingStream::Read(void* buffer, int64_t count) {
  ++calls_.reads;
  const int64_t n = inner_->Read(buffer, count);
  calls_.bytesRead += n;
  return n;
}

void CountingStream::Write(const void* buffer, int64_t count) {
  ++calls_.writes;
  inner_->Write(buffer, count);
}

int64_t CountingStream::Size() {
  ++calls_.sizes;
  return inner_->Size();
}

void CountingStream::SetSize(int64_t size) {
  ++calls_.setSizes;
  inner_->SetSize(size);
}

void CountingStream::Reserve(int64_t offset, int64_t length) {
  ++calls_.setSizes;
  inner_->Reserve(offset, length);
}

std::unique_ptr<FileStream> CountingFileSystem::Wrap(std::unique_ptr<FileStream> s) {
  if (!s) return s;
  return std::make_unique<CountingStream>(std::move(s), calls);
}

// ---- the kernel-side copy -----------------------------------------------------------------

KernelCopy::KernelCopy(const std::string& from, const std::string& to)
    : in_(::open(from.c_str(), O_RDONLY | O_CLOEXEC)),
      out_(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)) {}

KernelCopy::~KernelCopy() {
  if (in_ >= 0) ::close(in_);
  if (out_ >= 0) ::close(out_);
}

int64_t KernelCopy::SourceSize() const {
  struct stat st {};
  if (in_ < 0 || ::fstat(in_, &st) != 0) return -1;
  return st.st_size;
}

int64_t KernelCopy::Run(int64_t size) {
  int64_t copied = 0;
  while (copied < size) {
    const ssize_t n = ::copy_file_range(in_, nullptr, out_, nullptr, static_cast<size_t>(size - copied), 0);
    if (n <= 0) break;
    copied += n;
  }
  return copied;
}

// ---- running -------------------------------------------------------------------------------

int RunBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SourceFiles::Get().RemoveAll();
  return 0;
}

}  // namespace bm::bench
