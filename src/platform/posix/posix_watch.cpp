// WatchFile on Linux: an inotify descriptor with one watch, read without blocking.
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/file_watch.h"
#include "platform/posix/posix_fd.h"

namespace bm {

using posix::UniqueFd;

namespace {

constexpr uint32_t kEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVE_SELF | IN_DELETE_SELF |
                             IN_DONT_FOLLOW;

class InotifyWatch : public FileWatch {
 public:
  explicit InotifyWatch(UniqueFd fd) : fd_(std::move(fd)) {}

  bool Changed() override {
    // Every queued event counts; the queue is drained so the next call
    // reports only what happens after this one.
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    for (;;) {
      const ssize_t n = ::read(fd_.Get(), buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        // IN_IGNORED alone follows a removal already reported; an overflow
        // of the queue counts as a change.
        if ((event->mask & ~IN_IGNORED) != 0) changed = true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return changed;
  }
  int Descriptor() const override { return fd_.Get(); }

 private:
  UniqueFd fd_;
};

}  // namespace

std::unique_ptr<FileWatch> WatchFile(const std::string& path) {
  UniqueFd fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!fd.Valid() || ::inotify_add_watch(fd.Get(), path.c_str(), kEvents) < 0) return nullptr;
  return std::make_unique<InotifyWatch>(std::move(fd));
}

}  // namespace bm
