// The watch on an open file: writes, cuts, renames and removals by others are seen once each.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/file_watch.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

TEST(FileWatch, ReportsEachChangeOnceAndNothingElse) {
  testing::TempDir dir;
  const std::string path = dir.Write("watched.bin", std::string(100, 'a'));
  std::unique_ptr<FileWatch> watch = WatchFile(path);
  ASSERT_NE(watch, nullptr);
  EXPECT_GE(watch->Descriptor(), 0);
  EXPECT_FALSE(watch->Changed());

  // Reading is no change.
  EXPECT_EQ(testing::ReadAll(path).size(), 100u);
  EXPECT_FALSE(watch->Changed());

  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, "b", 1, 50), 1);
  ::close(fd);
  EXPECT_TRUE(watch->Changed());
  EXPECT_FALSE(watch->Changed());  // reported once

  ASSERT_EQ(::truncate(path.c_str(), 10), 0);
  EXPECT_TRUE(watch->Changed());

  // A file beside it changing says nothing about this one.
  dir.Write("other.bin", std::string("x"));
  EXPECT_FALSE(watch->Changed());

  ASSERT_EQ(std::rename(path.c_str(), dir.File("moved.bin").c_str()), 0);
  EXPECT_TRUE(watch->Changed());
  ASSERT_EQ(::unlink(dir.File("moved.bin").c_str()), 0);
  EXPECT_TRUE(watch->Changed());
}

TEST(FileWatch, NoWatchOnAMissingFile) {
  testing::TempDir dir;
  EXPECT_EQ(WatchFile(dir.File("absent.bin")), nullptr);
}

}  // namespace
}  // namespace bm
