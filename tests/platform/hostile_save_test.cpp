// Saves against a hostile neighbour: the file swapped for a link, backups that
// must not link other files or keep set-id bits, a group the user is not in,
// and backups that cannot be made.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "platform/posix/posix_files.h"
#include "platform/posix/posix_ownership.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::TempDir;

constexpr uid_t kHelper = 4242;   // the editing user of the two-user cases
constexpr gid_t kForeign = 4343;  // a group nobody is in; also the neighbour

std::string Read(const std::string& path) {
  const auto bytes = testing::ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}
struct stat LStat(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

// Saves from onto to as the helper user in a child: 10 when saved, else the
// backup problem. Its working copies' folder is beside from.
int HelperSave(const std::string& from, const std::string& to, const std::string& backup) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kHelper, kHelper, kHelper) != 0 ||
        ::setresuid(kHelper, kHelper, kHelper) != 0)
      ::_exit(99);
    PosixFileSystem files(from.substr(0, from.rfind('/')));
    BackupFailure failure;
    SaveCopyOptions o;
    o.backup = backup;
    o.backupFailure = &failure;
    ::_exit(files.SaveCopy(from, to, o, nullptr) ? 10 : static_cast<int>(failure.problem));
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class HostileSaveTest : public ::testing::Test {
 protected:
  std::string P(const std::string& name) const { return dir_.File(name); }
  bool Save(const std::string& to, const std::string& backup, const FileIdentity& loaded,
            const FileIdentity& expected, BackupFailure* failure = nullptr) {
    SaveCopyOptions o;
    o.backup = backup;
    o.expected = &expected;
    o.loaded = &loaded;
    o.backupFailure = failure;
    return fs_.SaveCopy(source_, to, o, nullptr);
  }
  TempDir dir_, home_;
  PosixFileSystem fs_{dir_.Path()};
  std::string source_ = dir_.Write("work.XBTM", "new");
};

TEST_F(HostileSaveTest, ALinkNotThereAtTheLoadIsReplacedAndBecomesTheBackup) {
  const std::string notes = home_.Write("notes.txt", "private");
  const std::string target = dir_.Write("g1.bin", "old");
  const FileIdentity loaded = fs_.Identify(target);
  std::filesystem::remove(target);
  ASSERT_EQ(::symlink(notes.c_str(), target.c_str()), 0);
  ASSERT_TRUE(Save(target, P("g1.bak"), loaded, fs_.Identify(target)));
  EXPECT_EQ(Read(notes), "private");
  EXPECT_EQ(LStat(notes).st_nlink, 1u);
  EXPECT_TRUE(S_ISLNK(LStat(P("g1.bak")).st_mode));
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(LStat(target).st_mode & 07777, 0600u);

  // A link the document was opened through is followed while it leads to
  // the same file; retargeted, it is replaced.
  ASSERT_EQ(::symlink(notes.c_str(), P("via").c_str()), 0);
  const FileIdentity via = fs_.Identify(P("via"));
  ASSERT_TRUE(Save(P("via"), {}, via, via));
  EXPECT_EQ(Read(notes), "new");
  const std::string other = home_.Write("other", "other");
  const FileIdentity saved = fs_.Identify(P("via"));
  std::filesystem::remove(P("via"));
  ASSERT_EQ(::symlink(other.c_str(), P("via").c_str()), 0);
  ASSERT_TRUE(Save(P("via"), {}, saved, fs_.Identify(P("via"))));
  EXPECT_EQ(Read(other), "other");
  EXPECT_TRUE(S_ISREG(LStat(P("via")).st_mode));
}

TEST_F(HostileSaveTest, OnlyTheLoadedFileWithoutSetIdBitsIsKeptByASecondLink) {
  const std::string tool = dir_.Write("tool", "v1");
  for (const bool setId : {false, true}) {
    ASSERT_EQ(::chmod(tool.c_str(), setId ? 06755 : 0755), 0);
    const FileIdentity loaded = fs_.Identify(tool);
    const ino_t old = LStat(tool).st_ino;
    ASSERT_TRUE(Save(tool, P("tool.bak"), loaded, loaded));
    EXPECT_EQ(LStat(P("tool.bak")).st_ino == old, !setId);
    EXPECT_EQ(LStat(P("tool.bak")).st_mode & 07777, 0755u);
  }
  // Replaced by another program since the load, and accepted: copied.
  const FileIdentity loaded = fs_.Identify(tool);
  ASSERT_EQ(::rename(dir_.Write("x", "v2").c_str(), tool.c_str()), 0);
  const ino_t replaced = LStat(tool).st_ino;
  ASSERT_TRUE(Save(tool, P("tool.bak"), loaded, fs_.Identify(tool)));
  EXPECT_NE(LStat(P("tool.bak")).st_ino, replaced);
  EXPECT_EQ(Read(P("tool.bak")), "v2");
}

TEST_F(HostileSaveTest, AGroupTheUserIsNotInIsKeptOrItsReadersDropped) {
  struct stat file {};
  file.st_uid = 1000;
  file.st_gid = 50;
  EXPECT_TRUE(posix::CanKeepOwnerAndGroup(file, {0, 0, {}}));
  EXPECT_TRUE(posix::CanKeepOwnerAndGroup(file, {1000, 100, {7, 50}}));
  EXPECT_FALSE(posix::CanKeepOwnerAndGroup(file, {1000, 100, {7}}));
  EXPECT_FALSE(posix::CanKeepOwnerAndGroup(file, {1001, 50, {50}}));

  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  ASSERT_EQ(::chown(dir_.Path().c_str(), kHelper, kHelper), 0);
  ASSERT_EQ(::chown(source_.c_str(), kHelper, kHelper), 0);
  const std::string secret = dir_.Write("secret", "old");
  ASSERT_EQ(::chown(secret.c_str(), kHelper, kForeign), 0);
  ASSERT_EQ(::chmod(secret.c_str(), 0640), 0);
  ASSERT_EQ(HelperSave(source_, secret, P("secret.bak")), 10);  // in place
  EXPECT_EQ(LStat(secret).st_gid, kForeign);
  EXPECT_EQ(LStat(secret).st_mode & 07777, 0640u);
  EXPECT_EQ(LStat(P("secret.bak")).st_mode & 070, 0u);
  ASSERT_EQ(::chmod(secret.c_str(), 0444), 0);  // not writable: by rename
  ASSERT_EQ(HelperSave(source_, secret, {}), 10);
  EXPECT_EQ(LStat(secret).st_mode & 077, 0u);
}

TEST_F(HostileSaveTest, ABackupThatCannotBeMadeSaysWhyAndWritesNothing) {
  const std::string rep = dir_.Write("rep.bin", "old");
  const FileIdentity loaded = fs_.Identify(rep);
  ASSERT_EQ(::mkdir(P("rep.bak").c_str(), 0755), 0);
  BackupFailure failure;
  EXPECT_FALSE(Save(rep, P("rep.bak"), loaded, loaded, &failure));
  EXPECT_EQ(failure.problem, BackupProblem::FolderAtName);
  EXPECT_EQ(Read(rep), "old");

  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  // A folder the user may not write: in place without a backup, the old
  // content kept in the working copies' folder meanwhile.
  TempDir work, locked;
  ASSERT_EQ(::chown(work.Path().c_str(), kHelper, kHelper), 0);
  const std::string from = work.Write("w.XBTM", "edit");
  const std::string data = locked.Write("data", "old");
  ASSERT_EQ(::chmod(locked.Path().c_str(), 0755), 0);
  ASSERT_EQ(::chown(data.c_str(), kHelper, kHelper), 0);
  EXPECT_EQ(HelperSave(from, data, locked.File("data.bak")), static_cast<int>(BackupProblem::FolderNotWritable));
  EXPECT_EQ(Read(data), "old");
  EXPECT_EQ(HelperSave(from, data, {}), 10);
  EXPECT_EQ(Read(data), "edit");
  const std::string folder = "bytemoor-" + std::to_string(kHelper);
  EXPECT_EQ(testing::FolderNames(work.Path()), (std::vector<std::string>{folder, "w.XBTM"}));
  EXPECT_TRUE(testing::FolderNames(work.File(folder)).empty());

  // A sticky folder where the neighbour holds the backup's name.
  ASSERT_EQ(::chmod(locked.Path().c_str(), 01777), 0);
  ASSERT_EQ(::chown(locked.Write("data.bak", "theirs").c_str(), kForeign, kForeign), 0);
  EXPECT_EQ(HelperSave(from, data, locked.File("data.bak")), static_cast<int>(BackupProblem::NameTaken));
  EXPECT_EQ(Read(locked.File("data.bak")), "theirs");
}

}  // namespace
}  // namespace bm
