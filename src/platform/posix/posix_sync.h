// Changes of a file put on disk in the background: a worker thread fdatasyncs
// a duplicate of the file's descriptor shortly after the last change, so the
// interface thread never waits for the disk while the user types.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/posix/posix_fd.h"

namespace bm::posix {

class DeferredSync {
 public:
  using Clock = std::chrono::steady_clock;
  // The sync follows quiet after the last change, and never comes later than
  // longest after the first change not yet on disk.
  static constexpr std::chrono::milliseconds kQuiet{1000};
  static constexpr std::chrono::milliseconds kLongest{2000};

  // Duplicates fd; folder is the file's folder, synced once so that the
  // file's name is on disk too. Invalid() when the descriptor could not be
  // duplicated.
  DeferredSync(int fd, std::string folder);
  // Stops and joins the worker; changes not synced yet stay unsynced.
  ~DeferredSync();
  DeferredSync(const DeferredSync&) = delete;
  DeferredSync& operator=(const DeferredSync&) = delete;

  bool Valid() const { return fd_.Valid(); }
  // A change was written; starts the worker on first use.
  void Changed();
  // Syncs now, on the calling thread; false when fdatasync failed.
  bool SyncNow();
  // Rounds of fdatasync done by the worker (for tests).
  int Rounds();

 private:
  void Run();
  bool SyncOnce();

  UniqueFd fd_;
  std::string folder_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread worker_;
  bool stop_ = false;
  bool dirty_ = false;
  std::atomic<bool> folderSynced_ = false;
  Clock::time_point firstChange_;
  Clock::time_point lastChange_;
  int rounds_ = 0;
};

}  // namespace bm::posix
