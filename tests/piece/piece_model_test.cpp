// The piece table against a plain byte vector with its own undo and redo, by random edits.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "piece/piece_table.h"
#include "platform/posix/posix_files.h"
#include "support/temp_dir.h"

namespace bm::piece {
namespace {

using testing::TempDir;

// One undo or redo entry: a kept version for range edits, the old and new
// byte for a byte change (as the editor keeps them).
struct Entry {
  bool byte = false;
  int64_t position = 0;
  uint8_t oldValue = 0, newValue = 0;
  PieceTable::Version version;
  std::vector<uint8_t> model;
};

// Drives a table whose bytes [origin, origin + window) follow a model
// vector; everything before is the base's first origin bytes and after it
// the base's last tail bytes.
class ModelRun {
 public:
  ModelRun(PieceTable& table, BaseFile& base, int64_t origin, int64_t window, uint32_t seed)
      : table_(table), base_(base), origin_(origin), rng_(seed), seed_(seed) {
    model_.resize(static_cast<size_t>(window));
    base_.Read(origin, model_.data(), window);
    tail_ = base.Size() - origin - window;
  }

  void Run(int steps) {
    for (step_ = 0; step_ < steps; ++step_) {
      OneStep();
      CheckWindow(step_ % 500 == 0);
      if (::testing::Test::HasFailure()) return;
    }
    CheckWindow(true);
  }

 private:
  int64_t Pick(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng_); }
  int64_t Size() const { return static_cast<int64_t>(model_.size()); }
  std::vector<uint8_t> Bytes(int64_t n) {
    std::vector<uint8_t> b(static_cast<size_t>(n));
    for (auto& c : b) c = static_cast<uint8_t>(rng_());
    return b;
  }

  void PushUndo(Entry e) {
    for (Entry& r : redo_) Forget(r);
    redo_.clear();
    undo_.push_back(std::move(e));
    if (undo_.size() > 100) {
      Forget(undo_.front());
      undo_.erase(undo_.begin());
    }
  }
  void Forget(Entry& e) {
    if (!e.byte) table_.Drop(e.version);
  }
  Entry KeepNow() {
    Entry e;
    e.version = table_.Keep();
    e.model = model_;
    return e;
  }
  // Brings back the other side of e and returns the entry that goes back.
  Entry Step(Entry e) {
    if (e.byte) {
      table_.WriteByte(origin_ + e.position, e.oldValue);
      model_[static_cast<size_t>(e.position)] = e.oldValue;
      std::swap(e.oldValue, e.newValue);
      return e;
    }
    Entry back = KeepNow();
    table_.Restore(e.version);
    table_.Drop(e.version);
    model_ = e.model;
    return back;
  }

  void TypeByte(int64_t p, uint8_t value, bool insert) {
    if (insert || p == Size()) {
      PushUndo(KeepNow());
      const uint8_t high = value & 0xF0;
      table_.Insert(origin_ + p, &high, 1);
      model_.insert(model_.begin() + p, high);
    } else {
      const uint8_t old = model_[static_cast<size_t>(p)];
      const uint8_t high = static_cast<uint8_t>((value & 0xF0) | (old & 0x0F));
      PushUndo(Entry{true, p, old, high, {}, {}});
      table_.WriteByte(origin_ + p, high);
      model_[static_cast<size_t>(p)] = high;
    }
    const uint8_t mid = model_[static_cast<size_t>(p)];
    PushUndo(Entry{true, p, mid, value, {}, {}});
    table_.WriteByte(origin_ + p, value);
    model_[static_cast<size_t>(p)] = value;
  }

  void OneStep() {
    const int kind = static_cast<int>(Pick(0, 9));
    const int64_t p = Pick(0, Size());
    const int64_t n = std::min<int64_t>(Pick(1, 64), Size() - p);
    if (kind <= 1 || Size() < 16) {  // insert
      PushUndo(KeepNow());
      const auto b = Bytes(Pick(1, 40));
      table_.Insert(origin_ + p, b.data(), static_cast<int64_t>(b.size()));
      model_.insert(model_.begin() + p, b.begin(), b.end());
    } else if (kind == 2 && n > 0 && Size() > 256) {  // remove
      PushUndo(KeepNow());
      table_.Remove(origin_ + p, n);
      model_.erase(model_.begin() + p, model_.begin() + p + n);
    } else if (kind == 3 && n > 0) {  // replace by another length
      PushUndo(KeepNow());
      const auto b = Bytes(Pick(1, 40));
      table_.Replace(origin_ + p, n, b.data(), static_cast<int64_t>(b.size()));
      model_.erase(model_.begin() + p, model_.begin() + p + n);
      model_.insert(model_.begin() + p, b.begin(), b.end());
    } else if (kind == 4) {  // typed run
      const bool insert = Pick(0, 1) == 1;
      const int64_t count = Pick(1, 24);
      for (int64_t i = 0; i < count && p + i <= Size(); ++i)
        TypeByte(p + i, static_cast<uint8_t>(rng_()), insert);
    } else if (kind == 5) {  // a cut pasted elsewhere, pieces only
      if (n <= 0) return;
      PushUndo(KeepNow());
      const PieceTree cut = table_.Pieces().Slice(origin_ + p, n);
      std::vector<uint8_t> bytes(model_.begin() + p, model_.begin() + p + n);
      table_.Remove(origin_ + p, n);
      model_.erase(model_.begin() + p, model_.begin() + p + n);
      const int64_t q = Pick(0, Size());
      table_.InsertPieces(origin_ + q, cut);
      model_.insert(model_.begin() + q, bytes.begin(), bytes.end());
    } else if (kind <= 7) {  // undo a few
      for (int64_t i = Pick(1, 5); i > 0 && !undo_.empty(); --i) {
        Entry e = std::move(undo_.back());
        undo_.pop_back();
        redo_.push_back(Step(std::move(e)));
      }
    } else {  // redo a few
      for (int64_t i = Pick(1, 5); i > 0 && !redo_.empty(); --i) {
        Entry e = std::move(redo_.back());
        redo_.pop_back();
        undo_.push_back(Step(std::move(e)));
      }
    }
  }

  void CheckWindow(bool whole) {
    const std::string where = "seed " + std::to_string(seed_) + ", step " + std::to_string(step_);
    ASSERT_EQ(table_.Size(), origin_ + Size() + tail_) << where;
    ASSERT_EQ(table_.Pieces().Check(), "") << where;
    // Each edit adds at most three pieces; typing adds none within a run.
    ASSERT_LE(table_.PieceCount(), 3 + 3 * (step_ + 1)) << where;
    int64_t from = 0, count = Size();
    if (!whole) {
      from = Pick(0, Size());
      count = std::min<int64_t>(Pick(0, 80), Size() - from);
    }
    std::vector<uint8_t> got(static_cast<size_t>(count));
    const ReadOutcome r = table_.Read(origin_ + from, got.data(), count);
    ASSERT_EQ(r.count, count) << where;
    ASSERT_EQ(r.absent, 0) << where;
    ASSERT_TRUE(std::equal(got.begin(), got.end(), model_.begin() + from)) << where << ", from " << from;
    if (whole) {  // the base around the window is untouched
      uint8_t edge[8], expect[8];
      const int64_t before = std::min<int64_t>(8, origin_);
      table_.Read(origin_ - before, edge, before);
      base_.Read(origin_ - before, expect, before);
      ASSERT_EQ(0, std::memcmp(edge, expect, static_cast<size_t>(before))) << where;
      const int64_t after = std::min<int64_t>(8, tail_);
      table_.Read(origin_ + Size(), edge, after);
      base_.Read(base_.Size() - tail_, expect, after);
      ASSERT_EQ(0, std::memcmp(edge, expect, static_cast<size_t>(after))) << where;
    }
  }

  PieceTable& table_;
  BaseFile& base_;
  int64_t origin_;
  int64_t tail_ = 0;
  std::mt19937 rng_;
  uint32_t seed_;
  int step_ = 0;
  std::vector<uint8_t> model_;
  std::vector<Entry> undo_, redo_;
};

uint32_t Seed() {
  const char* env = std::getenv("BYTEMOOR_SEED");
  return env ? static_cast<uint32_t>(std::strtoul(env, nullptr, 10)) : std::random_device{}();
}

TEST(PieceModel, RandomEditsUndoAndRedoMatchAByteVector) {
  TempDir dir;
  const std::string file = dir.Write("base.bin", testing::Pattern(6000, 7));
  PosixFileSystem files(dir.Path());
  auto base = BaseFile::Open(file);
  auto add = AddStore::Create(files, dir.Path() + "/");
  ASSERT_TRUE(add);
  PieceTable table(base.get(), *add);
  ModelRun(table, *base, 0, base->Size(), Seed()).Run(30000);
}

TEST(PieceModel, EditsAboveFourGiBOverASparseBase) {
  TempDir dir;
  constexpr int64_t kSize = int64_t{5} << 30;
  constexpr int64_t kOrigin = (int64_t{4} << 30) + 12345;
  const std::string file = dir.File("sparse.bin");
  {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, ::ftruncate(fd, kSize));
    const auto pattern = testing::Pattern(8192, 3);
    ASSERT_EQ(static_cast<ssize_t>(pattern.size()),
              ::pwrite(fd, pattern.data(), pattern.size(), kOrigin - 100));
    ::close(fd);
  }
  PosixFileSystem files(dir.Path());
  auto base = BaseFile::Open(file);
  auto add = AddStore::Create(files, dir.Path() + "/");
  ASSERT_TRUE(add);
  PieceTable table(base.get(), *add);
  ModelRun(table, *base, kOrigin, 4000, Seed()).Run(20000);
}

TEST(PieceModel, TypingKeepsAFewPieces) {
  TempDir dir;
  const std::string file = dir.File("sparse.bin");
  {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(0, ::ftruncate(fd, int64_t{8} << 30));
    ::close(fd);
  }
  PosixFileSystem files(dir.Path());
  auto base = BaseFile::Open(file);
  auto add = AddStore::Create(files, dir.Path() + "/");
  PieceTable table(base.get(), *add);
  constexpr int64_t kTyped = 256 << 10;  // the benchmark types a whole MiB
  const int64_t start = int64_t{3} << 30;
  // Overwrite: high digit, then low digit of each byte, a byte change each.
  for (int64_t i = 0; i < kTyped; ++i) {
    table.WriteByte(start + i, 0xA0);
    table.WriteByte(start + i, static_cast<uint8_t>(0xA0 | (i & 0x0F)));
  }
  EXPECT_LE(table.PieceCount(), 3);
  EXPECT_EQ(add->Length(), kTyped);
  // Insert: each byte an insertion kept for undo, then its low digit.
  const int64_t at = int64_t{6} << 30;
  std::vector<PieceTable::Version> undo;
  for (int64_t i = 0; i < kTyped; ++i) {
    undo.push_back(table.Keep());
    if (undo.size() > 100) undo.erase(undo.begin());
    const uint8_t high = 0x50;
    table.Insert(at + i, &high, 1);
    table.WriteByte(at + i, static_cast<uint8_t>(0x50 | (i & 0x0F)));
  }
  EXPECT_LE(table.PieceCount(), 100);
  EXPECT_EQ(table.Size(), (int64_t{8} << 30) + kTyped);
  uint8_t got[32];
  table.Read(start + kTyped - 16, got, 32);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(got[i], 0xA0 | ((kTyped - 16 + i) & 0x0F));
  for (int i = 16; i < 32; ++i) EXPECT_EQ(got[i], 0);
  table.Read(at, got, 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(got[i], 0x50 | i);
  // Undoing the last insertion leaves the typed bytes before it as they were.
  table.Restore(undo.back());
  table.Read(at + kTyped - 2, got, 2);
  EXPECT_EQ(got[0], 0x50 | ((kTyped - 2) & 0x0F));
  EXPECT_EQ(got[1], 0);
}

}  // namespace
}  // namespace bm::piece
