// Loading a file that another user swaps while it is opened: the one open
// of the name decides what is copied, never more than the size found, and a
// FIFO never blocks.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "platform/posix/posix_files.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::TempDir;

TEST(PosixLoad, TheOpenedFileIsCopiedWhateverTheNameLeadsToLater) {
  TempDir dir;
  PosixFileSystem files(dir.Path());
  const auto data = testing::Pattern(5000);
  const std::string name = dir.Write("doc.bin", data);
  std::unique_ptr<LoadSource> source = files.OpenForLoad(name);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->Size(), 5000);
  EXPECT_FALSE(source->ReadOnly());

  // Swapped for a link to an endless device, then grown: the copy reads the
  // opened file, and no more than the size found at the open.
  ASSERT_EQ(::rename(name.c_str(), dir.File("moved").c_str()), 0);
  ASSERT_EQ(::symlink("/dev/zero", name.c_str()), 0);
  dir.Write("extra", "x");
  {
    const int fd = ::open(dir.File("moved").c_str(), O_WRONLY | O_APPEND);
    ASSERT_EQ(::write(fd, "more bytes", 10), 10);
    ::close(fd);
  }
  bool sourceFault = true;
  ASSERT_TRUE(source->CopyOnto(dir.File("work.XBTM"), sourceFault));
  EXPECT_EQ(testing::ReadAll(dir.File("work.XBTM")), data);

  // The endless device and a FIFO are refused at once, without blocking.
  EXPECT_FALSE(files.OpenForLoad(name));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(files.OpenForLoad(dir.File("fifo")));
  EXPECT_FALSE(files.OpenForLoad(dir.Path()));

  // A file read-only by its mode, and a pseudo file whose read fails: the
  // failure is the file's, not the working copies' folder's.
  ASSERT_EQ(::chmod(dir.File("moved").c_str(), 0444), 0);
  source = files.OpenForLoad(dir.File("moved"));
  ASSERT_TRUE(source);
  EXPECT_TRUE(source->ReadOnly());
  source = files.OpenForLoad("/proc/self/mem");
  ASSERT_TRUE(source);
  EXPECT_FALSE(source->CopyOnto(dir.File("mem.XBTM"), sourceFault));
  EXPECT_TRUE(sourceFault);
  EXPECT_EQ(errno, EIO);
}

}  // namespace
}  // namespace bm
