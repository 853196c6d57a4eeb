// Saving from pieces: streaming a version into a file, and what a save in place must keep first.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "piece/piece_tree.h"

namespace bm::piece {

// Base bytes that were copied aside before a save in place: the base run
// [baseOffset, baseOffset + length) is read from keptFd at keptOffset.
struct KeptRange {
  int64_t baseOffset = 0;
  int64_t length = 0;
  int64_t keptOffset = 0;
};

struct StreamSources {
  int baseFd = -1;        // the base, read-only
  int64_t baseSize = 0;   // the base's size at open; the file must still have it
  int addFd = -1;         // the add store
  int keptFd = -1;        // where KeptRange bytes lie (save in place), else -1
  std::vector<KeptRange> kept;  // sorted by baseOffset, not overlapping
  // The target is the base file itself: base runs already at their place
  // (offset equal to their position) are not written.
  bool inPlace = false;
};

struct StreamResult {
  bool ok = false;
  int error = 0;        // errno of the failure
  bool absent = false;  // the base file is shorter than the pieces need
  int64_t written = 0;  // bytes put into the target
};

// Writes the pieces into targetFd at offsets 0..Size() in order, with
// copy_file_range for runs of the base (so a file system that shares
// extents shares them) and read/write elsewhere or where the kernel cannot
// copy. Does not truncate, sync or rename: that stays the save's job.
StreamResult StreamPieces(const PieceTree& pieces, const StreamSources& sources, int targetFd);

// For a save in place over the base: the base ranges that would be read
// after being overwritten. Writing in order of position, everything before
// position p is rewritten when the run for p is read: a base run from offset
// o written at p is safe when o >= p (it reads at or ahead of the writing),
// and needs no writing at all when o == p; a run with o < p would read bytes
// already rewritten, so it must be kept first. Ranges are merged and sorted.
std::vector<Run> InPlaceHazards(const PieceTree& pieces);

// Copies the hazards of pieces from baseFd into keptFd (from its offset 0)
// and returns where each went, for StreamSources::kept. Throws FileError.
std::vector<KeptRange> KeepHazards(const PieceTree& pieces, int baseFd, int keptFd);

}  // namespace bm::piece
