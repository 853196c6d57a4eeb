// Termination signals delivered through the event loop: the handler only
// writes the signal's number to a pipe, and a socket notifier on the other
// end raises Received in the GUI thread.
#pragma once
#include <QObject>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace bm {

class SignalBridge : public QObject {
  Q_OBJECT
 public:
  // Takes over SIGTERM, SIGHUP and SIGINT for the lifetime of the object.
  // Only one bridge can exist at a time.
  explicit SignalBridge(QObject* parent = nullptr);
  ~SignalBridge() override;
  SignalBridge(const SignalBridge&) = delete;
  SignalBridge& operator=(const SignalBridge&) = delete;

  // Whether the handlers are installed (the pipe could be made).
  bool Active() const { return notifier_ != nullptr; }

 signals:
  void Received(int signalNumber);

 private:
  void ReadPending();

  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  std::vector<int> installed_;
};

}  // namespace bm
