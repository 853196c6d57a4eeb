// PosixFileStream and the simple operations of PosixFileSystem. The copies
// live in posix_copy.cpp.
#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_sync.h"

namespace bm {

using posix::ErrnoText;
using posix::UniqueFd;

// ---- PosixFileStream -----------------------------------------------------------

PosixFileStream::PosixFileStream(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

PosixFileStream::~PosixFileStream() {
  sync_.reset();  // joins the worker before the descriptor goes
  if (fd_ >= 0) ::close(fd_);
}

void PosixFileStream::KeepSynced() {
  if (sync_ || fd_ < 0) return;
  auto sync = std::make_unique<posix::DeferredSync>(fd_, posix::DirectoryOf(path_));
  if (sync->Valid()) sync_ = std::move(sync);
}

bool PosixFileStream::SyncNow() { return !sync_ || sync_->SyncNow(); }

void PosixFileStream::Changed() {
  if (sync_) sync_->Changed();
}

void PosixFileStream::Fail(const char* what) const {
  const int e = errno;
  throw FileError(std::string("Cannot ") + what + " \"" + path_ + "\": " + ErrnoText(e), e);
}

int64_t PosixFileStream::Position() const {
  const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
  if (pos < 0) Fail("get the position in");
  return pos;
}

void PosixFileStream::Seek(int64_t position) {
  if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0) Fail("seek in");
}

int64_t PosixFileStream::Read(void* buffer, int64_t count) {
  auto* p = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, p + done, static_cast<size_t>(count - done));
    if (n > 0) {
      done += n;
    } else if (n == 0) {
      break;  // end of file
    } else if (errno != EINTR) {
      Fail("read from");
    }
  }
  return done;
}

void PosixFileStream::Write(const void* buffer, int64_t count) {
  const auto* p = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, p + done, static_cast<size_t>(count - done));
    if (n > 0) {
      done += n;
    } else if (n == 0) {
      errno = EIO;
      Fail("write to");
    } else if (errno != EINTR) {
      Fail("write to");
    }
  }
  Changed();
}

int64_t PosixFileStream::Size() {
  struct stat st;
  if (::fstat(fd_, &st) != 0) Fail("get the size of");
  return st.st_size;
}

void PosixFileStream::SetSize(int64_t size) {
  int r;
  do {
    r = ::ftruncate(fd_, static_cast<off_t>(size));
  } while (r != 0 && errno == EINTR);
  if (r != 0) Fail("set the size of");
  Changed();
}

void PosixFileStream::Reserve(int64_t offset, int64_t length) {
  if (length <= 0) return;
  const int64_t before = Size();
  int r;
  do {
    r = ::posix_fallocate(fd_, static_cast<off_t>(offset), static_cast<off_t>(length));
  } while (r == EINTR);
  if (r == 0) {
    Changed();
    return;
  }
  // Part of the range may have been allocated and the size moved on.
  if (Size() != before) {
    int t;
    do {
      t = ::ftruncate(fd_, static_cast<off_t>(before));
    } while (t != 0 && errno == EINTR);
  }
  errno = r;
  Fail("reserve room in");
}

// ---- helpers -------------------------------------------------------------------------

namespace posix {

std::string TrimBlanks(const std::string& s) {
  auto blank = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
  };
  size_t begin = 0, end = s.size();
  while (begin < end && blank(s[begin])) ++begin;
  while (end > begin && blank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

unsigned CurrentUmask() {
  // /proc/self/status carries "Umask:" since Linux 4.7; reading it leaves the
  // process's mask alone.
  if (FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (std::fgets(line, sizeof line, f)) {
      if (std::sscanf(line, "Umask: %o", &mask) == 1) {
        found = true;
        break;
      }
    }
    std::fclose(f);
    if (found) return mask & 0777;
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask & 0777;
}

}  // namespace posix

// ---- PosixFileSystem: simple operations --------------------------------------------

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int LockExclusive(int fd) {
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  return r;
}

}  // namespace

PosixFileSystem::PosixFileSystem(std::string tempDirectory) {
  std::string dir = posix::TrimBlanks(tempDirectory);
  if (dir.empty()) {
    const char* env = std::getenv("TMPDIR");
    if (env) dir = posix::TrimBlanks(env);
    if (dir.empty() || !IsDirectory(dir)) dir = IsDirectory("/var/tmp") ? "/var/tmp" : "/tmp";
  }
  if (dir.back() != '/') dir += '/';
  tempDirectory_ = std::move(dir);
}

uint32_t PosixFileSystem::TickCount() {
  struct timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

bool PosixFileSystem::FileExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

int64_t PosixFileSystem::FileSize(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
}

bool PosixFileSystem::CanOpenShared(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.Valid()) return false;
  struct stat st;
  return ::fstat(fd.Get(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PosixFileSystem::CanOpenExclusive(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.Valid()) return false;
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0 || (st.st_mode & 0222) == 0) return false;
  // The lock goes with the descriptor when it is closed.
  return LockExclusive(fd.Get()) == 0;
}

bool PosixFileSystem::DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool PosixFileSystem::ExchangeFiles(const std::string& a, const std::string& b) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
  if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) return true;
  // Older kernels and some file systems do not exchange: renames instead.
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
#endif
  return FileSystem::ExchangeFiles(a, b);
}

bool PosixFileSystem::ClearAttributes(const std::string& path) {
  // Through a descriptor of the file itself: a link planted at the name is
  // not followed.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.Valid()) fd = UniqueFd(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  struct stat st;
  if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (::fchmod(fd.Get(), 0600) == 0) return true;
  // An O_PATH descriptor takes no fchmod; its /proc name leads to the same inode.
  return ::chmod(("/proc/self/fd/" + std::to_string(fd.Get())).c_str(), 0600) == 0;
}

std::unique_ptr<FileStream> PosixFileSystem::CreateExclusive(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd.Valid()) return nullptr;
  // A umask stricter than 077 must not leave the working copy unwritable.
  if (::fchmod(fd.Get(), 0600) != 0 || LockExclusive(fd.Get()) != 0) {
    fd.Reset();
    ::unlink(path.c_str());
    return nullptr;
  }
  return std::make_unique<PosixFileStream>(fd.Release(), path);
}

std::unique_ptr<FileStream> PosixFileSystem::OpenReadWrite(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
  if (!fd.Valid()) {
    throw FileError("Cannot open \"" + path + "\" for reading and writing: " + ErrnoText(errno));
  }
  if (LockExclusive(fd.Get()) != 0) {
    const int e = errno;
    throw FileError("Cannot lock \"" + path + "\": " +
                    (e == EWOULDBLOCK ? std::string("the file is in use by another program")
                                      : ErrnoText(e)));
  }
  return std::make_unique<PosixFileStream>(fd.Release(), path);
}

std::unique_ptr<FileStream> PosixFileSystem::OpenForReading(const std::string& path) {
  // O_NONBLOCK: a FIFO must not wait for a writer before it is refused.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.Valid()) {
    const int e = errno;
    throw FileError("Cannot open \"" + path + "\": " + ErrnoText(e), e);
  }
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0) {
    const int e = errno;
    throw FileError("Cannot examine \"" + path + "\": " + ErrnoText(e), e);
  }
  if (S_ISDIR(st.st_mode)) throw FileError("\"" + path + "\" is a folder", EISDIR);
  if (!S_ISREG(st.st_mode)) throw FileError("\"" + path + "\" is not a regular file", EINVAL);
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
  return std::make_unique<PosixFileStream>(fd.Release(), path);
}

FileSystem& SystemFileSystem() {
  // Never destroyed, so editors living in other static objects can still use it.
  static auto* files = new PosixFileSystem();
  return *files;
}

}  // namespace bm
