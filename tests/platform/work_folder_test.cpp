// The private folder of the working copies, attacked the ways another user of
// the temporary directory could, and the background sync of a stream.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <thread>

#include <gtest/gtest.h>

#include "platform/posix/posix_files.h"
#include "platform/posix/posix_sync.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::TempDir;

// Points $XDG_CACHE_HOME at a folder of the test while it lives.
class CacheHome {
 public:
  explicit CacheHome(const std::string& dir) {
    if (const char* old = std::getenv("XDG_CACHE_HOME")) old_ = old;
    ::setenv("XDG_CACHE_HOME", dir.c_str(), 1);
  }
  ~CacheHome() {
    if (old_) ::setenv("XDG_CACHE_HOME", old_->c_str(), 1);
    else ::unsetenv("XDG_CACHE_HOME");
  }

 private:
  std::optional<std::string> old_;
};

TEST(WorkFolder, AFolderAnotherUserHoldsGivesWayToAPrivateOneInTheCache) {
  TempDir tmp, theirs, cache;
  CacheHome home(cache.Path());
  const std::string folder = testing::PrivateFolder(tmp.Path());
  const std::string own = cache.Path() + "/bytemoor";
  std::string problem = "x";
  {
    PosixFileSystem files(tmp.Path());
    EXPECT_EQ(files.WorkDirectory(problem), folder + "/");
    EXPECT_EQ(problem, "");
    EXPECT_FALSE(files.TakeWorkDirectoryNotice());
    struct stat st {};
    ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
  }

  // Each kind of planted name: the cache folder is used, made 0700, the
  // user is told once, and nothing is made in or through the planted name.
  auto plantedGivesWay = [&](const std::function<void()>& plant) {
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(own);
    plant();
    PosixFileSystem files(tmp.Path());
    EXPECT_EQ(files.WorkDirectory(problem), own + "/");
    EXPECT_EQ(problem, "");
    struct stat st {};
    EXPECT_EQ(::lstat(own.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    const std::optional<WorkDirectoryNotice> notice = files.TakeWorkDirectoryNotice();
    EXPECT_TRUE(notice && notice->refused == folder && notice->used == own);
    files.WorkDirectory(problem);
    EXPECT_FALSE(files.TakeWorkDirectoryNotice()) << "told once";
    // Work left in the usual folder is not searched there any more.
    EXPECT_EQ(files.RecoveryDirectories(), std::vector<std::string>{own + "/"});
    EXPECT_TRUE(testing::FolderNames(theirs.Path()).empty());
  };
  plantedGivesWay([&] { ::mkdir(folder.c_str(), 0777); });
  plantedGivesWay([&] { ::symlink(theirs.Path().c_str(), folder.c_str()); });
  plantedGivesWay([&] { tmp.Write("bytemoor-" + std::to_string(::geteuid()), "x"); });
  if (::geteuid() == 0) {
    plantedGivesWay([&] {
      ::mkdir(folder.c_str(), 0700);
      (void)!::chown(folder.c_str(), 4444, 4444);
    });
  }

  // Once the usual folder is ours again, both places are searched.
  std::filesystem::remove_all(folder);
  {
    PosixFileSystem files(tmp.Path());
    EXPECT_EQ(files.RecoveryDirectories(), (std::vector<std::string>{folder + "/", own + "/"}));
  }

  // When the cache folder is planted too, loading fails naming both.
  std::filesystem::remove_all(folder);
  std::filesystem::remove_all(own);
  ::mkdir(folder.c_str(), 0755);
  ::symlink(theirs.Path().c_str(), own.c_str());
  PosixFileSystem files(tmp.Path());
  EXPECT_EQ(files.WorkDirectory(problem), folder + "/");
  EXPECT_EQ(problem, "other users may use the folder (mode 0755); " + own + ": a symbolic link, not a folder");
  EXPECT_TRUE(files.RecoveryDirectories().empty());
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant another user's folder";
}

TEST(DeferredSync, ChangesAreSyncedInTheBackgroundAndTheWorkerEndsCleanly) {
  TempDir tmp;
  const int fd = ::open(tmp.Write("work", "data").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  {
    posix::DeferredSync sync(fd, tmp.Path());
    for (int i = 0; i < 5; ++i) sync.Changed();
    for (int i = 0; i < 1000 && sync.Rounds() == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(sync.Rounds(), 1) << "changes close together make one round";
    sync.Changed();  // still pending when it goes: joined without waiting
  }
  EXPECT_EQ(::write(fd, "x", 1), 1);  // only the duplicate was closed
  ::close(fd);
}

}  // namespace
}  // namespace bm
