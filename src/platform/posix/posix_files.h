// The file layer on POSIX (Linux): descriptors, flock(2) for the exclusive
// open, kernel-side copies and rename-based safe saves.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

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

class PosixFileSystem : public FileSystem {
 public:
  // tempDirectory overrides the temporary directory; when empty, $TMPDIR is
  // used if it names a directory, else "/var/tmp", which outlives a reboot
  // (and is no memory-backed file system) so that recovery still works then.
  explicit PosixFileSystem(std::string tempDirectory = {});

  std::string TempDirectory() override { return tempDirectory_; }
  // "bytemoor-<uid>" in the temporary directory, made 0700 when missing. It
  // must be a real folder (no link) of this user that nobody else may enter
  // or write; anything else is refused, not repaired.
  std::string WorkDirectory(std::string& problem) override;
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
  using FileSystem::SaveCopy;
  bool SaveCopy(const std::string& from, const std::string& to, const SaveCopyOptions& options,
                FileIdentity* saved) override;
  FileIdentity Identify(const std::string& path) override;
  // One atomic exchange where the kernel and the file system offer it.
  bool ExchangeFiles(const std::string& a, const std::string& b) override;

 private:
  std::string tempDirectory_;
};

namespace posix {

// Copies everything from in's offset to its end onto out at out's offset:
// FICLONE for a source read from its start onto an empty target where the
// file system shares extents, else copy_file_range, else a 1 MiB read/write
// loop. False on error.
bool CopyContents(int in, int out);

// Removes blanks and control characters from both ends.
std::string TrimBlanks(const std::string& s);

// The process's umask, read without changing it where the system allows.
unsigned CurrentUmask();

// fsync, where a descriptor that cannot be synced (EINVAL) is no failure.
bool Sync(int fd);
bool SyncDirectory(const std::string& dir);

}  // namespace posix

}  // namespace bm
