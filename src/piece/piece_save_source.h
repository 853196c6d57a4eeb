// A version of a piece document as the content the file system's safe save writes.
#pragma once
#include <cstdint>

#include "piece/piece_tree.h"
#include "platform/files.h"

namespace bm::piece {

class BaseFile;

// Streams a kept version (base runs by kernel copy, add-store runs by
// write) into the descriptor the save hands over. The version is held, so
// the editor may go on editing while it is written.
class PieceSaveSource : public SaveSource {
 public:
  // base may be null (a document with no base); addFd is the add store's.
  PieceSaveSource(PieceTree pieces, const BaseFile* base, int addFd)
      : pieces_(std::move(pieces)), base_(base), addFd_(addFd) {}

  // Fails with ESTALE when the base file lost bytes the pieces need (another
  // program cut it): such a save would write zeros for the user's data.
  int64_t WriteInto(int fd) override;
  bool Reads(uint64_t device, uint64_t inode) const override;
  // The last WriteInto failed because the base no longer has all its bytes.
  bool BaseShortened() const { return absent_; }

 private:
  PieceTree pieces_;
  const BaseFile* base_;
  int addFd_;
  bool absent_ = false;
};

}  // namespace bm::piece
