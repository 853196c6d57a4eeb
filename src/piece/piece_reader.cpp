// PieceReader: walks the runs of a range and fills the buffer from the two stores.
#include "piece/piece_reader.h"

#include <algorithm>
#include <cstring>

#include "piece/stores.h"

namespace bm::piece {

int64_t PieceReader::ReadBase(int64_t offset, uint8_t* out, int64_t count, bool direct) {
  if (!base_) return 0;
  if (direct || count >= kBlock) return base_->Read(offset, out, count);
  int64_t done = 0;
  while (done < count) {
    const int64_t at = offset + done;
    if (cachedAt_ < 0 || at < cachedAt_ || at >= cachedAt_ + cachedLength_) {
      const int64_t start = at / kBlock * kBlock;
      const int64_t want = std::min(kBlock, base_->Size() - start);
      cache_.resize(static_cast<size_t>(kBlock));
      cachedAt_ = -1;
      cachedLength_ = base_->Read(start, cache_.data(), want);
      cachedAt_ = start;
      if (at >= cachedAt_ + cachedLength_) break;  // the file ends before this byte
    }
    const int64_t n = std::min(count - done, cachedAt_ + cachedLength_ - at);
    std::memcpy(out + done, cache_.data() + (at - cachedAt_), static_cast<size_t>(n));
    done += n;
  }
  return done;
}

ReadOutcome PieceReader::Read(const PieceTree& pieces, int64_t position, void* buffer,
                              int64_t count) {
  ReadOutcome outcome;
  auto* out = static_cast<uint8_t*>(buffer);
  // A large read (a search block) takes the base straight into the buffer
  // even for the short runs between its pieces.
  const bool direct = count >= kBlock;
  pieces.ForEachRun(position, count, [&](const Run& run) {
    uint8_t* to = out + outcome.count;
    const int64_t got = run.store == Store::Base ? ReadBase(run.offset, to, run.length, direct)
                                                 : add_.Read(run.offset, to, run.length);
    if (got < run.length) {
      std::memset(to + got, 0, static_cast<size_t>(run.length - got));
      outcome.absent += run.length - got;
    }
    outcome.count += run.length;
    return true;
  });
  return outcome;
}

}  // namespace bm::piece
