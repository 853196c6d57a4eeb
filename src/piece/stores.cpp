// BaseFile (pread on a read-only descriptor) and AddStore (append-only, through FileSystem).
#include "piece/stores.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace bm::piece {

// ---- BaseFile ------------------------------------------------------------------------

std::unique_ptr<BaseFile> BaseFile::Open(const std::string& path, bool noFollow) {
  const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | (noFollow ? O_NOFOLLOW : 0);
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    const int e = errno;
    throw FileError("Cannot open \"" + path + "\": " + std::strerror(e), e);
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int e = errno;
    ::close(fd);
    throw FileError("Cannot open \"" + path + "\": not a regular file", e);
  }
  FileIdentity id;
  id.known = true;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return std::make_unique<BaseFile>(fd, st.st_size, id);
}

BaseFile::BaseFile(int fd, int64_t size, FileIdentity identity)
    : fd_(fd), size_(size), identity_(identity), present_(size) {}

BaseFile::~BaseFile() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t BaseFile::Read(int64_t offset, void* buffer, int64_t count) {
  auto* p = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, p + done, static_cast<size_t>(count - done), offset + done);
    if (n > 0) {
      done += n;
    } else if (n == 0) {
      lost_ = true;  // the file ends before the base does
      present_ = std::min(present_, offset + done);
      break;
    } else if (errno != EINTR) {
      const int e = errno;
      throw FileError(std::string("Cannot read the file: ") + std::strerror(e), e);
    }
  }
  return done;
}

// ---- AddStore ------------------------------------------------------------------------

std::string PrivateName(FileSystem& files, const std::string& folder, const std::string& suffix) {
  char stem[16];
  std::snprintf(stem, sizeof stem, "%08X", files.RandomNumber());
  return folder + stem + suffix;
}

std::unique_ptr<AddStore> AddStore::Create(FileSystem& files, const std::string& folder,
                                           std::string* problem) {
  // A name another file holds is retried with another random one.
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string path = PrivateName(files, folder, ".add");
    if (files.FileExists(path)) continue;
    if (auto stream = files.CreateExclusive(path)) {
      return std::make_unique<AddStore>(std::move(stream), path, 0);
    }
    if (errno != EEXIST) break;
  }
  if (problem) *problem = std::string("Cannot create the store of added bytes in \"") + folder +
                          "\": " + std::strerror(errno);
  return nullptr;
}

std::unique_ptr<AddStore> AddStore::Reopen(FileSystem& files, const std::string& path,
                                           int64_t length) {
  auto store = std::make_unique<AddStore>(files.OpenReadWrite(path), path, length);
  store->Truncate(length);
  return store;
}

AddStore::AddStore(std::unique_ptr<FileStream> stream, std::string path, int64_t length)
    : stream_(std::move(stream)), path_(std::move(path)), length_(length) {}

int64_t AddStore::Append(const void* bytes, int64_t count) {
  const int64_t at = length_;
  if (count <= 0) return at;
  cachedAt_ = -1;
  try {
    stream_->Seek(at);
    stream_->Write(bytes, count);
  } catch (const FileError&) {
    // Part of the bytes may be in the file: cut them off so the store holds
    // exactly what the pieces refer to. Should that fail too, the bytes past
    // length_ are never referred to and the next append writes over them.
    try {
      stream_->SetSize(at);
    } catch (const FileError&) {
    }
    throw;
  }
  length_ = at + count;
  return at;
}

void AddStore::Rewrite(int64_t offset, const void* bytes, int64_t count) {
  cachedAt_ = -1;
  stream_->Seek(offset);
  stream_->Write(bytes, count);
}

int64_t AddStore::Read(int64_t offset, void* buffer, int64_t count) {
  count = std::min(count, length_ - offset);
  if (count <= 0) return 0;
  // Through the stream, as the writes go: a failing disk is reported alike.
  constexpr int64_t kBlock = 64 * 1024;
  if (count >= kBlock / 16) {
    stream_->Seek(offset);
    return stream_->Read(buffer, count);
  }
  if (cachedAt_ < 0 || offset < cachedAt_ || offset + count > cachedAt_ + static_cast<int64_t>(cache_.size())) {
    const int64_t start = offset / kBlock * kBlock;
    cache_.resize(static_cast<size_t>(std::min(kBlock * 2, length_ - start)));
    cachedAt_ = -1;
    stream_->Seek(start);
    const int64_t got = stream_->Read(cache_.data(), static_cast<int64_t>(cache_.size()));
    cache_.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
    cachedAt_ = start;
    if (offset + count > cachedAt_ + got) {
      cachedAt_ = -1;
      stream_->Seek(offset);
      return stream_->Read(buffer, count);
    }
  }
  std::memcpy(buffer, cache_.data() + (offset - cachedAt_), static_cast<size_t>(count));
  return count;
}

void AddStore::Truncate(int64_t length) {
  cachedAt_ = -1;
  stream_->SetSize(length);
  length_ = length;
}

}  // namespace bm::piece
