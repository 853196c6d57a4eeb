// Loading on POSIX: the file is opened once, without waiting (a FIFO or a
// device that would block is refused, not waited for), and everything after,
// the kind and size check, the write probe and the copy, goes through that
// descriptor. Another user who swaps the name meanwhile changes nothing.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_files.h"

namespace bm {

using posix::UniqueFd;

namespace {

// Pseudo files (/proc, /sys) report a size of 0 and are read up to this.
constexpr int64_t kUnsizedReadLimit = int64_t{16} << 20;

// Whether the file behind fd may be opened for reading and writing with an
// exclusive lock: reopened through /proc/self/fd, which leads to the same
// inode whatever the name holds now. A file without any write bit counts as
// read-only, for root too.
bool WritableWithoutSharing(int fd, const struct stat& st) {
  if ((st.st_mode & 0222) == 0) return false;
  UniqueFd rw(::open(("/proc/self/fd/" + std::to_string(fd)).c_str(),
                     O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat again;
  if (!rw.Valid() || ::fstat(rw.Get(), &again) != 0 || again.st_dev != st.st_dev || again.st_ino != st.st_ino)
    return false;
  int r;
  do {
    r = ::flock(rw.Get(), LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  return r == 0;  // the lock goes with the descriptor
}

class PosixLoadSource : public LoadSource {
 public:
  PosixLoadSource(UniqueFd fd, const struct stat& st, bool link, bool readOnly) : fd_(std::move(fd)), readOnly_(readOnly) {
    identity_.known = true;
    identity_.link = link;
    identity_.device = st.st_dev;
    identity_.inode = st.st_ino;
    identity_.size = st.st_size;
    identity_.mtimeNs = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  }
  int64_t Size() const override { return identity_.size; }
  bool ReadOnly() const override { return readOnly_; }
  const FileIdentity& Identity() const override { return identity_; }

  bool CopyOnto(const std::string& to, bool& sourceFault) override {
    if (::lseek(fd_.Get(), 0, SEEK_SET) != 0) {
      sourceFault = true;
      return false;
    }
    const int64_t limit = identity_.size > 0 ? identity_.size : kUnsizedReadLimit;
    return posix::ReplaceWorkingCopyFrom(fd_.Get(), limit, to, sourceFault);
  }
  int TakeDescriptor() override { return fd_.Release(); }

 private:
  UniqueFd fd_;
  bool readOnly_;
  FileIdentity identity_;
};

}  // namespace

std::unique_ptr<LoadSource> PosixFileSystem::OpenForLoad(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.Valid()) return nullptr;
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0) return nullptr;
  if (!S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return nullptr;
  }
  // Reads wait for the disk as usual from here on.
  ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
  // Whether the name itself is a link only matters to a later save's check
  // of the name; the file's own identity comes from the descriptor.
  struct stat named;
  const bool link = ::lstat(path.c_str(), &named) == 0 && S_ISLNK(named.st_mode);
  const bool readOnly = !WritableWithoutSharing(fd.Get(), st);
  return std::make_unique<PosixLoadSource>(std::move(fd), st, link, readOnly);
}

}  // namespace bm
