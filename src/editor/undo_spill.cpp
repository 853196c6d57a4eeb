// UndoSpill and ByteSource.
#include "editor/undo_spill.h"

#include <cstring>

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

uint64_t UndoSpill::Store(piece::PieceTable::Version pieces) {
  const uint64_t id = next_++;
  entries_.emplace(id, std::move(pieces));
  return id;
}

const piece::PieceTable::Version* UndoSpill::Pieces(uint64_t id) const {
  const auto it = entries_.find(id);
  return it == entries_.end() ? nullptr : &it->second;
}

bool UndoSpill::Exchange(uint64_t id, piece::PieceTable::Version& pieces) {
  const auto it = entries_.find(id);
  if (it == entries_.end()) return false;
  std::swap(it->second, pieces);
  return true;
}

uint64_t UndoSpill::MoveTo(uint64_t id, UndoSpill& other) {
  const auto it = entries_.find(id);
  if (it == entries_.end()) return 0;
  const uint64_t newId = other.Store(std::move(it->second));
  entries_.erase(it);
  return newId;
}

void UndoSpill::Remove(uint64_t id) {
  entries_.erase(id);
  if (id + 1 == next_) --next_;
}

void UndoSpill::Clear() {
  entries_.clear();
  next_ = 1;
}

}  // namespace bm
