// The private folder of the working copies, attacked the ways another user of
// the temporary directory could, and the background sync of a stream.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/posix/posix_files.h"
#include "platform/posix/posix_sync.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::TempDir;

TEST(WorkFolder, MadePrivateAndRefusedWhenPlantedLinkedForeignOrOpened) {
  TempDir tmp, theirs;
  PosixFileSystem files(tmp.Path());
  const std::string folder = testing::PrivateFolder(tmp.Path());
  std::string problem = "x";
  EXPECT_EQ(files.WorkDirectory(problem), folder + "/");
  EXPECT_EQ(problem, "");
  struct stat st {};
  ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);

  auto problemWith = [&](const std::function<void()>& plant) {
    std::filesystem::remove_all(folder);
    plant();
    files.WorkDirectory(problem);
    return problem;
  };
  EXPECT_EQ(problemWith([&] { ::mkdir(folder.c_str(), 0755); }), "other users may use the folder (mode 0755)");
  EXPECT_EQ(problemWith([&] { ::symlink(theirs.Path().c_str(), folder.c_str()); }),
            "a symbolic link, not a folder");
  EXPECT_EQ(problemWith([&] { tmp.Write("bytemoor-" + std::to_string(::geteuid()), "x"); }), "not a folder");
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant another user's folder";
  EXPECT_EQ(problemWith([&] {
              ::mkdir(folder.c_str(), 0700);
              (void)!::chown(folder.c_str(), 4444, 4444);
            }),
            "the folder belongs to another user");
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
