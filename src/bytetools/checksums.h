// Checksums of a run of bytes: CRC-32 and Adler-32 (zlib), MD5, SHA-1,
// SHA-256, SHA-512 and SHA3-256 (OpenSSL), all fed by one pass.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bm {

enum class ChecksumKind { Crc32, Adler32, Md5, Sha1, Sha256, Sha512, Sha3_256 };
inline constexpr int kChecksumKinds = 7;

// Lower-case hex, as sha256sum prints them, in the order of ChecksumKind.
using ChecksumResults = std::array<std::string, kChecksumKinds>;

// The seven algorithms over the same bytes. Large blocks are shared out
// between two threads, each feeding its own algorithms.
class ChecksumSet {
 public:
  // kinds: the algorithms to compute (all when empty).
  explicit ChecksumSet(std::vector<ChecksumKind> kinds = {});
  ~ChecksumSet();
  ChecksumSet(const ChecksumSet&) = delete;
  ChecksumSet& operator=(const ChecksumSet&) = delete;

  void Update(const uint8_t* data, int64_t n);
  // The sums of everything fed so far (empty strings for kinds not computed).
  ChecksumResults Finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Copies n bytes at position into to; returns how many arrived.
using ChecksumReader = std::function<int64_t(uint8_t* to, int64_t position, int64_t n)>;

// One pass over count bytes from first, taken in steps so that a caller can
// show progress and stop between them.
class ChecksumPass {
 public:
  ChecksumPass(int64_t first, int64_t count, ChecksumReader reader, int64_t blockSize = 4 << 20);
  // Reads and feeds at least one block and about budget bytes; true once
  // every byte has been fed. Throws std::runtime_error when the data ends
  // before count bytes.
  bool Step(int64_t budget);
  int64_t Done() const { return done_; }
  int64_t Count() const { return count_; }
  bool Finished() const { return done_ >= count_; }
  ChecksumResults Results() { return set_.Finish(); }

 private:
  int64_t first_;
  int64_t count_;
  int64_t done_ = 0;
  ChecksumReader reader_;
  std::vector<uint8_t> block_;
  ChecksumSet set_;
};

}  // namespace bm
