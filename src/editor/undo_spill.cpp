// UndoSpill and ByteSource.
#include "editor/undo_spill.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace bm {

void ByteSource::Read(uint8_t* to, int64_t at, int64_t n) const {
  if (n <= 0) return;
  if (memory) {
    std::memcpy(to, memory + at, static_cast<size_t>(n));
    return;
  }
  if (generate) {
    generate(to, at, n);
    return;
  }
  if (!stream) throw FileError("No bytes to read");
  stream->Seek(offset + at);
  if (stream->Read(to, n) != n) throw FileError("The undo data ended early");
}

UndoSpill::~UndoSpill() { Clear(); }

uint64_t UndoSpill::Store(const std::string& beside, FileStream& source, int64_t position,
                          int64_t count, int64_t blockSize) {
  // A name someone else holds is stepped over, never opened.
  uint64_t id = next_;  // taken only when the file is complete
  std::string path;
  std::unique_ptr<FileStream> stream;
  for (int attempt = 0; !stream; ++attempt, ++id) {
    path = beside + suffix_ + std::to_string(id);
    stream = files_.CreateExclusive(path);
    if (stream) break;
    const int e = errno;
    if (attempt >= 100 || !files_.FileExists(path))
      throw FileError("Cannot create \"" + path + "\"", e);
  }
  try {
    stream->Reserve(0, count);
    std::vector<uint8_t> block(static_cast<size_t>(std::min<int64_t>(count, blockSize)));
    stream->Seek(0);
    for (int64_t done = 0; done < count;) {
      const int64_t n = std::min<int64_t>(static_cast<int64_t>(block.size()), count - done);
      source.Seek(position + done);
      if (source.Read(block.data(), n) != n) throw FileError("The data ended early");
      stream->Write(block.data(), n);
      done += n;
    }
  } catch (...) {
    stream.reset();
    files_.DeleteFile(path);
    throw;
  }
  entries_.emplace(id, Entry{path, std::move(stream)});
  next_ = id + 1;
  return id;
}

uint64_t UndoSpill::Create(const std::string& beside) {
  uint64_t id = next_;
  for (int attempt = 0;; ++attempt, ++id) {
    const std::string path = beside + suffix_ + std::to_string(id);
    std::unique_ptr<FileStream> stream = files_.CreateExclusive(path);
    if (stream) {
      entries_.emplace(id, Entry{path, std::move(stream)});
      next_ = id + 1;
      return id;
    }
    const int e = errno;
    if (attempt >= 100 || !files_.FileExists(path))
      throw FileError("Cannot create \"" + path + "\"", e);
  }
}

FileStream* UndoSpill::StreamOf(uint64_t id) {
  const auto it = entries_.find(id);
  return it == entries_.end() ? nullptr : it->second.stream.get();
}

bool UndoSpill::Exchange(uint64_t id, const std::string& path, std::unique_ptr<FileStream>& stream) {
  const auto it = entries_.find(id);
  if (it == entries_.end() || !it->second.stream || !stream) return false;
  if (!files_.ExchangeFiles(it->second.path, path)) return false;
  std::swap(it->second.stream, stream);
  return true;
}

uint64_t UndoSpill::MoveTo(uint64_t id, UndoSpill& other) {
  const auto it = entries_.find(id);
  if (it == entries_.end()) return 0;
  const uint64_t newId = other.next_;
  other.entries_.emplace(newId, std::move(it->second));
  other.next_ = newId + 1;
  entries_.erase(it);
  return newId;
}

ByteSource UndoSpill::Bytes(uint64_t id) {
  const auto it = entries_.find(id);
  if (it == entries_.end()) return {};
  return ByteSource{nullptr, it->second.stream.get(), 0};
}

void UndoSpill::Remove(uint64_t id) {
  const auto it = entries_.find(id);
  if (it == entries_.end()) return;
  it->second.stream.reset();
  files_.DeleteFile(it->second.path);
  entries_.erase(it);
  if (id + 1 == next_) --next_;  // the newest one's id (and name) is free again
}

void UndoSpill::Clear() {
  for (auto& [id, entry] : entries_) {
    entry.stream.reset();
    files_.DeleteFile(entry.path);
  }
  entries_.clear();
  next_ = 1;
}

std::string UndoSpill::PathOf(uint64_t id) const {
  const auto it = entries_.find(id);
  return it == entries_.end() ? std::string() : it->second.path;
}

}  // namespace bm
