// Files as the document needs them: the working copy, the probe, whole-file
// copies and a read/write stream.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace bm {

// Raised by streams and file operations that cannot be carried out.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  // code: the system's error number behind the failure (errno), 0 if none.
  FileError(const std::string& what, int code) : std::runtime_error(what), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_ = 0;
};

// A read/write stream on an open file. Read and Write move the position.
class FileStream {
 public:
  virtual ~FileStream() = default;
  virtual int64_t Position() const = 0;
  virtual void Seek(int64_t position) = 0;
  // Reads up to count bytes; returns how many arrived (fewer at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes all count bytes or throws FileError.
  virtual void Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Size() = 0;
  // Truncates or extends the file (new bytes read as zeros); throws FileError.
  virtual void SetSize(int64_t size) = 0;
  // Makes the file at least offset + length bytes long with the blocks of
  // that range allocated, so that writes there cannot run out of room later.
  // Throws FileError and leaves the size as it was. A stream that cannot
  // allocate ahead only extends the file.
  virtual void Reserve(int64_t offset, int64_t length) {
    if (length > 0 && offset + length > Size()) SetSize(offset + length);
  }
  // Native descriptor, for kernel-side copies; -1 when there is none.
  virtual int Descriptor() const { return -1; }
  // From now on every change reaches the disk within about two seconds,
  // synced in the background; for the working copy, so that a crash or a
  // power cut loses at most that much work.
  virtual void KeepSynced() {}
  // Puts every change on disk now; false when the system refused.
  virtual bool SyncNow() { return true; }
};

// What a name leads to, recorded when a document is loaded or saved so that a
// later save notices another program's change or a swap for a link.
struct FileIdentity {
  bool known = false;  // false: no file there (or nothing recorded)
  bool link = false;   // the name itself is a symbolic link
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t mtimeNs = 0;  // modification time in nanoseconds
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Why a save could not keep the old file under the backup name.
enum class BackupProblem {
  None,
  FolderNotWritable,  // the backup's folder takes no new names from us
  NameTaken,          // another user's file holds the name in a sticky folder
  FolderAtName,       // a folder has the backup's name
  Other,              // see the error number
};
struct BackupFailure {
  BackupProblem problem = BackupProblem::None;
  int error = 0;  // errno behind it, 0 if none
};

// How SaveCopy treats the file it replaces.
struct SaveCopyOptions {
  // Where the old file is kept, replacing what is there (never written
  // through a link); empty: no backup.
  std::string backup;
  // When set, the save fails without writing anything unless the target is
  // still this file.
  const FileIdentity* expected = nullptr;
  // The file as the document was loaded from or last saved to. A link at the
  // name is only followed when it led to this same file then; otherwise the
  // link itself is replaced. Only this file is ever kept as the backup by a
  // second link; another one is copied. Null: a save to a new name.
  const FileIdentity* loaded = nullptr;
  // Receives why the backup could not be made (the save then wrote nothing).
  BackupFailure* backupFailure = nullptr;
  // Receives the reason of any other failure: the error number, and the
  // file or folder it concerns when that is not the target itself.
  int* error = nullptr;
  std::string* errorPlace = nullptr;
  // The name the file's backup goes by, also when none is made this time:
  // a file that is one inode with it (a save cut short after it kept the old
  // file there) is then never written in place.
  std::string backupName;
};

// What a save writes: the document's content, put into a descriptor.
class SaveSource {
 public:
  virtual ~SaveSource() = default;
  // Writes the whole content into fd at offsets 0..n and returns n; -1 with
  // errno set when it fails. Neither truncates nor syncs fd.
  virtual int64_t WriteInto(int fd) = 0;
  // Whether writing reads the file with this device and inode: a save that
  // overwrites that very file in place must then take the content aside first.
  virtual bool Reads(uint64_t device, uint64_t inode) const = 0;
};

// A file opened once for loading. Its kind, size and write permission were
// read from the open descriptor, and the copy reads that same descriptor, so
// a name swapped for another file meanwhile changes nothing.
class LoadSource {
 public:
  virtual ~LoadSource() = default;
  virtual int64_t Size() const = 0;
  // The file cannot be opened for writing without sharing.
  virtual bool ReadOnly() const = 0;
  virtual const FileIdentity& Identity() const = 0;
  // Copies the file, never more than Size() bytes (a file the kernel calls
  // empty, as the pseudo files of /proc are, up to 16 MiB), onto the working
  // copy "to", which is replaced only by a complete copy. On failure errno
  // tells why and sourceFault whether reading the file failed (rather than
  // writing in the working copies' folder).
  virtual bool CopyOnto(const std::string& to, bool& sourceFault) = 0;
  // Hands over the open read-only descriptor (the caller closes it), so the
  // document can read the file it checked; -1 when there is none.
  virtual int TakeDescriptor() { return -1; }
};

// The usual folder of the working copies was not the user's own, so another
// one is in use.
struct WorkDirectoryNotice {
  std::string refused;  // the usual folder
  std::string used;     // the folder in use instead
};

// Paths are byte strings, passed to the system unchanged.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The temporary directory, always ending in "/".
  virtual std::string TempDirectory() = 0;
  // The folder of the working copies, their records and undo files, always
  // ending in "/". problem receives why it may not be used (empty when it
  // may); nothing is to be created there then.
  virtual std::string WorkDirectory(std::string& problem) {
    problem.clear();
    return TempDirectory();
  }
  // Once: that the working copies are not in their usual folder, which
  // another user holds, but in a folder of the user's own; none when there
  // is nothing (more) to tell.
  virtual std::optional<WorkDirectoryNotice> TakeWorkDirectoryNotice() { return std::nullopt; }
  // Every folder that may hold this user's abandoned working copies: the one
  // in use and, where it exists and is the user's own, the other one.
  virtual std::vector<std::string> RecoveryDirectories() {
    std::string problem;
    std::string dir = WorkDirectory(problem);
    if (!problem.empty()) return {};
    return {dir};
  }
  // Milliseconds since an arbitrary start, wrapping at 32 bits.
  virtual uint32_t TickCount() = 0;
  // A number nobody can predict, for names another user must not guess.
  virtual uint32_t RandomNumber() {
    static std::random_device device;
    return static_cast<uint32_t>(device());
  }

  virtual bool FileExists(const std::string& path) = 0;
  virtual int64_t FileSize(const std::string& path) = 0;  // -1 when unknown
  // The probe's two opens: for reading with sharing, and for reading and
  // writing with no sharing (an exclusive lock another holder would block).
  virtual bool CanOpenShared(const std::string& path) = 0;
  virtual bool CanOpenExclusive(const std::string& path) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  // Makes the file readable and writable by its owner only.
  virtual bool ClearAttributes(const std::string& path) = 0;

  // Creates path as a new, empty, owner-only file, never following a symbolic
  // link or reusing an existing file. Returns null when the name is taken or
  // the file cannot be created.
  virtual std::unique_ptr<FileStream> CreateExclusive(const std::string& path) = 0;
  // Opens an existing file for reading and writing, holding an exclusive lock
  // for as long as the stream lives. Throws FileError.
  virtual std::unique_ptr<FileStream> OpenReadWrite(const std::string& path) = 0;
  // Opens a regular file for reading only, without a lock. Throws FileError
  // with the error number: EISDIR for a folder, EINVAL for anything else
  // that is no regular file (a FIFO, a device), else what open(2) said.
  virtual std::unique_ptr<FileStream> OpenForReading(const std::string& path) {
    (void)path;
    throw FileError("Reading other files is not supported here", 0);
  }

  // Whole-file copy replacing the target's contents: kernel clone, kernel
  // copy, or a large-buffer loop. The target is written in place.
  virtual bool CopyFile(const std::string& from, const std::string& to) = 0;
  // Opens path once for loading; null (errno set) when it is missing,
  // unreadable or no regular file. Never waits (a FIFO is refused).
  virtual std::unique_ptr<LoadSource> OpenForLoad(const std::string& path);
  // Copies from over the working copy "to" without disturbing "to" unless the
  // copy succeeds completely (written beside it, then renamed over it).
  virtual bool ReplaceWorkingCopy(const std::string& from, const std::string& to) = 0;
  // Saves from onto the user's file "to" so that a crash never leaves "to"
  // half-written where that can be avoided; data is on disk when it returns
  // true. Only regular files are replaced. saved, when given, receives the
  // identity of the written file.
  virtual bool SaveCopy(const std::string& from, const std::string& to,
                        const SaveCopyOptions& options, FileIdentity* saved) = 0;
  bool SaveCopy(const std::string& from, const std::string& to) {
    return SaveCopy(from, to, SaveCopyOptions{}, nullptr);
  }
  // The same save with its content written by source (a document made of
  // pieces of other files): every rule of SaveCopy holds.
  virtual bool SaveFrom(SaveSource& source, const std::string& to, const SaveCopyOptions& options,
                        FileIdentity* saved) = 0;
  // Removes what saves onto path that did not finish left beside it: the
  // hidden temporaries no running save holds.
  virtual void RemoveSaveLeftovers(const std::string& /*path*/) {}
  // Whether this program's own save in place onto path was cut short after
  // it began to write: path still is the file before describes, changed, and
  // the save's mark lies beside it. The old content is then whole under the
  // backup name (or in a kept copy), which the next save must not replace.
  virtual bool SaveWasInterrupted(const std::string& /*path*/, const FileIdentity& /*before*/) {
    return false;
  }
  // The identity of what path names now (known false when nothing is there).
  virtual FileIdentity Identify(const std::string& path) = 0;
  // Swaps the files two names lead to (both must exist), so that each name
  // then holds the other's contents; open streams follow their files. False
  // with both names as they were when it cannot be done.
  virtual bool ExchangeFiles(const std::string& a, const std::string& b);
};

// The process's file system (POSIX).
FileSystem& SystemFileSystem();

}  // namespace bm
