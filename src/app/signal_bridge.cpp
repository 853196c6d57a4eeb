// SignalBridge: a self-pipe between the signal handlers and the event loop.
#include "app/signal_bridge.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace bm {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The write end of the active bridge's pipe, read by the handler.
volatile sig_atomic_t gWriteEnd = -1;

void OnSignal(int number) {
  const int saved = errno;
  const int fd = gWriteEnd;
  if (fd >= 0) {
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe already holds enough to wake the loop.
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {
  if (gWriteEnd >= 0 || ::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  gWriteEnd = pipe_[1];
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadPending(); });
  for (const int number : kSignals) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(number, &action, nullptr) == 0) installed_.push_back(number);
  }
}

SignalBridge::~SignalBridge() {
  for (const int number : installed_) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(number, &action, nullptr);
  }
  if (notifier_) {
    gWriteEnd = -1;
    delete notifier_;
  }
  for (int& fd : pipe_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void SignalBridge::ReadPending() {
  unsigned char bytes[64];
  for (;;) {
    const ssize_t n = ::read(pipe_[0], bytes, sizeof bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t i = 0; i < n; ++i) emit Received(bytes[i]);
  }
}

}  // namespace bm
