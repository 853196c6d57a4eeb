// DeferredSync: the background fdatasync of the working copy and its record.
#include "platform/posix/posix_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/posix/posix_files.h"

namespace bm::posix {

DeferredSync::DeferredSync(int fd, std::string folder)
    : fd_(::fcntl(fd, F_DUPFD_CLOEXEC, 0)), folder_(std::move(folder)) {}

DeferredSync::~DeferredSync() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void DeferredSync::Changed() {
  if (!fd_.Valid()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const Clock::time_point now = Clock::now();
    if (!dirty_) firstChange_ = now;
    lastChange_ = now;
    dirty_ = true;
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
  }
  wake_.notify_all();
}

bool DeferredSync::SyncOnce() {
  int r;
  do {
    r = ::fdatasync(fd_.Get());
  } while (r != 0 && errno == EINTR);
  bool ok = r == 0 || errno == EINVAL;
  if (ok && !folderSynced_) folderSynced_ = posix::SyncDirectory(folder_);
  return ok;
}

bool DeferredSync::SyncNow() {
  if (!fd_.Valid()) return true;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dirty_ = false;
  }
  return SyncOnce();
}

int DeferredSync::Rounds() {
  std::lock_guard<std::mutex> lock(mutex_);
  return rounds_;
}

void DeferredSync::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    if (!dirty_) {
      wake_.wait(lock, [this] { return stop_ || dirty_; });
      continue;
    }
    const Clock::time_point due = std::min(lastChange_ + kQuiet, firstChange_ + kLongest);
    if (Clock::now() < due) {
      wake_.wait_until(lock, due);
      continue;
    }
    dirty_ = false;
    // Without the lock: a change made meanwhile only marks the file dirty
    // again and never waits for the disk.
    lock.unlock();
    SyncOnce();
    lock.lock();
    ++rounds_;
  }
}

}  // namespace bm::posix
