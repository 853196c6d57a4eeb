// The private folder of this user's working copies: "bytemoor-<uid>" in the
// temporary directory, or, when another user holds that name (their folder,
// one open to everybody, a link, a plain file), "bytemoor" in the user's
// cache folder. Another user can neither read the working copies nor claim
// their names ahead of us, nor stop us from working by planting a folder.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_files.h"

namespace bm {

using posix::UniqueFd;

namespace {

// Why folder may not hold the working copies; empty when it may. It must be
// a real folder (no link) of this user that nobody else may enter. create:
// made 0700 when missing. repair: a folder of ours open to others is closed
// (only for the folder in the user's own home). held tells whether the
// name is taken by something that is not ours to use (rather than the
// system failing us).
std::string CheckFolder(const std::string& folder, bool create, bool repair, bool& held) {
  held = false;
  const bool made = create && ::mkdir(folder.c_str(), 0700) == 0;
  if (create && !made && errno != EEXIST) return posix::ErrnoText(errno);
  struct stat named;
  if (::lstat(folder.c_str(), &named) != 0) return posix::ErrnoText(errno);
  held = true;
  if (S_ISLNK(named.st_mode)) return "a symbolic link, not a folder";
  if (!S_ISDIR(named.st_mode)) return "not a folder";
  if (named.st_uid != ::geteuid()) return "the folder belongs to another user";
  held = false;
  UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat opened;
  if (!fd.Valid() || ::fstat(fd.Get(), &opened) != 0) return posix::ErrnoText(errno);
  if (opened.st_dev != named.st_dev || opened.st_ino != named.st_ino)
    return "the folder was replaced while it was checked";
  if ((made || repair) && (opened.st_mode & 07777) != 0700) {
    // A folder we just made under a strict umask, or our own one in our home.
    if (::fchmod(fd.Get(), 0700) != 0) return posix::ErrnoText(errno);
  } else if ((opened.st_mode & 077) != 0) {
    held = true;
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(opened.st_mode & 07777));
    return std::string("other users may use the folder (mode ") + mode + ")";
  }
  return {};
}

// $XDG_CACHE_HOME (an absolute path), else the home folder's ".cache".
std::string CacheFolder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  std::string home;
  if (const char* env = std::getenv("HOME"); env && env[0] == '/') home = env;
  else if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') home = pw->pw_dir;
  if (home.empty()) return {};
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  return home + "/.cache";
}

}  // namespace

std::string PosixFileSystem::UsualWorkDirectory() const {
  return tempDirectory_ + "bytemoor-" + std::to_string(::geteuid());
}

std::string PosixFileSystem::PrivateWorkDirectory() const {
  const std::string cache = CacheFolder();
  return cache.empty() ? std::string() : cache + "/bytemoor";
}

std::string PosixFileSystem::WorkDirectory(std::string& problem) {
  const std::string usual = UsualWorkDirectory();
  bool held = false;
  problem = CheckFolder(usual, true, false, held);
  if (problem.empty() || !held) return usual + "/";
  // Nothing is created in the other user's folder: ours goes elsewhere.
  const std::string cache = CacheFolder();
  const std::string own = PrivateWorkDirectory();
  if (own.empty()) return usual + "/";
  if (::mkdir(cache.c_str(), 0700) != 0 && errno != EEXIST) {
    problem += "; " + cache + ": " + posix::ErrnoText(errno);
    return usual + "/";
  }
  const std::string ownProblem = CheckFolder(own, true, true, held);
  if (!ownProblem.empty()) {
    problem += "; " + own + ": " + ownProblem;
    return usual + "/";
  }
  problem.clear();
  if (!noticeGiven_) {
    noticeGiven_ = true;
    notice_ = WorkDirectoryNotice{usual, own};
  }
  return own + "/";
}

std::optional<WorkDirectoryNotice> PosixFileSystem::TakeWorkDirectoryNotice() {
  return std::exchange(notice_, std::nullopt);
}

std::vector<std::string> PosixFileSystem::RecoveryDirectories() {
  std::vector<std::string> dirs;
  std::string problem;
  const std::string used = WorkDirectory(problem);
  if (!problem.empty()) return dirs;
  dirs.push_back(used);
  // The other place, when it is ours: work left there by an earlier start.
  const std::string usual = UsualWorkDirectory() + "/";
  const std::string own = PrivateWorkDirectory();
  const std::string other = used == usual ? (own.empty() ? std::string() : own + "/") : usual;
  bool held = false;
  if (!other.empty() && CheckFolder(other.substr(0, other.size() - 1), false, false, held).empty())
    dirs.push_back(other);
  return dirs;
}

}  // namespace bm
