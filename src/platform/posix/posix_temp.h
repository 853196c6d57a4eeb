// Hidden, locked temporaries beside a file being saved, and the removal of
// those that saves which did not finish left behind.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/posix/posix_fd.h"

namespace bm::posix {

// The start of every temporary name of saves onto path: "." + at most 32
// bytes of its name + ".bm-"; 6 letters or digits follow.
std::string TempStem(const std::string& path);
// The start of the names of what a save in place keeps until it has
// finished: the old content, or its mark when the backup holds that.
// "." + at most 32 bytes of the name + ".bm-old-"; 6 letters or digits follow.
std::string HoldStem(const std::string& path);
// Six random letters or digits; false when no randomness is to be had.
bool RandomSuffix(std::string& out);

bool SameInode(const struct stat& a, const struct stat& b);
// flock(LOCK_EX | LOCK_NB); true when the lock was taken.
bool LockNow(int fd);
// Removes name when it still is the file st describes.
void UnlinkIfSame(const std::string& name, const struct stat& st);

// A new hidden temporary file in dir, locked for its lifetime and removed
// with it unless it was renamed away or kept.
class LockedTemp {
 public:
  LockedTemp(const std::string& dir, const std::string& stem);
  ~LockedTemp() {
    if (!path_.empty()) ::unlink(path_.c_str());  // still locked while it goes
  }
  LockedTemp(const LockedTemp&) = delete;
  LockedTemp& operator=(const LockedTemp&) = delete;

  bool Valid() const { return fd_.Valid(); }
  int Fd() const { return fd_.Get(); }
  // Renames the file onto target; the descriptor stays open (and locked).
  bool RenameOnto(const std::string& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) return false;
    path_.clear();
    return true;
  }
  // Leaves the file where it is when the object goes.
  void Keep() { path_.clear(); }

 private:
  UniqueFd fd_;
  std::string path_;
};

// Removes the temporaries with the given stem in dir that no running save
// holds: regular files of ours whose lock is free.
void RemoveDeadTemporaries(const std::string& dir, const std::string& stem);
// Whether dir holds such a temporary (ours, regular, lock free).
bool HasDeadTemporary(const std::string& dir, const std::string& stem);

}  // namespace bm::posix
