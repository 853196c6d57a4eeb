// The checksum pass: zlib for CRC-32 and Adler-32, OpenSSL's EVP digests for
// the rest (faster here than QCryptographicHash: see bench/bytetools_bench).
#include "bytetools/checksums.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace bm {

namespace {

// Below this a block is fed on the calling thread alone.
constexpr int64_t kSplitThreshold = 256 << 10;

std::string Hex(const uint8_t* bytes, size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(n * 2, '0');
  for (size_t i = 0; i < n; ++i) {
    text[2 * i] = kDigits[bytes[i] >> 4];
    text[2 * i + 1] = kDigits[bytes[i] & 15];
  }
  return text;
}

std::string Hex32(uint32_t v) {
  const uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  return Hex(b, 4);
}

const EVP_MD* Digest(ChecksumKind kind) {
  switch (kind) {
    case ChecksumKind::Md5: return EVP_md5();
    case ChecksumKind::Sha1: return EVP_sha1();
    case ChecksumKind::Sha256: return EVP_sha256();
    case ChecksumKind::Sha512: return EVP_sha512();
    case ChecksumKind::Sha3_256: return EVP_sha3_256();
    default: return nullptr;
  }
}

// One algorithm's running state.
struct Running {
  ChecksumKind kind;
  EVP_MD_CTX* ctx = nullptr;
  uLong sum = 0;

  explicit Running(ChecksumKind k) : kind(k) {
    if (kind == ChecksumKind::Crc32) sum = crc32_z(0, Z_NULL, 0);
    else if (kind == ChecksumKind::Adler32) sum = adler32_z(0, Z_NULL, 0);
    else {
      ctx = EVP_MD_CTX_new();
      if (!ctx || EVP_DigestInit_ex(ctx, Digest(kind), nullptr) != 1) {
        EVP_MD_CTX_free(ctx);
        throw std::runtime_error("The digest could not be set up");
      }
    }
  }
  ~Running() { EVP_MD_CTX_free(ctx); }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

  void Update(const uint8_t* data, int64_t n) {
    if (kind == ChecksumKind::Crc32) sum = crc32_z(sum, data, static_cast<z_size_t>(n));
    else if (kind == ChecksumKind::Adler32) sum = adler32_z(sum, data, static_cast<z_size_t>(n));
    else EVP_DigestUpdate(ctx, data, static_cast<size_t>(n));
  }

  std::string Finish() {
    if (!ctx) return Hex32(static_cast<uint32_t>(sum));
    uint8_t out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(ctx, out, &length);
    return Hex(out, length);
  }
};

// Time a gigabyte costs each algorithm here, roughly (ms), for sharing the
// work out between two threads evenly.
int Cost(ChecksumKind kind) {
  switch (kind) {
    case ChecksumKind::Crc32: return 350;
    case ChecksumKind::Adler32: return 150;
    case ChecksumKind::Md5: return 1500;
    case ChecksumKind::Sha1: return 600;
    case ChecksumKind::Sha256: return 500;
    case ChecksumKind::Sha512: return 1100;
    case ChecksumKind::Sha3_256: return 2000;
  }
  return 1;
}

}  // namespace

struct ChecksumSet::Impl {
  std::vector<std::unique_ptr<Running>> helper;  // fed on a second thread
  std::vector<std::unique_ptr<Running>> caller;  // fed on the calling thread
  bool split = std::thread::hardware_concurrency() > 1;
};

ChecksumSet::ChecksumSet(std::vector<ChecksumKind> kinds) : impl_(std::make_unique<Impl>()) {
  if (kinds.empty())
    for (int k = 0; k < kChecksumKinds; ++k) kinds.push_back(static_cast<ChecksumKind>(k));
  // The costliest first, each to the lighter side.
  std::sort(kinds.begin(), kinds.end(),
            [](ChecksumKind a, ChecksumKind b) { return Cost(a) > Cost(b); });
  int helperCost = 0, callerCost = 0;
  for (ChecksumKind kind : kinds) {
    if (helperCost < callerCost) {
      impl_->helper.push_back(std::make_unique<Running>(kind));
      helperCost += Cost(kind);
    } else {
      impl_->caller.push_back(std::make_unique<Running>(kind));
      callerCost += Cost(kind);
    }
  }
}

ChecksumSet::~ChecksumSet() = default;

void ChecksumSet::Update(const uint8_t* data, int64_t n) {
  if (n <= 0) return;
  if (!impl_->split || impl_->helper.empty() || n < kSplitThreshold) {
    for (auto& r : impl_->helper) r->Update(data, n);
    for (auto& r : impl_->caller) r->Update(data, n);
    return;
  }
  std::thread helper([&] {
    for (auto& r : impl_->helper) r->Update(data, n);
  });
  for (auto& r : impl_->caller) r->Update(data, n);
  helper.join();
}

ChecksumResults ChecksumSet::Finish() {
  ChecksumResults results;
  for (auto* side : {&impl_->helper, &impl_->caller})
    for (auto& r : *side) results[static_cast<size_t>(r->kind)] = r->Finish();
  return results;
}

ChecksumPass::ChecksumPass(int64_t first, int64_t count, ChecksumReader reader, int64_t blockSize)
    : first_(first),
      count_(std::max<int64_t>(count, 0)),
      reader_(std::move(reader)),
      block_(static_cast<size_t>(std::clamp<int64_t>(count_, 1, std::max<int64_t>(blockSize, 1)))) {}

bool ChecksumPass::Step(int64_t budget) {
  int64_t fed = 0;
  do {
    if (done_ >= count_) return true;
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(block_.size()), count_ - done_);
    const int64_t got = reader_(block_.data(), first_ + done_, n);
    if (got != n) throw std::runtime_error("The data ended before the checksums were complete");
    set_.Update(block_.data(), n);
    done_ += n;
    fed += n;
  } while (fed < budget);
  return done_ >= count_;
}

}  // namespace bm
