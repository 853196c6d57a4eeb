// StreamPieces: a version into a file, kernel copies for base runs; the hazards of a save in place.
#include "piece/piece_save.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/files.h"

namespace bm::piece {

namespace {

constexpr int64_t kChunk = 1 << 20;

// Copies count bytes from in at inOffset to out at outOffset through a
// buffer; returns false with errno set, or with absent when in ends early.
bool CopyByBuffer(int in, int64_t inOffset, int out, int64_t outOffset, int64_t count,
                  std::vector<uint8_t>& buffer, bool& absent) {
  buffer.resize(static_cast<size_t>(std::min(count, kChunk)));
  while (count > 0) {
    const int64_t want = std::min<int64_t>(count, static_cast<int64_t>(buffer.size()));
    int64_t got = 0;
    while (got < want) {
      const ssize_t n = ::pread(in, buffer.data() + got, static_cast<size_t>(want - got), inOffset + got);
      if (n > 0) {
        got += n;
      } else if (n == 0) {
        absent = true;
        return false;
      } else if (errno != EINTR) {
        return false;
      }
    }
    int64_t put = 0;
    while (put < got) {
      const ssize_t n = ::pwrite(out, buffer.data() + put, static_cast<size_t>(got - put), outOffset + put);
      if (n > 0) {
        put += n;
      } else if (n == 0) {
        errno = EIO;
        return false;
      } else if (errno != EINTR) {
        return false;
      }
    }
    inOffset += got;
    outOffset += got;
    count -= got;
  }
  return true;
}

// copy_file_range, falling back on the buffer where the kernel or the file
// system cannot copy between these two files. With skipHoles (a new, empty
// target) the holes of a sparse file are left holes in the target.
bool CopyRange(int in, int64_t inOffset, int out, int64_t outOffset, int64_t count,
               std::vector<uint8_t>& buffer, bool& absent, bool& kernel, bool skipHoles) {
  while (skipHoles && kernel && count > 0) {
    const off_t data = ::lseek(in, inOffset, SEEK_DATA);
    if (data < 0 && errno != ENXIO) break;  // no hole information: copy it all
    const int64_t hole = data < 0 ? count : std::min<int64_t>(data - inOffset, count);
    inOffset += hole;
    outOffset += hole;
    count -= hole;
    if (count == 0) return true;
    const off_t end = ::lseek(in, inOffset, SEEK_HOLE);
    if (end <= inOffset) break;
    const int64_t n = std::min<int64_t>(end - inOffset, count);
    if (!CopyRange(in, inOffset, out, outOffset, n, buffer, absent, kernel, false)) return false;
    inOffset += n;
    outOffset += n;
    count -= n;
  }
  while (kernel && count > 0) {
    loff_t from = inOffset, to = outOffset;
    const ssize_t n = ::copy_file_range(in, &from, out, &to, static_cast<size_t>(std::min(count, int64_t{1} << 30)), 0);
    if (n > 0) {
      inOffset += n;
      outOffset += n;
      count -= n;
    } else if (n == 0) {
      absent = true;
      return false;
    } else if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
               errno == EBADF || errno == EPERM) {
      kernel = false;
    } else if (errno != EINTR) {
      return false;
    }
  }
  return count == 0 || CopyByBuffer(in, inOffset, out, outOffset, count, buffer, absent);
}

}  // namespace

StreamResult StreamPieces(const PieceTree& pieces, const StreamSources& sources, int targetFd) {
  StreamResult result;
  std::vector<uint8_t> buffer;
  bool kernel = !sources.inPlace;  // copy_file_range refuses overlapping ranges of one file
  // Into a new, empty file the holes of a sparse base stay holes; its size
  // is set at the end.
  struct stat target, base;
  const bool fresh = !sources.inPlace && ::fstat(targetFd, &target) == 0 && target.st_size == 0;
  // Holes are looked for only in a file that has some; where the file now
  // ends, a hole would read as its bytes, so runs past it are absent.
  const bool sparse = fresh && sources.baseFd >= 0 && ::fstat(sources.baseFd, &base) == 0 &&
                      base.st_blocks * 512 < base.st_size;
  const int64_t present = sparse ? static_cast<int64_t>(base.st_size) : 0;
  bool failed = false;
  int64_t position = 0;
  pieces.ForEachRun(0, pieces.Size(), [&](const Run& run) {
    bool ok = true;
    if (run.store == Store::Add) {
      bool unused = false;
      ok = CopyByBuffer(sources.addFd, run.offset, targetFd, position, run.length, buffer, unused);
      if (!ok && unused) errno = EIO;  // the store is shorter than its pieces
    } else if (run.offset + run.length > sources.baseSize || (sparse && run.offset + run.length > present)) {
      result.absent = true;
      ok = false;
    } else if (!(sources.inPlace && run.offset == position)) {
      // Kept ranges first (save in place), then the base itself.
      int64_t done = 0;
      while (ok && done < run.length) {
        const int64_t at = run.offset + done;
        auto it = std::upper_bound(sources.kept.begin(), sources.kept.end(), at,
                                   [](int64_t v, const KeptRange& k) { return v < k.baseOffset; });
        const KeptRange* hit = nullptr;
        if (it != sources.kept.begin() && at < std::prev(it)->baseOffset + std::prev(it)->length)
          hit = &*std::prev(it);
        int64_t n = run.length - done;
        if (hit) {
          n = std::min(n, hit->baseOffset + hit->length - at);
          bool unused = false;
          ok = CopyByBuffer(sources.keptFd, hit->keptOffset + (at - hit->baseOffset), targetFd,
                            position + done, n, buffer, unused);
        } else {
          if (it != sources.kept.end()) n = std::min(n, it->baseOffset - at);
          ok = CopyRange(sources.baseFd, at, targetFd, position + done, n, buffer, result.absent,
                         kernel, sparse);
        }
        done += n;
      }
    }
    if (!ok) {
      result.error = result.absent ? 0 : errno;
      failed = true;
      return false;
    }
    position += run.length;
    result.written = position;
    return true;
  });
  if (!failed && fresh && ::ftruncate(targetFd, position) != 0) {
    result.error = errno;
    failed = true;
  }
  result.ok = !failed;
  return result;
}

std::vector<Run> InPlaceHazards(const PieceTree& pieces) {
  std::vector<Run> hazards;
  int64_t position = 0;
  pieces.ForEachRun(0, pieces.Size(), [&](const Run& run) {
    if (run.store == Store::Base && run.offset < position) {
      // Merge with the previous range where they touch or overlap.
      if (!hazards.empty() && run.offset <= hazards.back().offset + hazards.back().length) {
        Run& last = hazards.back();
        const int64_t end = std::max(last.offset + last.length, run.offset + run.length);
        last.offset = std::min(last.offset, run.offset);
        last.length = end - last.offset;
      } else {
        hazards.push_back(run);
      }
    }
    position += run.length;
    return true;
  });
  // Runs need not come in base order: sort and merge once more.
  std::sort(hazards.begin(), hazards.end(),
            [](const Run& a, const Run& b) { return a.offset < b.offset; });
  std::vector<Run> merged;
  for (const Run& r : hazards) {
    if (!merged.empty() && r.offset <= merged.back().offset + merged.back().length) {
      Run& last = merged.back();
      last.length = std::max(last.offset + last.length, r.offset + r.length) - last.offset;
    } else {
      merged.push_back(r);
    }
  }
  return merged;
}

std::vector<KeptRange> KeepHazards(const PieceTree& pieces, int baseFd, int keptFd) {
  std::vector<KeptRange> kept;
  std::vector<uint8_t> buffer;
  bool kernel = true;
  int64_t at = 0;
  for (const Run& r : InPlaceHazards(pieces)) {
    bool absent = false;
    if (!CopyRange(baseFd, r.offset, keptFd, at, r.length, buffer, absent, kernel, false)) {
      const int e = absent ? EIO : errno;
      throw FileError("Cannot keep the old content before saving in place", e);
    }
    kept.push_back(KeptRange{r.offset, r.length, at});
    at += r.length;
  }
  return kept;
}

}  // namespace bm::piece
