// The file layer on POSIX (Linux): descriptors, flock(2) for the exclusive
// open, kernel-side copies and rename-based safe saves.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace bm {

namespace posix {
class DeferredSync;
}

// A read/write stream on a descriptor it owns (closed, and so unlocked, with
// the stream). Read and Write use the descriptor's own file offset.
class PosixFileStream : public FileStream {
 public:
  // Takes ownership of fd; path is only used in error messages.
  PosixFileStream(int fd, std::string path);
  ~PosixFileStream() override;
  PosixFileStream(const PosixFileStream&) = delete;
  PosixFileStream& operator=(const PosixFileStream&) = delete;

  int64_t Position() const override;
  void Seek(int64_t position) override;
  int64_t Read(void* buffer, int64_t count) override;
  void Write(const void* buffer, int64_t count) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;
  // posix_fallocate; a file grown by a failed reservation is cut back.
  void Reserve(int64_t offset, int64_t length) override;
  int Descriptor() const override { return fd_; }
  // A worker thread fdatasyncs a duplicate of the descriptor (and once the
  // file's folder) about a second after the last change, two at the most.
  void KeepSynced() override;
  bool SyncNow() override;

 private:
  [[noreturn]] void Fail(const char* what) const;
  void Changed();

  int fd_;
  std::string path_;
  std::unique_ptr<posix::DeferredSync> sync_;
};

// The steps of a save onto the user's file, in order, for tests that stop a
// save part way as a kill would and look at what is left.
enum class SaveStep {
  TempWritten,     // the new file is complete and synced beside the target
  BackupLinked,    // the old file has a second, temporary name
  BackupCopied,    // a synced copy of the old file has a temporary name
  BackupPlaced,    // the old file is kept under the backup name
  Renamed,         // the new file has the target's name
  InPlaceReady,    // a save in place has the old content safe, nothing written
  InPlaceWritten,  // a save in place has written the new bytes, not cut them
};

class PosixFileSystem : public FileSystem {
 public:
  // tempDirectory overrides the temporary directory; when empty, $TMPDIR is
  // used if it names a directory, else "/var/tmp", which outlives a reboot
  // (and is no memory-backed file system) so that recovery still works then.
  explicit PosixFileSystem(std::string tempDirectory = {});

  std::string TempDirectory() override { return tempDirectory_; }
  // "bytemoor-<uid>" in the temporary directory, made 0700 when missing. It
  // must be a real folder (no link) of this user that nobody else may enter
  // or write; anything else is refused, not repaired, and "bytemoor" in the
  // user's cache folder ($XDG_CACHE_HOME, else ~/.cache) is used instead.
  std::string WorkDirectory(std::string& problem) override;
  std::optional<WorkDirectoryNotice> TakeWorkDirectoryNotice() override;
  std::vector<std::string> RecoveryDirectories() override;
  // CLOCK_MONOTONIC in milliseconds, truncated to 32 bits.
  uint32_t TickCount() override;

  // Any directory entry counts, a dangling symbolic link included (lstat), so
  // a name occupied by a planted link is never taken for free.
  bool FileExists(const std::string& path) override;
  // Size of a regular file (following links); -1 for anything else.
  int64_t FileSize(const std::string& path) override;
  // Opens for reading; a directory does not count as openable.
  bool CanOpenShared(const std::string& path) override;
  // Opens for reading and writing and takes flock(LOCK_EX | LOCK_NB). A file
  // with no write permission bit at all also gives false, for root too (whom
  // open(2) would let through), as the read-only mark of the file.
  bool CanOpenExclusive(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool ClearAttributes(const std::string& path) override;

  std::unique_ptr<FileStream> CreateExclusive(const std::string& path) override;
  std::unique_ptr<FileStream> OpenReadWrite(const std::string& path) override;
  std::unique_ptr<FileStream> OpenForReading(const std::string& path) override;

  bool CopyFile(const std::string& from, const std::string& to) override;
  bool ReplaceWorkingCopy(const std::string& from, const std::string& to) override;
  // Opens with O_NONBLOCK (a FIFO never blocks), then checks and copies
  // through that one descriptor.
  std::unique_ptr<LoadSource> OpenForLoad(const std::string& path) override;
  using FileSystem::SaveCopy;
  bool SaveFrom(SaveSource& source, const std::string& to, const SaveCopyOptions& options,
                FileIdentity* saved) override;
  bool SaveCopy(const std::string& from, const std::string& to, const SaveCopyOptions& options,
                FileIdentity* saved) override;
  FileIdentity Identify(const std::string& path) override;
  void RemoveSaveLeftovers(const std::string& path) override;
  bool SaveWasInterrupted(const std::string& path, const FileIdentity& before) override;
  // One atomic exchange where the kernel and the file system offer it.
  bool ExchangeFiles(const std::string& a, const std::string& b) override;

 protected:
  // Told of each step a save reaches; nothing here.
  virtual void ReachedSaveStep(SaveStep) {}

 private:
  // SaveCopy and SaveFrom: refuseOwnSource refuses a target the source
  // reads; fallbackFolder keeps old content when the working folder fails.
  bool Save(SaveSource& in, bool refuseOwnSource, const std::string& fallbackFolder, const std::string& to,
            const SaveCopyOptions& options, FileIdentity* saved);
  std::string UsualWorkDirectory() const;   // without the final "/"
  std::string PrivateWorkDirectory() const;  // empty when there is no home

  std::string tempDirectory_;
  bool noticeGiven_ = false;
  std::optional<WorkDirectoryNotice> notice_;
};

namespace posix {

// Copies everything from in's offset to its end onto out at out's offset:
// FICLONE for a source read from its start onto an empty target where the
// file system shares extents, else copy_file_range, else a 1 MiB read/write
// loop. False on error.
bool CopyContents(int in, int out);
// The same, copying at most limit bytes (limit < 0: to the end), and telling
// which side failed.
enum class CopyResult { Done, ReadFailed, WriteFailed };
CopyResult CopyLimited(int in, int out, int64_t limit);
// Copies in (from its offset, at most limit bytes) over the working copy
// "to", which is replaced only by a complete copy. sourceFault tells
// whether reading in failed; errno tells why.
bool ReplaceWorkingCopyFrom(int in, int64_t limit, const std::string& to, bool& sourceFault);

// Removes blanks and control characters from both ends.
std::string TrimBlanks(const std::string& s);

// The process's umask, read without changing it where the system allows.
unsigned CurrentUmask();

// fsync, where a descriptor that cannot be synced (EINVAL) is no failure.
bool Sync(int fd);
bool SyncDirectory(const std::string& dir);

}  // namespace posix

}  // namespace bm
