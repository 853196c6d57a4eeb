// Large undo data as piece lists: the removed or replaced bytes of a big undo
// record, and the whole content a replace-all replaced, are kept as pieces
// of the document (a version of its piece tree), so neither keeping nor
// putting them back copies a byte.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "piece/piece_table.h"
#include "platform/files.h"

namespace bm {

// Bytes to copy from: a buffer in memory, a range of an open stream, a
// generator that writes the n bytes at offset at (asked for in order), or
// pieces of the document itself (pieces; generate then reads them).
struct ByteSource {
  const uint8_t* memory = nullptr;
  FileStream* stream = nullptr;
  int64_t offset = 0;  // of the first byte in stream
  std::function<void(uint8_t* to, int64_t at, int64_t n)> generate = {};
  const piece::PieceTree* pieces = nullptr;

  bool Empty() const { return !memory && !stream && !generate && !pieces; }
  // Copies n bytes from at (counted from the first byte) into to; a stream
  // that gives fewer is an error (FileError).
  void Read(uint8_t* to, int64_t at, int64_t n) const;
};

// The piece lists of the large records of one history (undo or redo), by id.
class UndoSpill {
 public:
  UndoSpill() = default;
  UndoSpill(const UndoSpill&) = delete;
  UndoSpill& operator=(const UndoSpill&) = delete;

  // Keeps pieces (a run of the document, or a whole kept version) and
  // returns their id, never 0.
  uint64_t Store(piece::PieceTable::Version pieces);
  // The kept pieces of id, or null when id is unknown.
  const piece::PieceTable::Version* Pieces(uint64_t id) const;
  // Swaps the pieces of id with pieces (whole contents changing places);
  // false when id is unknown.
  bool Exchange(uint64_t id, piece::PieceTable::Version& pieces);
  // Hands the pieces of id over to other, which gives them an id of its own
  // (returned); 0 when id is unknown.
  uint64_t MoveTo(uint64_t id, UndoSpill& other);
  void Remove(uint64_t id);
  void Clear();
  size_t Count() const { return entries_.size(); }

 private:
  std::map<uint64_t, piece::PieceTable::Version> entries_;
  uint64_t next_ = 1;
};

}  // namespace bm
