// The private folder of the working copies, attacked the ways another user of
// the temporary directory could, and the background sync of a stream.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/posix/posix_files.h"
#include "platform/posix/posix_sync.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::TempDir;

TEST(WorkFolder, MadePrivateOnceAndRefusedWhenPlantedLinkedForeignOrOpen) {
  TempDir tmp;
  PosixFileSystem files(tmp.Path());
  const std::string folder = testing::PrivateFolder(tmp.Path());
  std::string problem = "x";
  EXPECT_EQ(files.WorkDirectory(problem), folder + "/");
  EXPECT_EQ(problem, "");
  struct stat st {};
  ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  files.WorkDirectory(problem);  // found again as it is
  EXPECT_EQ(problem, "");

  // Opened up to others: refused, not repaired.
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  files.WorkDirectory(problem);
  EXPECT_EQ(problem, "other users may use the folder (mode 0755)");
  ASSERT_EQ(::rmdir(folder.c_str()), 0);

  // A link to a folder of the attacker's, and a plain file at the name.
  TempDir theirs;
  ASSERT_EQ(::symlink(theirs.Path().c_str(), folder.c_str()), 0);
  files.WorkDirectory(problem);
  EXPECT_EQ(problem, "a symbolic link, not a folder");
  ASSERT_EQ(::unlink(folder.c_str()), 0);
  tmp.Write("bytemoor-" + std::to_string(::geteuid()), "planted");
  files.WorkDirectory(problem);
  EXPECT_EQ(problem, "not a folder");
  ASSERT_EQ(::unlink(folder.c_str()), 0);

  if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant another user's folder";
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  ASSERT_EQ(::chown(folder.c_str(), 4444, 4444), 0);
  files.WorkDirectory(problem);
  EXPECT_EQ(problem, "the folder belongs to another user");
}

TEST(DeferredSync, ChangesAreSyncedInTheBackgroundOnceAndTheWorkerEndsCleanly) {
  TempDir tmp;
  const std::string path = tmp.Write("work", "data");
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  {
    posix::DeferredSync sync(fd, tmp.Path());
    ASSERT_TRUE(sync.Valid());
    EXPECT_EQ(sync.Rounds(), 0);  // nothing changed: no worker, no sync
    for (int i = 0; i < 5; ++i) sync.Changed();
    // Several changes close together make one round; wait generously.
    for (int i = 0; i < 1000 && sync.Rounds() == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(sync.Rounds(), 1);
    std::this_thread::sleep_for(posix::DeferredSync::kLongest + std::chrono::milliseconds(200));
    EXPECT_EQ(sync.Rounds(), 1) << "no change, no further sync";
    EXPECT_TRUE(sync.SyncNow());
    sync.Changed();  // pending when it goes: the destructor must not wait for it
  }
  // The duplicate is closed with it; the original still works.
  EXPECT_EQ(::write(fd, "x", 1), 1);
  ::close(fd);
}

}  // namespace
}  // namespace bm
