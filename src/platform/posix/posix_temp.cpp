// Hidden temporaries beside a file being saved. Their names are short and
// recognisable: "." + at most 32 bytes of the file's name + ".bm-" + 6
// letters or digits. Each is locked (flock) while its save runs, so one
// whose lock is free was left by a save that did not finish, and the next
// save of that file removes it.
#include "platform/posix/posix_temp.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

namespace bm::posix {

namespace {

constexpr size_t kStemNameBytes = 32;
constexpr size_t kSuffixLength = 6;
constexpr char kSuffixChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsTempName(std::string_view name, const std::string& stem) {
  if (name.size() != stem.size() + kSuffixLength || name.substr(0, stem.size()) != stem) return false;
  for (char c : name.substr(stem.size()))
    if (c == '\0' || !std::strchr(kSuffixChars, c)) return false;
  return true;
}

}  // namespace

std::string TempStem(const std::string& path) {
  return "." + BaseName(path).substr(0, kStemNameBytes) + ".bm-";
}

std::string HoldStem(const std::string& path) {
  return "." + BaseName(path).substr(0, kStemNameBytes) + ".bm-old-";
}

bool RandomSuffix(std::string& out) {
  unsigned char random[kSuffixLength];
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return false;
  out.clear();
  for (unsigned char r : random) out += kSuffixChars[r % (sizeof kSuffixChars - 1)];
  return true;
}

bool SameInode(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool LockNow(int fd) {
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  return r == 0;
}

void UnlinkIfSame(const std::string& name, const struct stat& st) {
  struct stat now;
  if (::lstat(name.c_str(), &now) == 0 && SameInode(now, st)) ::unlink(name.c_str());
}

namespace {

// Calls found(dfd, name) for each temporary with stem in dir that no running
// save holds (its lock taken for the call); stops when found returns false.
template <typename Found>
void ForEachDeadTemporary(const std::string& dir, const std::string& stem, Found found) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const uid_t me = ::geteuid();
  const int dfd = ::dirfd(d);
  while (const dirent* e = ::readdir(d)) {
    if (!IsTempName(e->d_name, stem)) continue;
    UniqueFd fd(::openat(dfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st;
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != me) continue;
    if (!LockNow(fd.Get())) continue;
    struct stat named;
    if (::fstatat(dfd, e->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !SameInode(st, named)) continue;
    if (!found(dfd, e->d_name)) break;
  }
  ::closedir(d);
}

}  // namespace

void RemoveDeadTemporaries(const std::string& dir, const std::string& stem) {
  ForEachDeadTemporary(dir, stem, [](int dfd, const char* name) {
    ::unlinkat(dfd, name, 0);
    return true;
  });
}

bool HasDeadTemporary(const std::string& dir, const std::string& stem) {
  bool any = false;
  ForEachDeadTemporary(dir, stem, [&](int, const char*) {
    any = true;
    return false;
  });
  return any;
}

LockedTemp::LockedTemp(const std::string& dir, const std::string& stem) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string name = dir + "/" + stem + "XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    UniqueFd fd(::mkostemp(buffer.data(), O_CLOEXEC));
    if (!fd.Valid()) return;
    name.assign(buffer.data());
    struct stat own;
    if (::fstat(fd.Get(), &own) != 0) {
      ::unlink(name.c_str());
      return;
    }
    // Another save may have taken the file for a dead one between its
    // creation and the lock; then the name no longer leads to it.
    struct stat named;
    if (LockNow(fd.Get()) && ::lstat(name.c_str(), &named) == 0 && SameInode(own, named)) {
      fd_ = std::move(fd);
      path_ = std::move(name);
      return;
    }
    UnlinkIfSame(name, own);
  }
}

}  // namespace bm::posix
