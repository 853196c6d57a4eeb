// A file system whose calls can be made to fail one at a time: every write,
// size change, read and exclusive create on it counts as a step, and the
// step chosen fails once, as a full disk (or a bad block, for a read) would.
// A failing write first writes part of its bytes.
#pragma once
#include <cerrno>
#include <cstdint>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/posix/posix_files.h"

namespace bm::testing {

class FailingFileSystem : public PosixFileSystem {
 public:
  enum StepKind : unsigned { kWrite = 1, kSize = 2, kRead = 4, kCreate = 8 };
  static constexpr unsigned kAllSteps = kWrite | kSize | kRead | kCreate;

  explicit FailingFileSystem(const std::string& tempDirectory) : PosixFileSystem(tempDirectory) {}

  // Starts counting steps of the given kinds from 0; the step-th one from
  // now (1: the next) fails. 0 only counts.
  void FailAt(int64_t step, unsigned kinds = kAllSteps) {
    steps_ = 0;
    failAt_ = step;
    kinds_ = kinds;
    fired_ = false;
  }
  void Disarm() { failAt_ = 0; }
  int64_t Steps() const { return steps_; }
  bool Fired() const { return fired_; }

  // The step chosen by FailAt ends the process on the spot instead of
  // failing, as a kill would (for a forked child).
  void KillInsteadOfFailing() { kill_ = true; }

  // Called by the streams: true when this step is to fail.
  bool Step(StepKind kind) {
    if ((kinds_ & kind) == 0) return false;
    ++steps_;
    if (failAt_ == 0 || steps_ != failAt_) return false;
    if (kill_) ::_exit(kKilled);
    fired_ = true;
    return true;
  }

  std::unique_ptr<FileStream> CreateExclusive(const std::string& path) override;
  std::unique_ptr<FileStream> OpenReadWrite(const std::string& path) override;

  // The exit status of a process that a save ended, as a kill would.
  static constexpr int kKilled = 137;
  // A save that reaches step ends the process on the spot (no destructor,
  // no cleanup), for a forked child; none lets saves run through.
  void KillAtSaveStep(std::optional<SaveStep> step) { killAt_ = step; }

 protected:
  void ReachedSaveStep(SaveStep step) override {
    if (killAt_ == step) ::_exit(kKilled);
  }

 private:
  std::optional<SaveStep> killAt_;
  bool kill_ = false;
  int64_t steps_ = 0;
  int64_t failAt_ = 0;
  unsigned kinds_ = kAllSteps;
  bool fired_ = false;
};

}  // namespace bm::testing
