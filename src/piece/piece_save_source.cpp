// PieceSaveSource: StreamPieces behind the save's content interface.
#include "piece/piece_save_source.h"

#include <cerrno>

#include "piece/piece_save.h"
#include "piece/stores.h"

namespace bm::piece {

int64_t PieceSaveSource::WriteInto(int fd) {
  StreamSources sources;
  if (base_) {
    sources.baseFd = base_->Descriptor();
    sources.baseSize = base_->Size();
  }
  sources.addFd = addFd_;
  const StreamResult result = StreamPieces(pieces_, sources, fd);
  absent_ = result.absent;
  if (result.ok) return pieces_.Size();
  errno = result.absent ? ESTALE : (result.error != 0 ? result.error : EIO);
  return -1;
}

bool PieceSaveSource::Reads(uint64_t device, uint64_t inode) const {
  if (!base_) return false;
  const FileIdentity& id = base_->Identity();
  return id.known && id.device == device && id.inode == inode;
}

}  // namespace bm::piece
