// Reading a document through its pieces into a buffer, with a small cache of the base.
#pragma once
#include <cstdint>
#include <vector>

#include "piece/piece_tree.h"

namespace bm::piece {

class AddStore;
class BaseFile;

struct ReadOutcome {
  int64_t count = 0;   // bytes delivered: count asked, cut at the document's end
  int64_t absent = 0;  // of them, bytes of the base past the file's current end (zeros)
};

// Fills buffers from a version of the document. Reads of the base smaller
// than one block go through a one-block cache aligned to kBlock (the 64 KiB
// read window asks line by line); larger ones (search takes 1 MiB blocks)
// go straight to the buffer. Add-store bytes are always read afresh, as
// typed bytes may be rewritten in place.
class PieceReader {
 public:
  static constexpr int64_t kBlock = 64 * 1024;

  PieceReader(BaseFile* base, AddStore& add) : base_(base), add_(add) {}

  // Reads count bytes of pieces at position. Bytes the base no longer has
  // (the file was cut by another program) read as zeros and are counted in
  // absent; the base's LostBytes() is set then. Throws FileError on I/O errors.
  ReadOutcome Read(const PieceTree& pieces, int64_t position, void* buffer, int64_t count);
  // Forgets the cached block (after the base was replaced).
  void Forget() { cachedAt_ = -1; }

 private:
  int64_t ReadBase(int64_t offset, uint8_t* out, int64_t count, bool direct);

  BaseFile* base_;
  AddStore& add_;
  std::vector<uint8_t> cache_;
  int64_t cachedAt_ = -1;
  int64_t cachedLength_ = 0;
};

}  // namespace bm::piece
