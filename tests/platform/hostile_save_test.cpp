// Saves against a hostile neighbour: the document's file swapped for a link,
// backups that must not become links of other files or keep set-id bits, a
// group the user is not in, and backups that cannot be made.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "platform/posix/posix_files.h"
#include "platform/posix/posix_ownership.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::TempDir;

constexpr uid_t kHelper = 4242;     // the editing user in the two-user cases
constexpr gid_t kForeign = 4343;    // a group nobody is in
constexpr uid_t kNeighbour = 4444;  // the other user

std::string Read(const std::string& path) {
  const std::vector<unsigned char> bytes = testing::ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

struct stat LStat(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

// Runs body as the helper user (own group only) in a child; its exit code.
int AsHelper(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kHelper, kHelper, kHelper) != 0 ||
        ::setresuid(kHelper, kHelper, kHelper) != 0)
      ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class HostileSaveTest : public ::testing::Test {
 protected:
  std::string P(const std::string& name) const { return dir_.File(name); }
  std::string Write(const std::string& name, const std::string& data, mode_t mode = 0644) {
    const std::string path = dir_.Write(name, data);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
  }
  bool Save(const std::string& to, const std::string& backup, const FileIdentity* loaded,
            const FileIdentity* expected, BackupFailure* failure = nullptr, FileIdentity* saved = nullptr) {
    SaveCopyOptions o;
    o.backup = backup;
    o.loaded = loaded;
    o.expected = expected;
    o.backupFailure = failure;
    return fs_.SaveCopy(source_, to, o, saved);
  }
  // Exit code of a save run as the helper: 10 when it saved, else the problem.
  static int HelperSave(const std::string& from, const std::string& to, const std::string& backup) {
    return AsHelper([&] {
      PosixFileSystem files(from.substr(0, from.rfind('/')));  // working copies beside from
      BackupFailure failure;
      SaveCopyOptions o;
      o.backup = backup;
      o.backupFailure = &failure;
      return files.SaveCopy(from, to, o, nullptr) ? 10 : static_cast<int>(failure.problem);
    });
  }

  TempDir dir_;
  TempDir private_;
  PosixFileSystem fs_{dir_.Path()};
  std::string source_ = dir_.Write("work.XBTM", "the new contents");
};

TEST_F(HostileSaveTest, AFileSwappedForALinkIsReplacedItselfAndTheLinkBecomesTheBackup) {
  const std::string notes = private_.Write("notes.txt", "private notes");
  const std::string target = Write("g1.bin", "old g1");
  const FileIdentity loaded = fs_.Identify(target);
  std::filesystem::remove(target);
  ASSERT_EQ(::symlink(notes.c_str(), target.c_str()), 0);
  const FileIdentity accepted = fs_.Identify(target);

  FileIdentity saved;
  ASSERT_TRUE(Save(target, P("g1.bak"), &loaded, &accepted, nullptr, &saved));
  EXPECT_EQ(Read(notes), "private notes");
  EXPECT_EQ(LStat(notes).st_nlink, 1u) << "no second name of the private file";
  ASSERT_TRUE(S_ISREG(LStat(target).st_mode));
  EXPECT_EQ(Read(target), "the new contents");
  EXPECT_EQ(LStat(target).st_mode & 07777, 0600u);
  EXPECT_TRUE(S_ISLNK(LStat(P("g1.bak")).st_mode));
  EXPECT_FALSE(saved.link);

  // Without a backup the link is replaced all the same.
  std::filesystem::remove(target);
  ASSERT_EQ(::symlink(notes.c_str(), target.c_str()), 0);
  const FileIdentity again = fs_.Identify(target);
  ASSERT_TRUE(Save(target, {}, &saved, &again));
  EXPECT_EQ(Read(notes), "private notes");
  EXPECT_TRUE(S_ISREG(LStat(target).st_mode));

  // A link the document was opened through, still leading to its file, is
  // followed; retargeted at another file, it is replaced.
  const std::string mine = private_.Write("mine.bin", "mine");
  ASSERT_EQ(::symlink(mine.c_str(), P("mine.lnk").c_str()), 0);
  const FileIdentity viaLink = fs_.Identify(P("mine.lnk"));
  ASSERT_TRUE(Save(P("mine.lnk"), {}, &viaLink, &viaLink));
  EXPECT_EQ(Read(mine), "the new contents");
  EXPECT_TRUE(S_ISLNK(LStat(P("mine.lnk")).st_mode));
  const FileIdentity before = fs_.Identify(P("mine.lnk"));
  std::filesystem::remove(P("mine.lnk"));
  ASSERT_EQ(::symlink(notes.c_str(), P("mine.lnk").c_str()), 0);
  const FileIdentity retargeted = fs_.Identify(P("mine.lnk"));
  ASSERT_TRUE(Save(P("mine.lnk"), {}, &before, &retargeted));
  EXPECT_EQ(Read(notes), "private notes");
  EXPECT_TRUE(S_ISREG(LStat(P("mine.lnk")).st_mode));
}

TEST_F(HostileSaveTest, OnlyTheLoadedFileWithoutSetIdBitsIsKeptByASecondLink) {
  // The loaded file itself: the backup is that very inode.
  const std::string target = Write("tool", "first", 0755);
  FileIdentity loaded = fs_.Identify(target);
  const ino_t first = LStat(target).st_ino;
  ASSERT_TRUE(Save(target, P("tool.bak"), &loaded, &loaded, nullptr, &loaded));
  EXPECT_EQ(LStat(P("tool.bak")).st_ino, first);

  // Replaced by another program since, and accepted: copied, not linked.
  Write("tool.new", "replaced", 0755);
  ASSERT_EQ(::rename(P("tool.new").c_str(), target.c_str()), 0);
  const ino_t replaced = LStat(target).st_ino;
  const FileIdentity accepted = fs_.Identify(target);
  ASSERT_TRUE(Save(target, P("tool.bak"), &loaded, &accepted, nullptr, &loaded));
  EXPECT_EQ(Read(P("tool.bak")), "replaced");
  EXPECT_NE(LStat(P("tool.bak")).st_ino, replaced);
  EXPECT_EQ(LStat(target).st_nlink, 1u);

  // A set-user-ID program: its old version is no runnable set-ID backup.
  ASSERT_EQ(::chmod(target.c_str(), 06755), 0);
  loaded = fs_.Identify(target);
  const ino_t setId = LStat(target).st_ino;
  ASSERT_TRUE(Save(target, P("tool.bak"), &loaded, &loaded));
  EXPECT_NE(LStat(P("tool.bak")).st_ino, setId);
  EXPECT_EQ(LStat(P("tool.bak")).st_mode & 07777, 0755u);
  EXPECT_EQ(Read(P("tool.bak")), "the new contents");  // the previous save's data
}

TEST(OwnershipDecision, RenameKeepsOwnerAndGroupOnlyWhereTheNewFileCanHaveThem) {
  struct stat file {};
  file.st_uid = 1000;
  file.st_gid = 50;
  EXPECT_TRUE(posix::CanKeepOwnerAndGroup(file, {0, 0, {}}));         // root
  EXPECT_TRUE(posix::CanKeepOwnerAndGroup(file, {1000, 50, {}}));     // own group
  EXPECT_TRUE(posix::CanKeepOwnerAndGroup(file, {1000, 100, {7, 50}}));  // a group the user is in
  EXPECT_FALSE(posix::CanKeepOwnerAndGroup(file, {1000, 100, {7}}));  // a group the user is not in
  EXPECT_FALSE(posix::CanKeepOwnerAndGroup(file, {1001, 50, {50}}));  // another user's file
}

TEST_F(HostileSaveTest, AFileOfAGroupTheUserIsNotInNeverBecomesReadableByAnother) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user and a foreign group";
  ASSERT_EQ(::chown(dir_.Path().c_str(), kHelper, kHelper), 0);
  ASSERT_EQ(::chown(source_.c_str(), kHelper, kHelper), 0);
  const std::string file = Write("secret.bin", "old secret", 0640);
  ASSERT_EQ(::chown(file.c_str(), kHelper, kForeign), 0);

  // Writable: saved in place, so the file keeps its group and mode; the
  // backup that cannot have the group has no group bits.
  ASSERT_EQ(HelperSave(source_, file, P("secret.bak")), 10);
  EXPECT_EQ(Read(file), "the new contents");
  EXPECT_EQ(LStat(file).st_gid, kForeign);
  EXPECT_EQ(LStat(file).st_mode & 07777, 0640u);
  const struct stat backup = LStat(P("secret.bak"));
  EXPECT_TRUE(backup.st_gid == kForeign || (backup.st_mode & 070) == 0);
  EXPECT_EQ(Read(P("secret.bak")), "old secret");

  // Not writable by its owner: renamed into place, without group or other bits.
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  ASSERT_EQ(HelperSave(source_, file, {}), 10);
  EXPECT_NE(LStat(file).st_gid, kForeign);
  EXPECT_EQ(LStat(file).st_mode & 077, 0u);
}

TEST_F(HostileSaveTest, ABackupThatCannotBeMadeSaysWhyAndWritesNothing) {
  // A folder at the backup's name.
  const std::string target = Write("rep.bin", "old rep");
  const FileIdentity loaded = fs_.Identify(target);
  ASSERT_EQ(::mkdir(P("rep.bak").c_str(), 0755), 0);
  BackupFailure failure;
  EXPECT_FALSE(Save(target, P("rep.bak"), &loaded, &loaded, &failure));
  EXPECT_EQ(failure.problem, BackupProblem::FolderAtName);
  EXPECT_EQ(Read(target), "old rep");
  EXPECT_TRUE(Save(target, {}, &loaded, &loaded, &failure));
  EXPECT_EQ(failure.problem, BackupProblem::None);
  EXPECT_EQ(Read(target), "the new contents");

  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  // The user's own file in a folder the user may not write: no backup can be
  // made; without one it is saved in place, and the old content kept in the
  // working copy's folder meanwhile is gone afterwards.
  TempDir work, locked;
  ASSERT_EQ(::chown(work.Path().c_str(), kHelper, kHelper), 0);
  const std::string from = work.Write("work.XBTM", "helper's edit");
  ASSERT_EQ(::chown(from.c_str(), kHelper, kHelper), 0);
  ASSERT_EQ(::chmod(locked.Path().c_str(), 0755), 0);
  const std::string data = locked.Write("data.bin", "helper's old data");
  ASSERT_EQ(::chown(data.c_str(), kHelper, kHelper), 0);
  EXPECT_EQ(HelperSave(from, data, locked.File("data.bak")),
            static_cast<int>(BackupProblem::FolderNotWritable));
  EXPECT_EQ(Read(data), "helper's old data");
  EXPECT_EQ(HelperSave(from, data, {}), 10);
  EXPECT_EQ(Read(data), "helper's edit");
  EXPECT_EQ(testing::FolderNames(locked.Path()), std::vector<std::string>{"data.bin"});
  const std::string folder = "bytemoor-" + std::to_string(kHelper);
  EXPECT_EQ(testing::FolderNames(work.Path()), (std::vector<std::string>{folder, "work.XBTM"}));
  EXPECT_TRUE(testing::FolderNames(work.File(folder)).empty());

  // A sticky shared folder where another user holds the backup's name.
  ASSERT_EQ(::chmod(locked.Path().c_str(), 01777), 0);
  const std::string planted = locked.Write("data.bak", "the neighbour's");
  ASSERT_EQ(::chown(planted.c_str(), kNeighbour, kNeighbour), 0);
  EXPECT_EQ(HelperSave(from, data, planted), static_cast<int>(BackupProblem::NameTaken));
  EXPECT_EQ(Read(planted), "the neighbour's");
  EXPECT_EQ(HelperSave(from, data, {}), 10);
}

}  // namespace
}  // namespace bm
