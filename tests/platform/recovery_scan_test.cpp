// The recovery record's format and file, and the start-up search for
// abandoned working copies against planted links, foreign files and live
// editors.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "platform/recovery.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::TempDir;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Writes a file with an exact mode.
void Plant(const std::string& path, const std::string& bytes, mode_t mode = 0600) {
  std::ofstream(path, std::ios::binary) << bytes;
  ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

std::string Record(const std::string& name, bool modified) {
  return EncodeRecoveryRecord(RecoveryInfo{name, modified});
}

TEST(RecoveryRecordFormat, RoundTripsAnyNameAndRejectsDamage) {
  const std::string odd("/a dir/with\nnewline\0and zero.bin", 32);
  FileIdentity file;
  file.known = true;
  file.link = true;
  file.device = 0xFFFFFFFFFFFFFFFFull;
  file.inode = 1234567890123ull;
  file.size = 2147483647;
  file.mtimeNs = 1765000000123456789;
  for (const RecoveryInfo& info : {RecoveryInfo{odd, true, false, file}, RecoveryInfo{"Untitled", false, true},
                                   RecoveryInfo{"", true, true}}) {
    const std::string bytes = EncodeRecoveryRecord(info);
    EXPECT_EQ(DecodeRecoveryRecord(bytes), info);
    // The tail of a longer earlier record does not change what is read.
    EXPECT_EQ(DecodeRecoveryRecord(bytes + "/an/older/and/longer/name"), info);
  }
  const std::string good = Record("/x/file.bin", true);
  EXPECT_FALSE(DecodeRecoveryRecord(""));
  EXPECT_FALSE(DecodeRecoveryRecord(good.substr(0, good.size() - 1)));  // name cut short
  EXPECT_FALSE(DecodeRecoveryRecord("X" + good.substr(1)));
  std::string two = good;
  two.replace(two.find("modified 1"), 10, "modified 2");
  EXPECT_FALSE(DecodeRecoveryRecord(two));
  std::string huge = good;
  huge.replace(huge.find("name 11"), 7, "name 99999999");
  EXPECT_FALSE(DecodeRecoveryRecord(huge));
  std::string badFile = good;
  badFile.replace(badFile.find("file 0 0"), 8, "file 0 x");
  EXPECT_FALSE(DecodeRecoveryRecord(badFile));
}

TEST(RecoveryRecordFile, CreatedExclusivelyRewrittenInPlaceAndRemovedUnlessKept) {
  TempDir dir;
  const std::string work = dir.File("0000ABCD.XBTM");
  {
    auto record = CreateRecoveryRecord(work);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Path(), work + ".rec");
    struct stat st;
    ASSERT_EQ(::stat(record->Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    // The second claim of the same name fails while the first lives.
    EXPECT_EQ(CreateRecoveryRecord(work), nullptr);

    ASSERT_TRUE(record->Write({"/a/long/file/name.bin", true}));
    ASSERT_TRUE(record->Write({"/b", false}));
    EXPECT_EQ(Slurp(record->Path()), Record("/b", false));
    // Its editor holds it locked.
    const int fd = ::open(record->Path().c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
  }
  EXPECT_FALSE(Exists(work + ".rec"));

  {
    auto record = CreateRecoveryRecord(work);
    ASSERT_NE(record, nullptr);
    record->Keep();
  }
  EXPECT_TRUE(Exists(work + ".rec"));
  ASSERT_EQ(::unlink((work + ".rec").c_str()), 0);

  // A link planted under the record's name is never followed.
  const std::string target = dir.File("target");
  Plant(target, "precious");
  ASSERT_EQ(::symlink(target.c_str(), (work + ".rec").c_str()), 0);
  EXPECT_EQ(CreateRecoveryRecord(work), nullptr);
  EXPECT_EQ(Slurp(target), "precious");
}

// A dead editor's leavings, built by hand: a working copy and its record,
// neither locked.
struct Leftover {
  std::string work;
  std::string record;
};

Leftover Leave(const TempDir& dir, const std::string& name, const std::string& data,
               const std::string& file, bool modified) {
  Leftover l{dir.File(name), dir.File(name) + ".rec"};
  Plant(l.work, data);
  Plant(l.record, Record(file, modified));
  return l;
}

TEST(RecoveryScan, FindsOnlyThisUsersUnlockedPlainFiles) {
  TempDir dir;
  const Leftover dead = Leave(dir, "00000001.XBTM", "edited", "/docs/a.bin", true);
  const Leftover clean = Leave(dir, "00000002.XBTM", "as saved", "/docs/b.bin", false);

  // A working copy that is a link to someone's file.
  const std::string target = dir.File("target");
  Plant(target, "precious");
  const std::string linkWork = dir.File("00000003.XBTM");
  ASSERT_EQ(::symlink(target.c_str(), linkWork.c_str()), 0);
  Plant(linkWork + ".rec", Record("/docs/c.bin", true));

  // A record that is a link, and one that others may read.
  const Leftover linkedRecord = Leave(dir, "00000004.XBTM", "x", "/docs/d.bin", true);
  ASSERT_EQ(::unlink(linkedRecord.record.c_str()), 0);
  ASSERT_EQ(::symlink(target.c_str(), linkedRecord.record.c_str()), 0);
  const Leftover openRecord = Leave(dir, "00000005.XBTM", "x", "/docs/e.bin", true);
  ASSERT_EQ(::chmod(openRecord.record.c_str(), 0644), 0);

  // A running editor's copy: its working copy is locked.
  const Leftover live = Leave(dir, "00000006.XBTM", "live", "/docs/f.bin", true);
  const int liveFd = ::open(live.work.c_str(), O_RDWR);
  ASSERT_GE(liveFd, 0);
  ASSERT_EQ(::flock(liveFd, LOCK_EX | LOCK_NB), 0);

  // A record whose working copy is gone, and a working copy without record.
  Plant(dir.File("00000007.XBTM.rec"), Record("/docs/g.bin", true));
  Plant(dir.File("00000008.XBTM"), "orphan");
  // Names of other programs are not this program's working copies.
  Plant(dir.File("0000000g.XBTM"), "other");
  Plant(dir.File("00000009.xbtm"), "other");

  // Undo data files: the dead editor's go with it, the live editor's and a
  // planted link stay.
  Plant(dead.work + ".undo1", "undo data");
  Plant(live.work + ".undo2", "live undo data");
  ASSERT_EQ(::symlink(target.c_str(), (clean.work + ".undo3").c_str()), 0);

  // Files of another user, where the test may make them.
  const bool root = ::geteuid() == 0;
  Leftover foreign;
  if (root) {
    foreign = Leave(dir, "0000000A.XBTM", "theirs", "/docs/h.bin", true);
    ASSERT_EQ(::chown(foreign.record.c_str(), 65534, 65534), 0);
  }

  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(dir.Path());
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].WorkFile(), dead.work);
  EXPECT_TRUE(found[0].HasUnsavedChanges());
  EXPECT_EQ(found[0].Info()->fileName, "/docs/a.bin");
  EXPECT_EQ(found[1].WorkFile(), clean.work);
  EXPECT_FALSE(found[1].HasUnsavedChanges());
  EXPECT_EQ(found[2].WorkFile(), dir.File("00000008.XBTM"));
  EXPECT_FALSE(found[2].Info());
  EXPECT_EQ(found[3].WorkFile(), dir.File("00000007.XBTM"));
  EXPECT_FALSE(found[3].HasUnsavedChanges());  // nothing left to restore

  // While the search holds them, a second search (another editor starting)
  // does not see them.
  EXPECT_TRUE(FindOrphanedWorkCopies(dir.Path()).empty());

  for (OrphanedWorkCopy& o : found) o.Discard();
  for (const std::string& gone : {dead.work, dead.record, dead.work + ".undo1", clean.work, clean.record,
                                  dir.File("00000007.XBTM.rec"), dir.File("00000008.XBTM")})
    EXPECT_FALSE(Exists(gone)) << gone;
  // Everything that was not trusted is where it was.
  for (const std::string& kept : {linkWork, linkWork + ".rec", linkedRecord.work,
                                  linkedRecord.record, openRecord.work, openRecord.record,
                                  live.work, live.record, live.work + ".undo2",
                                  clean.work + ".undo3", dir.File("0000000g.XBTM")})
    EXPECT_TRUE(Exists(kept)) << kept;
  if (root) {
    EXPECT_TRUE(Exists(foreign.work));
    EXPECT_TRUE(Exists(foreign.record));
  }
  EXPECT_EQ(Slurp(target), "precious");

  // Released ones come back for a later search; the live one once its
  // editor is gone.
  ::close(liveFd);
  std::vector<OrphanedWorkCopy> again = FindOrphanedWorkCopies(dir.Path());
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].WorkFile(), live.work);
  again[0].Release();
  EXPECT_EQ(FindOrphanedWorkCopies(dir.Path()).size(), 1u);
}

}  // namespace
}  // namespace bm
