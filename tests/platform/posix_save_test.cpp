// The save onto the user's file against the real file system: what is planted
// at the backup name or the target, the backup's permissions, another
// program's change, long names, extended attributes, leftovers of saves that
// did not finish, and saves killed part-way.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/posix/posix_files.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::TempDir;

std::string Read(const std::string& path) {
  const std::vector<unsigned char> bytes = testing::ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string PatternText(size_t size, unsigned seed) {
  const std::vector<unsigned char> bytes = testing::Pattern(size, seed);
  return std::string(bytes.begin(), bytes.end());
}

struct stat LStat(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

std::vector<std::string> Entries(const std::string& dir) { return testing::FolderNames(dir); }

// Runs body in a child process and reports its exit code, or -1 when it did
// not end within the time given (it is killed then).
int InChild(std::chrono::milliseconds limit, const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  const auto end = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

// A POSIX access list in the kernel's xattr form: owner rw, the given user
// r, group and mask r, others nothing.
std::string AccessList(uint32_t user) {
  std::string acl;
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) acl.push_back(static_cast<char>(v >> (8 * i)));
  };
  auto entry = [&](uint16_t tag, uint16_t perm, uint32_t id) {
    acl.push_back(static_cast<char>(tag)), acl.push_back(static_cast<char>(tag >> 8));
    acl.push_back(static_cast<char>(perm)), acl.push_back(static_cast<char>(perm >> 8));
    put32(id);
  };
  put32(2);  // version
  entry(0x01, 6, 0xFFFFFFFF);  // owner
  entry(0x02, 4, user);
  entry(0x04, 4, 0xFFFFFFFF);  // group
  entry(0x10, 4, 0xFFFFFFFF);  // mask
  entry(0x20, 0, 0xFFFFFFFF);  // others
  return acl;
}

class PosixSaveTest : public ::testing::Test {
 protected:
  std::string P(const std::string& name) const { return dir_.File(name); }
  std::string Write(const std::string& name, const std::string& data, mode_t mode = 0644) {
    const std::string path = dir_.Write(name, data);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
  }
  bool Save(const std::string& to, const std::string& backup = {},
            const FileIdentity* expected = nullptr, FileIdentity* saved = nullptr) {
    SaveCopyOptions options;
    options.backup = backup;
    options.expected = expected;
    return fs_.SaveCopy(source_, to, options, saved);
  }
  // Gives the target a second name, so the save writes it in place.
  void SecondName(const std::string& path) {
    ASSERT_EQ(::link(path.c_str(), (path + ".second").c_str()), 0);
  }

  void KillSavesAtRandomMoments(bool inPlace);

  TempDir dir_;
  TempDir temp_;
  PosixFileSystem fs_{temp_.Path()};
  std::string source_ = dir_.Write("work.XBTM", "the new contents");
};

// Both ways of saving, by rename and in place, must treat what is planted
// at the backup name alike: replaced, never written through.
TEST_F(PosixSaveTest, WhatIsPlantedAtTheBackupNameIsReplacedNotFollowed) {
  for (bool inPlace : {false, true}) {
    SCOPED_TRACE(inPlace ? "in place" : "by rename");
    TempDir other;
    const std::string victim = other.Write("victim", "the victim's file");
    const std::string target = Write("report.bin", "old report");
    if (inPlace) SecondName(target);
    const std::string backup = P("report.bak");

    // A link to an existing file and a link to a name that does not exist yet.
    ASSERT_EQ(::symlink(victim.c_str(), backup.c_str()), 0);
    ASSERT_TRUE(Save(target, backup));
    EXPECT_EQ(Read(victim), "the victim's file");
    EXPECT_TRUE(S_ISREG(LStat(backup).st_mode));
    EXPECT_EQ(Read(backup), "old report");
    EXPECT_EQ(Read(target), "the new contents");

    const std::string later = other.File("created-by-the-link");
    std::filesystem::remove(backup);
    ASSERT_EQ(::symlink(later.c_str(), backup.c_str()), 0);
    Write("report.bin", "second old");
    ASSERT_TRUE(Save(target, backup));
    EXPECT_FALSE(std::filesystem::exists(later));
    EXPECT_EQ(Read(backup), "second old");

    // A FIFO would block an open for writing; it is replaced as well.
    std::filesystem::remove(backup);
    ASSERT_EQ(::mkfifo(backup.c_str(), 0666), 0);
    Write("report.bin", "third old");
    EXPECT_EQ(InChild(std::chrono::seconds(10), [&] { return Save(target, backup) ? 0 : 1; }), 0);
    EXPECT_EQ(Read(backup), "third old");

    // A folder cannot be replaced: the save fails and writes nothing.
    std::filesystem::remove(backup);
    ASSERT_EQ(::mkdir(backup.c_str(), 0755), 0);
    Write("report.bin", "fourth old");
    EXPECT_FALSE(Save(target, backup));
    EXPECT_EQ(Read(target), "fourth old");
    EXPECT_TRUE(std::filesystem::is_empty(backup));
    std::filesystem::remove(backup);
    std::filesystem::remove(target);
    std::filesystem::remove(target + ".second");
    EXPECT_EQ(Entries(dir_.Path()), std::vector<std::string>{"work.XBTM"});
  }
}

// Another local user plants a file and a backup link to a file only the
// victim may write in a shared sticky folder, or owns the folder the file is
// in. Needs root to play both users.
TEST_F(PosixSaveTest, OtherUsersFilesInFoldersTheyControlAreSavedSafely) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
  const uid_t attacker = 65534, victim = 65533;
  const std::string shared = P("shared"), home = P("home");
  ASSERT_EQ(::mkdir(shared.c_str(), 01777), 0);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  ASSERT_EQ(::mkdir(home.c_str(), 0700), 0);
  ASSERT_EQ(::chown(home.c_str(), victim, victim), 0);
  ASSERT_EQ(::chmod(dir_.Path().c_str(), 0755), 0);
  const std::string script = home + "/startup.sh";
  Write("home/startup.sh", "echo safe\n");
  ASSERT_EQ(::chown(script.c_str(), victim, victim), 0);
  const std::string work = Write("work.XBTM", "the victim's edit", 0644);

  auto as = [](uid_t uid, const std::function<bool()>& body) {
    return InChild(std::chrono::seconds(10), [&] {
      if (::setgid(uid) != 0 || ::setuid(uid) != 0) return 2;
      return body() ? 0 : 1;
    });
  };
  ASSERT_EQ(as(attacker, [&] {
              const int fd = ::open((shared + "/report.bin").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
              const bool ok = fd >= 0 && ::write(fd, "planted", 7) == 7 && ::fchmod(fd, 0666) == 0;
              if (fd >= 0) ::close(fd);
              return ok && ::symlink(script.c_str(), (shared + "/report.bak").c_str()) == 0;
            }),
            0);
  // The victim saves with a backup: the sticky folder forbids replacing the
  // other user's link, so the save fails; nothing goes through the link.
  PosixFileSystem files(temp_.Path());
  EXPECT_EQ(as(victim, [&] {
              SaveCopyOptions options;
              options.backup = shared + "/report.bak";
              return files.SaveCopy(work, shared + "/report.bin", options, nullptr);
            }),
            1);
  EXPECT_EQ(Read(script), "echo safe\n");
  EXPECT_EQ(Read(shared + "/report.bin"), "planted");
  // Without the backup the in-place save goes ahead (the file is the other
  // user's and writable by all), leaving no temporary behind.
  EXPECT_EQ(as(victim, [&] { return files.SaveCopy(work, shared + "/report.bin"); }), 0);
  EXPECT_EQ(Read(shared + "/report.bin"), "the victim's edit");
  EXPECT_EQ(Read(script), "echo safe\n");
  EXPECT_EQ(Entries(shared), (std::vector<std::string>{"report.bak", "report.bin"}));

  // In a folder the victim may not write, the old content is kept in the
  // working copies' folder while the file is overwritten, and removed afterwards.
  const std::string locked = P("locked");
  ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
  Write("locked/data.bin", "other user's data", 0666);
  ASSERT_EQ(::chown(locked.c_str(), attacker, attacker), 0);
  PosixFileSystem homeTemp(home);
  EXPECT_EQ(as(victim, [&] { return homeTemp.SaveCopy(work, locked + "/data.bin"); }), 0);
  EXPECT_EQ(Read(locked + "/data.bin"), "the victim's edit");
  EXPECT_EQ(Entries(locked), std::vector<std::string>{"data.bin"});
  const std::string privateFolder = "bytemoor-" + std::to_string(victim);
  EXPECT_EQ(Entries(home), (std::vector<std::string>{privateFolder, "startup.sh"}));
  EXPECT_TRUE(Entries(home + "/" + privateFolder).empty());
  // With a backup, which cannot be made there, nothing is written.
  Write("locked/data.bin", "other user's data", 0666);
  EXPECT_EQ(as(victim, [&] {
              SaveCopyOptions options;
              options.backup = locked + "/data.bak";
              return homeTemp.SaveCopy(work, locked + "/data.bin", options, nullptr);
            }),
            1);
  EXPECT_EQ(Read(locked + "/data.bin"), "other user's data");
  EXPECT_TRUE(Entries(home + "/" + privateFolder).empty());
}

TEST_F(PosixSaveTest, TheBackupIsNoMoreReadableThanTheFileItKeeps) {
  for (bool inPlace : {false, true}) {
    SCOPED_TRACE(inPlace ? "in place" : "by rename");
    const std::string target = Write("key.bin", "secret", 0600);
    if (inPlace) SecondName(target);
    ASSERT_EQ(::setxattr(target.c_str(), "user.origin", "kept", 4, 0), 0);
    // An access list that lets one more user read the file.
    const std::string acl = AccessList(65534);
    ASSERT_EQ(::setxattr(target.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
    ASSERT_TRUE(Save(target, P("key.bak")));
    char list[64] = {};
    EXPECT_EQ(::getxattr(target.c_str(), "system.posix_acl_access", list, sizeof list),
              static_cast<ssize_t>(acl.size()));
    EXPECT_EQ(std::string(list, acl.size()), acl);
    EXPECT_EQ(LStat(P("key.bak")).st_mode & 07777, 0640u);  // group bits show the list's mask
    EXPECT_EQ(LStat(target).st_mode & 07777, 0640u);
    EXPECT_EQ(Read(P("key.bak")), "secret");
    // The user.* attribute stays on the saved file and on the backup.
    for (const std::string& path : {target, P("key.bak")}) {
      char value[16] = {};
      EXPECT_EQ(::getxattr(path.c_str(), "user.origin", value, sizeof value), 4) << path;
      EXPECT_STREQ(value, "kept") << path;
    }
    std::filesystem::remove(target);
    std::filesystem::remove(target + ".second");
    std::filesystem::remove(P("key.bak"));
  }
  // A backup on another file system is a copy; it keeps the mode too.
  TempDir shm;  // under /tmp; the backup goes to /dev/shm where it exists
  if (std::filesystem::is_directory("/dev/shm")) {
    const std::string target = Write("key.bin", "secret", 0640);
    const std::string backup = "/dev/shm/bytemoor-save-test-" + std::to_string(::getpid()) + ".bak";
    ASSERT_TRUE(Save(target, backup));
    EXPECT_EQ(Read(backup), "secret");
    EXPECT_EQ(LStat(backup).st_mode & 07777, 0640u);
    EXPECT_NE(LStat(backup).st_dev, LStat(target).st_dev);
    std::filesystem::remove(backup);
  }
}

TEST_F(PosixSaveTest, ASaveExpectingTheLoadedFileWritesNothingWhenItChanged) {
  const std::string target = Write("doc.bin", "as loaded");
  FileIdentity loaded = fs_.Identify(target);
  ASSERT_TRUE(loaded.known);
  EXPECT_FALSE(loaded.link);

  // Another program rewrote it: same size, new modification time.
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  Write("doc.bin", "rewritten");
  EXPECT_FALSE(Save(target, P("doc.bak"), &loaded));
  EXPECT_EQ(Read(target), "rewritten");
  EXPECT_FALSE(std::filesystem::exists(P("doc.bak")));

  // Taking the file as it is now lets the save go over it; the identity
  // handed back is what the name leads to afterwards.
  FileIdentity now = fs_.Identify(target), saved;
  ASSERT_TRUE(Save(target, P("doc.bak"), &now, &saved));
  EXPECT_EQ(saved, fs_.Identify(target));
  EXPECT_EQ(Read(P("doc.bak")), "rewritten");

  // Swapped for a link to another file (a link where there was none).
  const std::string elsewhere = Write("private", "not to be overwritten", 0600);
  std::filesystem::remove(target);
  ASSERT_EQ(::symlink(elsewhere.c_str(), target.c_str()), 0);
  EXPECT_TRUE(fs_.Identify(target).link);
  EXPECT_FALSE(Save(target, P("doc.bak"), &saved));
  EXPECT_EQ(Read(elsewhere), "not to be overwritten");
  EXPECT_EQ(Read(P("doc.bak")), "rewritten");

  // Deleted since: nothing is created either.
  std::filesystem::remove(target);
  EXPECT_FALSE(Save(target, {}, &saved));
  EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(PosixSaveTest, TargetsThatAreNoRegularFilesAreRefusedWithoutOpeningThem) {
  const std::string fifo = P("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  // A reader waiting on the pipe would receive the data if the save opened it.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(InChild(std::chrono::seconds(10), [&] { return Save(fifo) ? 0 : 1; }), 1);
  char byte;
  EXPECT_LE(::read(reader, &byte, 1), 0);
  ::close(reader);
  // Without a reader, an open for writing would block for ever.
  EXPECT_EQ(InChild(std::chrono::seconds(10), [&] { return Save(fifo, P("pipe.bak")) ? 0 : 1; }), 1);
  EXPECT_FALSE(std::filesystem::exists(P("pipe.bak")));

  ASSERT_EQ(::mkdir(P("folder").c_str(), 0755), 0);
  EXPECT_FALSE(Save(P("folder")));
  EXPECT_FALSE(Save("/dev/null"));

  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string socketPath = P("socket");
  ASSERT_LT(socketPath.size(), sizeof addr.sun_path);
  std::strcpy(addr.sun_path, socketPath.c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_FALSE(Save(socketPath));
  ::close(sock);

  // A link to a FIFO is refused too.
  ASSERT_EQ(::symlink(fifo.c_str(), P("to-pipe").c_str()), 0);
  EXPECT_EQ(InChild(std::chrono::seconds(10), [&] { return Save(P("to-pipe")) ? 0 : 1; }), 1);
  EXPECT_EQ(Entries(dir_.Path()),
            (std::vector<std::string>{"folder", "pipe", "socket", "to-pipe", "work.XBTM"}));
}

TEST_F(PosixSaveTest, LongNamesSaveWithShortHiddenTemporaries) {
  const std::string name(246, 'n');
  const std::string target = Write(name + ".bin", "old");  // 250 bytes
  ASSERT_TRUE(Save(target, P(name + ".bak")));
  EXPECT_EQ(Read(target), "the new contents");
  EXPECT_EQ(Read(P(name + ".bak")), "old");
  // The same in place, where the old content is first copied aside.
  const std::string linked = P(name.substr(0, 200) + ".alias");
  ASSERT_EQ(::link(target.c_str(), linked.c_str()), 0);
  source_ = dir_.Write("work.XBTM", "third contents");
  ASSERT_TRUE(Save(target));
  EXPECT_EQ(Read(linked), "third contents");
  EXPECT_EQ(Entries(dir_.Path()),
            (std::vector<std::string>{name.substr(0, 200) + ".alias", name + ".bak", name + ".bin",
                                      "work.XBTM"}));
}

TEST_F(PosixSaveTest, DeadTemporariesBesideTheFileGoWithTheNextSave) {
  const std::string target = Write("data.bin", "old");
  const std::string stem = ".data.bin.bm-";
  Write(stem + "dead01", "left by a killed save");
  Write(stem + "Live02", "a save still running");
  Write(".other.bin.bm-dead03", "another file's");
  Write(stem + "toolong", "not a temporary name");
  const int live = ::open(P(stem + "Live02").c_str(), O_RDONLY);
  ASSERT_GE(live, 0);
  ASSERT_EQ(::flock(live, LOCK_EX), 0);

  ASSERT_TRUE(Save(target, P("data.bak")));
  EXPECT_EQ(Entries(dir_.Path()),
            (std::vector<std::string>{stem + "Live02", stem + "toolong", ".other.bin.bm-dead03",
                                      "data.bak", "data.bin", "work.XBTM"}));
  ::close(live);
}

// A save killed at a random moment leaves the target complete, old or new,
// and the backup complete (the previous backup or the old file). In place,
// where the target is written through its own inode, a target caught
// part-way is recoverable: a complete copy of the old file is on disk.
void PosixSaveTest::KillSavesAtRandomMoments(bool inPlace) {
  PosixFileSystem& fs = fs_;
  const TempDir& dir = dir_;
  const size_t size = 3 * 1024 * 1024;
  const std::string oldData = PatternText(size, 11), newData = PatternText(size - 4096, 12);
  const std::string previousBackup = "the previous backup";
  const std::string source = dir.Write("work.XBTM", newData);
  std::mt19937 random(inPlace ? 4 : 5);

  auto setUp = [&] {
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      if (e.path().filename() != "work.XBTM") std::filesystem::remove(e.path());
    dir.Write("doc.bin", oldData);
    dir.Write("doc.bak", previousBackup);
    if (inPlace) {
      ASSERT_EQ(::link(dir.File("doc.bin").c_str(), dir.File("doc.alias").c_str()), 0);
    }
  };
  auto save = [&](bool backup) {
    SaveCopyOptions options;
    if (backup) options.backup = dir.File("doc.bak");
    return fs.SaveCopy(source, dir.File("doc.bin"), options, nullptr);
  };

  // How long a whole save takes, to spread the kills over it.
  setUp();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(save(true));
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  std::uniform_int_distribution<int64_t> moment(0, took.count() + took.count() / 4);

  int cutShort = 0;
  for (int attempt = 0; attempt < 20; ++attempt) {
    SCOPED_TRACE("attempt " + std::to_string(attempt));
    const bool backup = attempt % 2 == 0;
    setUp();
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(save(backup) ? 0 : 1);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) ++cutShort;

    const std::string target = Read(dir.File("doc.bin"));
    const std::string kept = Read(dir.File("doc.bak"));
    EXPECT_TRUE(kept == previousBackup || (backup && kept == oldData)) << "partial backup";
    if (target == oldData || target == newData) continue;
    EXPECT_TRUE(inPlace) << "a save by rename left a partial target";
    // The complete old content is somewhere beside it or in the temporary folder.
    bool recoverable = backup && kept == oldData;
    for (const std::string& folder : {dir.Path(), temp_.Path()})
      for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename().string().rfind(".doc.bin.bm-", 0) == 0 && Read(e.path()) == oldData)
          recoverable = true;
    EXPECT_TRUE(recoverable) << "a partial target and no complete old copy";
  }
  EXPECT_GT(cutShort, 0) << "no save was cut short";
  // The next save clears what the killed ones left.
  dir.Write("doc.bin", oldData);
  ASSERT_TRUE(save(true));
  for (const std::string& folder : {dir.Path(), temp_.Path()})
    for (const auto& e : std::filesystem::directory_iterator(folder))
      EXPECT_NE(e.path().filename().string().rfind(".doc.bin.bm-", 0), 0u) << e.path();
}

TEST_F(PosixSaveTest, SavesKilledPartWayLeaveCompleteFiles) {
  {
    SCOPED_TRACE("by rename");
    KillSavesAtRandomMoments(false);
  }
  {
    SCOPED_TRACE("in place");
    KillSavesAtRandomMoments(true);
  }
}

}  // namespace
}  // namespace bm
