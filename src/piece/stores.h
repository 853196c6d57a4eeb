// The two stores behind the pieces: the base file, read in place, and the
// append-only add store of every byte added or typed.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace bm::piece {

// The file a document was opened from, read through a read-only descriptor
// with pread and never written. Its size is fixed at open: that is the base
// every piece refers to. When another program shortens the file meanwhile,
// the bytes past its new end are "absent": Read returns fewer bytes than
// asked and marks the base as having lost bytes (LostBytes), which the
// editor tells the user and which makes a save refuse.
class BaseFile {
 public:
  // Opens path read-only (no link followed when noFollow), records its
  // identity and size. Throws FileError.
  static std::unique_ptr<BaseFile> Open(const std::string& path, bool noFollow = false);
  // Takes ownership of an open descriptor whose first size bytes are the base.
  BaseFile(int fd, int64_t size, FileIdentity identity);
  ~BaseFile();
  BaseFile(const BaseFile&) = delete;
  BaseFile& operator=(const BaseFile&) = delete;

  int64_t Size() const { return size_; }
  const FileIdentity& Identity() const { return identity_; }
  int Descriptor() const { return fd_; }
  // Reads up to count bytes at offset (within Size()); returns how many
  // exist. Fewer means the file lost its end. Throws FileError on an I/O error.
  int64_t Read(int64_t offset, void* buffer, int64_t count);
  // A read found the file shorter than it was at open.
  bool LostBytes() const { return lost_; }
  // Where the file was found to end then (Size() while nothing was lost):
  // base bytes from here on are absent.
  int64_t PresentSize() const { return present_; }

 private:
  int fd_;
  int64_t size_;
  FileIdentity identity_;
  bool lost_ = false;
  int64_t present_;
};

// The added bytes: a private file (owner-only, in the user's working
// folder) that only grows, apart from typed bytes rewritten in place (see
// PieceTable::WriteByte). It is written through the FileSystem interface,
// so a full disk can be simulated.
class AddStore {
 public:
  // A new empty store named <random>.add in folder. Null with problem set
  // when no name could be created.
  static std::unique_ptr<AddStore> Create(FileSystem& files, const std::string& folder,
                                          std::string* problem = nullptr);
  // An existing store (recovery): its bytes up to length are kept.
  static std::unique_ptr<AddStore> Reopen(FileSystem& files, const std::string& path,
                                          int64_t length);
  AddStore(std::unique_ptr<FileStream> stream, std::string path, int64_t length);

  const std::string& Path() const { return path_; }
  int64_t Length() const { return length_; }
  // Appends count bytes and returns where they start. A write that fails
  // (ENOSPC) throws FileError with the store as it was: its length is
  // unchanged and whatever part reached the file is cut off again.
  int64_t Append(const void* bytes, int64_t count);
  // Rewrites bytes already in the store. Throws FileError.
  void Rewrite(int64_t offset, const void* bytes, int64_t count);
  // Reads up to count bytes at offset below Length(); returns how many arrived.
  int64_t Read(int64_t offset, void* buffer, int64_t count);
  // Forgets everything past length (recovery drops a torn step's bytes).
  void Truncate(int64_t length);
  // The descriptor for kernel copies and for the sync worker; -1 if none.
  int Descriptor() const { return stream_->Descriptor(); }
  FileStream& Stream() { return *stream_; }
  // Gives the open file back (a store that is not to be used after all).
  std::unique_ptr<FileStream> TakeStream() { return std::move(stream_); }

 private:
  std::unique_ptr<FileStream> stream_;
  std::string path_;
  int64_t length_;
  // One block of the store for short reads (a search over many small
  // pieces reads the same block again and again); dropped by every write.
  std::vector<uint8_t> cache_;
  int64_t cachedAt_ = -1;
};

// A name for a new private file in folder: 8 random hexadecimal digits and
// suffix. Used for the add store and its journal.
std::string PrivateName(FileSystem& files, const std::string& folder, const std::string& suffix);

}  // namespace bm::piece
