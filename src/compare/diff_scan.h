// Finding the bytes in which two documents differ at the same offset: runs of
// differing bytes, the next and previous run from a position, and the mask of
// a line. A byte present in one document only (past the end of the shorter)
// differs too.
#pragma once
#include <cstdint>
#include <vector>

#include "compare/byte_reader.h"

namespace bm {

// A run of differing bytes; start -1 when there is none.
struct DiffRun {
  int64_t start = -1;
  int64_t length = 0;
  bool Found() const { return start >= 0; }
  int64_t Last() const { return start + length - 1; }
  bool operator==(const DiffRun&) const = default;
};

class DiffScanner {
 public:
  static constexpr int64_t kDefaultBlock = 1 << 20;

  DiffScanner(CompareSide a, CompareSide b, int64_t blockSize = kDefaultBlock);

  const CompareSide& A() const { return a_; }
  const CompareSide& B() const { return b_; }
  // Takes new sizes after an edit or a reload (the readers stay).
  void SetSizes(int64_t sizeA, int64_t sizeB);
  // The positions a comparison covers: those of the longer document.
  int64_t Extent() const;
  int64_t CommonSize() const;

  // The first differing position in [from, to), or -1.
  int64_t FirstDiff(int64_t from, int64_t to);
  // The first position in [from, to) whose bytes are equal, or to.
  int64_t FirstEqual(int64_t from, int64_t to);
  // The last differing position in [from, to), or -1.
  int64_t LastDiff(int64_t from, int64_t to);
  // The first position before which, back to from, all bytes differ: the
  // start of the run of differing bytes that ends at to - 1.
  int64_t RunStartBefore(int64_t from, int64_t to);

  // The first run that starts at or after from.
  DiffRun NextRun(int64_t from);
  // The last run that starts before before.
  DiffRun PreviousRun(int64_t before);

  // flags[i] = 1 where position start + i differs, 0 elsewhere (also past
  // the end of both documents), for count positions.
  void LineMask(int64_t start, int count, uint8_t* flags);

  // Reads up to count bytes of both documents at position into the scan
  // buffers; how many positions of the common part arrived.
  int64_t LoadBlock(int64_t position, int64_t count);
  const uint8_t* BlockA() const { return bufA_.data(); }
  const uint8_t* BlockB() const { return bufB_.data(); }
  int64_t BlockSize() const { return blockSize_; }

 private:
  bool Differs(int64_t p);

  CompareSide a_, b_;
  int64_t blockSize_;
  std::vector<uint8_t> bufA_, bufB_;
};

}  // namespace bm
