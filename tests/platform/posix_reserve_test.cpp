// PosixFileStream::Reserve on the real file system.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include <gtest/gtest.h>

#include "platform/posix/posix_files.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

TEST(PosixReserve, GrowsWithAllocatedBlocksKeepsTheDataAndNeverShrinks) {
  testing::TempDir dir;
  PosixFileSystem fs(dir.Path());
  auto stream = fs.CreateExclusive(dir.File("w"));
  ASSERT_NE(stream, nullptr);
  stream->Write("abcdef", 6);

  constexpr int64_t kSize = 1 << 20;
  stream->Reserve(3, kSize - 3);
  EXPECT_EQ(stream->Size(), kSize);
  struct stat st;
  ASSERT_EQ(::stat(dir.File("w").c_str(), &st), 0);
  EXPECT_GE(static_cast<int64_t>(st.st_blocks) * 512, kSize);  // allocated, not a hole
  char head[6];
  stream->Seek(0);
  ASSERT_EQ(stream->Read(head, 6), 6);
  EXPECT_EQ(std::string(head, 6), "abcdef");

  // A range inside the file changes nothing.
  stream->Reserve(0, 10);
  EXPECT_EQ(stream->Size(), kSize);
}

TEST(PosixReserve, ARefusedReservationLeavesTheSizeAndGivesTheReason) {
  testing::TempDir dir;
  PosixFileSystem fs(dir.File(""));
  auto stream = fs.CreateExclusive(dir.File("w"));
  ASSERT_NE(stream, nullptr);
  stream->Write("0123456789", 10);

  struct rlimit old;
  ::getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  auto* const handler = std::signal(SIGXFSZ, SIG_IGN);
  int code = 0;
  std::string what;
  try {
    stream->Reserve(0, 1 << 20);
  } catch (const FileError& e) {
    code = e.Code();
    what = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, handler);

  EXPECT_EQ(code, EFBIG) << what;
  EXPECT_NE(what.find(dir.File("w")), std::string::npos) << what;
  EXPECT_EQ(stream->Size(), 10);
}

}  // namespace
}  // namespace bm
