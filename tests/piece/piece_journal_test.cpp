// Recovery from the journal after a torn write, and edits refused whole when the add store is full.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "piece/journal.h"
#include "piece/piece_table.h"
#include "support/failing_files.h"
#include "support/temp_dir.h"

namespace bm::piece {
namespace {

using testing::TempDir;

std::vector<uint8_t> Whole(PieceReader& reader, const PieceTree& pieces) {
  std::vector<uint8_t> bytes(static_cast<size_t>(pieces.Size()));
  reader.Read(pieces, 0, bytes.data(), pieces.Size());
  return bytes;
}

TEST(PieceJournal, ReplayAfterATornLastRecordGivesTheLastWholeStep) {
  TempDir dir;
  PosixFileSystem files(dir.Path());
  const std::string folder = dir.Path() + "/";
  auto base = BaseFile::Open(dir.Write("base.bin", testing::Pattern(3000, 5)));
  auto add = AddStore::Create(files, folder);
  const std::string journalPath = add->Path() + ".jnl";
  auto journal = Journal::Create(files, journalPath, base->Identity(), base->Size());
  ASSERT_TRUE(journal);
  auto owned = std::make_unique<PieceTable>(base.get(), *add, journal.get());
  PieceTable& table = *owned;

  std::vector<std::vector<uint8_t>> states;  // after each whole step
  std::vector<int64_t> ends;                 // the journal's length then
  auto endStep = [&](uint8_t tag) {
    table.EndStep({tag});
    std::vector<uint8_t> now(static_cast<size_t>(table.Size()));
    table.Read(0, now.data(), table.Size());
    states.push_back(now);
    ends.push_back(journal->Length());
  };
  const std::vector<uint8_t> ten(10, 0x11), big(300, 0x22), three{7, 8, 9};
  table.Insert(100, ten.data(), 10);
  endStep(1);
  const auto beforeRemove = table.Keep();
  table.Remove(50, 30);
  endStep(2);
  table.WriteByte(5, 0xA0);
  endStep(3);
  table.WriteByte(5, 0xAB);  // the same added byte, rewritten in place
  endStep(4);
  table.Restore(beforeRemove);
  endStep(5);
  table.Replace(200, 40, big.data(), 300);
  endStep(6);
  // The last step: several records, a short run and a rewrite in place.
  table.Keep();
  table.Replace(1000, 2, three.data(), 3);
  table.WriteByte(1001, 0xEE);
  endStep(7);

  const int64_t addLength = add->Length();
  const std::string addPath = add->Path();
  owned.reset();
  journal.reset();  // lets go of its lock, as a killed editor does
  add.reset();

  const int64_t full = ends.back();
  const int64_t previous = ends[ends.size() - 2];
  for (int64_t cut = previous; cut <= full + 1; ++cut) {
    SCOPED_TRACE("journal cut at " + std::to_string(cut));
    const std::string jcopy = folder + "j.copy", acopy = folder + "a.copy";
    std::filesystem::copy_file(journalPath, jcopy, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(addPath, acopy, std::filesystem::copy_options::overwrite_existing);
    if (cut <= full) {
      std::filesystem::resize_file(jcopy, static_cast<uintmax_t>(cut));
    } else {  // a damaged byte in the last record instead of a cut
      std::FILE* f = std::fopen(jcopy.c_str(), "r+b");
      std::fseek(f, static_cast<long>(full - 3), SEEK_SET);
      std::fputc(0x5A, f);
      std::fclose(f);
    }
    auto store = AddStore::Reopen(files, acopy, addLength);
    const ReplayResult r = Replay(files, jcopy, store.get());
    ASSERT_TRUE(r.ok) << r.problem;
    const bool whole = cut == full;
    EXPECT_EQ(r.steps.size(), whole ? 7u : 6u);
    EXPECT_EQ(r.validLength, whole ? full : previous);
    EXPECT_EQ(r.base, base->Identity());
    PieceReader reader(base.get(), *store);
    EXPECT_EQ(Whole(reader, r.document), whole ? states[6] : states[5]);
    EXPECT_EQ(r.steps.back().payload, std::vector<uint8_t>{static_cast<uint8_t>(whole ? 7 : 6)});
    // The version kept before the removal is rebuilt too (undo survives).
    ASSERT_EQ(r.kept.count(beforeRemove.id), 1u);
    EXPECT_EQ(Whole(reader, r.kept.at(beforeRemove.id)), states[0]);
    store.reset();
    std::filesystem::remove(jcopy);
    std::filesystem::remove(acopy);
  }
}

TEST(PieceJournal, AnEditTheStoreCannotTakeIsRefusedWhole) {
  TempDir dir;
  testing::FailingFileSystem files(dir.Path());
  auto base = BaseFile::Open(dir.Write("base.bin", testing::Pattern(500, 9)));
  auto add = AddStore::Create(files, dir.Path() + "/");
  ASSERT_TRUE(add);
  auto journal = Journal::Create(files, add->Path() + ".jnl", base->Identity(), base->Size());
  PieceTable table(base.get(), *add, journal.get());
  const std::vector<uint8_t> bytes(100, 0x77);
  table.Insert(10, bytes.data(), 100);
  table.EndStep();
  std::vector<uint8_t> before(static_cast<size_t>(table.Size()));
  table.Read(0, before.data(), table.Size());
  const int64_t addBefore = add->Length(), journalBefore = journal->Length();

  // The append of the bytes, then the journal record: each fails once.
  for (int failing = 1; failing <= 2; ++failing) {
    files.FailAt(failing, testing::FailingFileSystem::kWrite);
    EXPECT_THROW(table.Replace(20, 5, bytes.data(), 60), FileError);
    EXPECT_TRUE(files.Fired());
    files.Disarm();
    std::vector<uint8_t> after(static_cast<size_t>(table.Size()));
    table.Read(0, after.data(), table.Size());
    EXPECT_EQ(after, before);
    EXPECT_EQ(journal->Length(), journalBefore);
    EXPECT_EQ(journal->Stream().Size(), journalBefore);
    if (failing == 1) {
      EXPECT_EQ(add->Stream().Size(), addBefore);
    }
  }
  // A typed byte rewritten in place whose write fails leaves no record.
  files.FailAt(2, testing::FailingFileSystem::kWrite);
  EXPECT_THROW(table.WriteByte(10, 0x00), FileError);
  files.Disarm();
  EXPECT_EQ(journal->Length(), journalBefore);
  uint8_t b = 0;
  table.Read(10, &b, 1);
  EXPECT_EQ(b, 0x77);

  // The next edit goes through and replays to the same bytes.
  table.Replace(20, 5, bytes.data(), 60);
  table.EndStep();
  std::vector<uint8_t> now(static_cast<size_t>(table.Size()));
  table.Read(0, now.data(), table.Size());
  const std::string journalPath = journal->Path();
  journal.reset();
  const ReplayResult r = Replay(files, journalPath, nullptr);
  ASSERT_TRUE(r.ok);
  PieceReader reader(base.get(), *add);
  EXPECT_EQ(Whole(reader, r.document), now);
}

}  // namespace
}  // namespace bm::piece
