// The private folder of this user's working copies inside the temporary
// directory. Another user of a shared temporary directory can neither read
// the working copies there nor claim their names ahead of us.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_files.h"

namespace bm {

using posix::UniqueFd;

std::string PosixFileSystem::WorkDirectory(std::string& problem) {
  const std::string folder = tempDirectory_ + "bytemoor-" + std::to_string(::geteuid());
  problem.clear();
  const bool made = ::mkdir(folder.c_str(), 0700) == 0;
  if (!made && errno != EEXIST) {
    problem = posix::ErrnoText(errno);
    return folder + "/";
  }
  struct stat named;
  if (::lstat(folder.c_str(), &named) != 0) {
    problem = posix::ErrnoText(errno);
  } else if (S_ISLNK(named.st_mode)) {
    problem = "a symbolic link, not a folder";
  } else if (!S_ISDIR(named.st_mode)) {
    problem = "not a folder";
  } else if (named.st_uid != ::geteuid()) {
    problem = "the folder belongs to another user";
  } else {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened;
    if (!fd.Valid() || ::fstat(fd.Get(), &opened) != 0) {
      problem = posix::ErrnoText(errno);
    } else if (opened.st_dev != named.st_dev || opened.st_ino != named.st_ino) {
      problem = "the folder was replaced while it was checked";
    } else if (made && ::fchmod(fd.Get(), 0700) != 0) {
      problem = posix::ErrnoText(errno);  // a folder we just made with a strict umask
    } else if (!made && (opened.st_mode & 077) != 0) {
      char mode[8];
      std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(opened.st_mode & 07777));
      problem = std::string("other users may use the folder (mode ") + mode + ")";
    }
  }
  return folder + "/";
}

}  // namespace bm
