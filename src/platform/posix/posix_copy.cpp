// Whole-file copies of PosixFileSystem: the in-place copy and the replacement
// of the working copy. The save onto the user's file is in posix_save.cpp.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_files.h"

namespace bm {

using posix::DirectoryOf;
using posix::UniqueFd;

namespace {

constexpr size_t kKernelChunk = size_t{1} << 30;
constexpr size_t kBufferSize = size_t{1} << 20;

bool WriteAll(int fd, const char* p, size_t count) {
  while (count > 0) {
    const ssize_t n = ::write(fd, p, count);
    if (n > 0) {
      p += n;
      count -= static_cast<size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      if (n == 0) errno = EIO;
      return false;
    }
  }
  return true;
}

// Copies until the end of in or limit bytes (limit < 0: no limit).
posix::CopyResult BufferedCopy(int in, int out, int64_t limit) {
  std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  for (;;) {
    size_t want = kBufferSize;
    if (limit >= 0 && static_cast<uint64_t>(limit) < want) want = static_cast<size_t>(limit);
    if (want == 0) return posix::CopyResult::Done;
    const ssize_t n = ::read(in, buffer.get(), want);
    if (n == 0) return posix::CopyResult::Done;
    if (n < 0) {
      if (errno == EINTR) continue;
      return posix::CopyResult::ReadFailed;
    }
    if (!WriteAll(out, buffer.get(), static_cast<size_t>(n))) return posix::CopyResult::WriteFailed;
    if (limit >= 0) limit -= n;
  }
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens the source of a copy; directories are refused.
UniqueFd OpenSource(const std::string& from, struct stat& st) {
  UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (!in.Valid()) return in;
  if (::fstat(in.Get(), &st) != 0 || S_ISDIR(st.st_mode)) in.Reset();
  return in;
}

// Empties a regular target before a copy onto it; leaves devices alone.
bool TruncateTarget(int out, const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return true;
  int r;
  do {
    r = ::ftruncate(out, 0);
  } while (r != 0 && errno == EINTR);
  return r == 0;
}

// A temporary file beside a target: removed unless Commit renamed it over
// the target.
class TempFile {
 public:
  // Creates target + ".XXXXXX" with mode 0600; Valid() tells whether it worked.
  explicit TempFile(const std::string& target) {
    std::vector<char> name(target.begin(), target.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the terminating zero
    fd_ = UniqueFd(::mkostemp(name.data(), O_CLOEXEC));
    if (fd_.Valid()) path_.assign(name.data());
  }
  ~TempFile() {
    fd_.Reset();
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool Valid() const { return fd_.Valid(); }
  int Fd() const { return fd_.Get(); }
  // Closes the file and renames it over target.
  bool Commit(const std::string& target) { return Close() && RenameTo(target, 0); }
  bool Close() { return fd_.Close(); }
  // Renames the closed file to target (renameat2 flags); it is kept then.
  bool RenameTo(const std::string& target, unsigned flags) {
    if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), flags) != 0) return false;
    path_.clear();
    return true;
  }

 private:
  UniqueFd fd_;
  std::string path_;
};

// Moves path to a new, unused name beside it (stored in aside). False when
// path does not exist or the file system cannot rename without replacing.
bool MoveAside(const std::string& path, std::string& aside) {
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char random[6];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return false;
    aside = path + ".old.";
    for (unsigned char r : random) aside += kDigits[r % 36];
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0)
      return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace

namespace posix {

// EINVAL: a pipe or a device without a cache.
bool Sync(int fd) { return ::fsync(fd) == 0 || errno == EINVAL; }

bool SyncDirectory(const std::string& dir) {
  UniqueFd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return d.Valid() && Sync(d.Get());
}

bool CopyContents(int in, int out) { return CopyLimited(in, out, -1) == CopyResult::Done; }

CopyResult CopyLimited(int in, int out, int64_t limit) {
  // A clone shares the source's extents and takes the whole file, so it only
  // fits an empty target and a source read from its start; a file grown
  // past the limit meanwhile is cut back to it.
  struct stat outStat;
  if (::lseek(in, 0, SEEK_CUR) == 0 && ::lseek(out, 0, SEEK_CUR) == 0 &&
      ::fstat(out, &outStat) == 0 && S_ISREG(outStat.st_mode) && outStat.st_size == 0 &&
      ::ioctl(out, FICLONE, in) == 0) {
    if (limit >= 0 && ::fstat(out, &outStat) == 0 && outStat.st_size > limit &&
        ::ftruncate(out, static_cast<off_t>(limit)) != 0)
      return CopyResult::WriteFailed;
    return CopyResult::Done;
  }
  int64_t copied = 0;
  for (;;) {
    size_t chunk = kKernelChunk;
    if (limit >= 0 && static_cast<uint64_t>(limit - copied) < chunk) chunk = static_cast<size_t>(limit - copied);
    if (chunk == 0) return CopyResult::Done;
    const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
    if (n > 0) {
      copied += n;
      continue;
    }
    if (n == 0) {
      if (copied > 0) return CopyResult::Done;
      // Nothing at all: an empty file, or one whose size the kernel does not
      // know in advance (procfs); reading tells them apart.
      break;
    }
    if (errno == EINTR) continue;
    if (errno == ENOSPC || errno == EDQUOT || errno == EFBIG) return CopyResult::WriteFailed;
    break;  // not supported for these two files, or an error the loop tells apart
  }
  return BufferedCopy(in, out, limit < 0 ? -1 : limit - copied);
}

}  // namespace posix

bool PosixFileSystem::CopyFile(const std::string& from, const std::string& to) {
  struct stat source;
  UniqueFd in = OpenSource(from, source);
  if (!in.Valid()) return false;
  UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666));
  if (!out.Valid()) return false;
  struct stat target;
  // Truncating a file that is also the source would lose it.
  if (::fstat(out.Get(), &target) != 0 || SameFile(source, target)) return false;
  if (!TruncateTarget(out.Get(), target)) return false;
  if (!posix::CopyContents(in.Get(), out.Get())) return false;
  return out.Close();
}

bool PosixFileSystem::ReplaceWorkingCopy(const std::string& from, const std::string& to) {
  struct stat source;
  UniqueFd in = OpenSource(from, source);
  if (!in.Valid()) return false;
  bool sourceFault = false;
  return posix::ReplaceWorkingCopyFrom(in.Get(), -1, to, sourceFault);
}

namespace posix {

bool ReplaceWorkingCopyFrom(int in, int64_t limit, const std::string& to, bool& sourceFault) {
  sourceFault = false;
  TempFile temp(to);
  if (!temp.Valid()) return false;
  const CopyResult copied = CopyLimited(in, temp.Fd(), limit);
  if (copied != CopyResult::Done) {
    sourceFault = copied == CopyResult::ReadFailed;
    return false;
  }
  if (!temp.Close()) return false;
  // Renaming a file over an existing one makes ext4 write the new file out
  // at once (auto_da_alloc), which doubles the time of a large load. So the
  // old copy is moved aside first and the new one renamed onto a free name;
  // the old copy comes back if that fails.
  std::string aside;
  if (!MoveAside(to, aside)) return temp.RenameTo(to, 0);
  if (temp.RenameTo(to, RENAME_NOREPLACE) || temp.RenameTo(to, 0)) {
    ::unlink(aside.c_str());
    return true;
  }
  ::rename(aside.c_str(), to.c_str());
  return false;
}

}  // namespace posix

}  // namespace bm
