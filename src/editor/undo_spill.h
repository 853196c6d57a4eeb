// Large undo data on disk: the removed or replaced bytes of a big undo record
// live in a private file beside the working copy instead of in memory, one
// file per record, removed with the record.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/files.h"

namespace bm {

// Bytes to copy from: a buffer in memory, a range of an open stream, or a
// generator that writes the n bytes at offset at (asked for in order).
struct ByteSource {
  const uint8_t* memory = nullptr;
  FileStream* stream = nullptr;
  int64_t offset = 0;  // of the first byte in stream
  std::function<void(uint8_t* to, int64_t at, int64_t n)> generate = {};

  bool Empty() const { return !memory && !stream && !generate; }
  // Copies n bytes from at (counted from the first byte) into to; a stream
  // that gives fewer is an error (FileError).
  void Read(uint8_t* to, int64_t at, int64_t n) const;
};

class UndoSpill {
 public:
  // Files are named after the working copy, then suffix and a number.
  explicit UndoSpill(FileSystem& files, const char* suffix = ".undo")
      : files_(files), suffix_(suffix) {}
  ~UndoSpill();
  UndoSpill(const UndoSpill&) = delete;
  UndoSpill& operator=(const UndoSpill&) = delete;

  // Copies count bytes from source at position into a new file named after
  // beside (beside + suffix + a number) (created exclusively, owner only, no link followed, its blocks
  // reserved first) and returns the file's id, never 0. Throws FileError;
  // nothing is left behind then.
  uint64_t Store(const std::string& beside, FileStream& source, int64_t position, int64_t count,
                 int64_t blockSize);
  // Creates a new, empty file named after beside, as Store names them, and
  // returns its id; the file is written through StreamOf. Throws FileError.
  uint64_t Create(const std::string& beside);
  FileStream* StreamOf(uint64_t id);
  // Swaps the file of id with the file at path, whose open stream is stream:
  // the names change places (ExchangeFiles) and so do the streams. False with
  // nothing changed when the names cannot be exchanged.
  bool Exchange(uint64_t id, const std::string& path, std::unique_ptr<FileStream>& stream);
  // Hands the file of id, open and under its name, over to other, which
  // gives it an id of its own (returned); 0 when id is unknown.
  uint64_t MoveTo(uint64_t id, UndoSpill& other);
  // The bytes of a stored file, or an empty source when id is unknown.
  ByteSource Bytes(uint64_t id);
  void Remove(uint64_t id);
  void Clear();
  size_t FileCount() const { return entries_.size(); }
  // Path of a stored file, empty when id is unknown.
  std::string PathOf(uint64_t id) const;

 private:
  struct Entry {
    std::string path;
    std::unique_ptr<FileStream> stream;
  };
  FileSystem& files_;
  const char* suffix_;
  std::map<uint64_t, Entry> entries_;
  uint64_t next_ = 1;
};

}  // namespace bm
