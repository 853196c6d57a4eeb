// Exchanging two files: the kernel's atomic exchange and the renames it
// falls back on, with open streams following their files.
#include <gtest/gtest.h>

#include "platform/posix/posix_files.h"
#include "support/temp_dir.h"

namespace bm::testing {
namespace {

TEST(ExchangeFilesTest, NamesChangePlacesAndStreamsFollowTheirFiles) {
  TempDir dir;
  PosixFileSystem files(dir.Path());
  const std::string a = dir.Write("a", std::string("first")), b = dir.Write("b", std::string("second!"));
  auto stream = files.OpenReadWrite(a);
  for (bool renames : {false, true}) {
    SCOPED_TRACE(renames ? "renames" : "kernel");
    const bool ok = renames ? files.FileSystem::ExchangeFiles(a, b) : files.ExchangeFiles(a, b);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ReadAll(renames ? a : b), (std::vector<unsigned char>{'f', 'i', 'r', 's', 't'}));
    EXPECT_EQ(ReadAll(renames ? b : a).size(), 7u);
    EXPECT_EQ(stream->Size(), 5) << "the stream stays on its file";
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"a", "b"})) << "no third name left";
  }
  // A missing name: nothing changes.
  EXPECT_FALSE(files.ExchangeFiles(a, dir.File("none")));
  EXPECT_FALSE(files.FileSystem::ExchangeFiles(a, dir.File("none")));
  EXPECT_EQ(ReadAll(a).size(), 5u);
  EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace bm::testing
