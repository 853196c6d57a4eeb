// The checksum pass against published vectors, in any block size.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "bytetools/checksums.h"

namespace bm {
namespace {

struct Vector {
  std::string input;
  ChecksumResults sums;
};

std::vector<Vector> Vectors() {
  return {
      {"",
       {"00000000", "00000001", "d41d8cd98f00b204e9800998ecf8427e",
        "da39a3ee5e6b4b0d3255bfef95601890afd80709",
        "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
        "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d28"
        "77eec2f63b931bd47417a81a538327af927da3e",
        "a7ffc6f8bf1ed76651c14756a061d662f580ff4de43b49fa82d80a4b80f8434a"}},
      {"abc",
       {"352441c2", "024d0127", "900150983cd24fb0d6963f7d28e17f72",
        "a9993e364706816aba3e25717850c26c9cd0d89d",
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
        "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a"
        "3feebbd454d4423643ce80e2a9ac94fa54ca49f",
        "3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532"}},
      {std::string(1000000, 'a'),
       {"dc25bfbc", "15d870f9", "7707d6ae4e027c70eea2a935c2296f21",
        "34aa973cd4c4daa4f61eeb2bdbad27316534016f",
        "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0",
        "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973ebde0ff244877ea60a4cb0432ce"
        "577c31beb009c5c2c49aa2e4eadb217ad8cc09b",
        "5c8875ae474a3634ba4fd55ec85bffd661f32aca75c6d699d0cdcb6c115891c1"}},
  };
}

ChecksumReader ReaderOf(const std::string& data, int64_t* reads = nullptr) {
  return [&data, reads](uint8_t* to, int64_t position, int64_t n) -> int64_t {
    if (reads) ++*reads;
    const int64_t got = std::min<int64_t>(n, static_cast<int64_t>(data.size()) - position);
    std::memcpy(to, data.data() + position, static_cast<size_t>(got));
    return got;
  };
}

// Every algorithm in one set, in one call or block by block (small blocks
// stay on one thread, large ones are shared between two): the same sums.
TEST(ChecksumsTest, KnownVectorsInAnyBlockSize) {
  for (const Vector& v : Vectors()) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(v.input.data());
    ChecksumSet whole;
    whole.Update(bytes, static_cast<int64_t>(v.input.size()));
    EXPECT_EQ(whole.Finish(), v.sums) << v.input.size() << " bytes in one piece";

    for (int64_t block : {int64_t{1} << 10, int64_t{7}, int64_t{300000}}) {
      ChecksumPass pass(0, static_cast<int64_t>(v.input.size()), ReaderOf(v.input), block);
      int steps = 0;
      while (!pass.Step(block)) ++steps;
      EXPECT_EQ(pass.Done(), static_cast<int64_t>(v.input.size()));
      EXPECT_EQ(pass.Results(), v.sums) << v.input.size() << " bytes in blocks of " << block;
    }
  }
}

// A pass over part of the data reads only that part; a single kind leaves
// the other fields empty.
TEST(ChecksumsTest, RangesAndChosenKinds) {
  const std::string data = "xxabcyy";
  ChecksumPass pass(2, 3, ReaderOf(data));
  EXPECT_TRUE(pass.Step(1));
  EXPECT_EQ(pass.Results(), Vectors()[1].sums);

  ChecksumSet only({ChecksumKind::Sha256});
  only.Update(reinterpret_cast<const uint8_t*>("abc"), 3);
  const ChecksumResults sums = only.Finish();
  EXPECT_EQ(sums[static_cast<size_t>(ChecksumKind::Sha256)], Vectors()[1].sums[4]);
  EXPECT_TRUE(sums[static_cast<size_t>(ChecksumKind::Md5)].empty());
}

// Data that ends before the count is an error, not a sum of fewer bytes;
// a step feeds about its budget and no more than the data.
TEST(ChecksumsTest, ShortDataAndStepBudget) {
  const std::string data(100, 'q');
  ChecksumPass shortPass(0, 150, ReaderOf(data), 64);
  EXPECT_FALSE(shortPass.Step(64));
  EXPECT_THROW(shortPass.Step(64), std::runtime_error);

  int64_t reads = 0;
  ChecksumPass pass(0, 100, ReaderOf(data, &reads), 10);
  EXPECT_FALSE(pass.Step(25));
  EXPECT_EQ(pass.Done(), 30);
  EXPECT_EQ(reads, 3);
  EXPECT_TRUE(pass.Step(1000));
  EXPECT_EQ(pass.Done(), 100);
}

}  // namespace
}  // namespace bm
