// Why a load failed, when the temporary folder is at fault.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"
#include "support/failing_files.h"

namespace bm {
namespace {

struct LoadFiles {
  testing::TempDir temp;
  testing::FailingFileSystem files{temp.Path()};
};

class LoadErrorsTest : public ::testing::Test, protected LoadFiles, public testing::EditorFixture {
 protected:
  LoadErrorsTest() : EditorFixture(800, 600, files) {}
  std::string Folder() const { return testing::PrivateFolder(temp.Path()) + "/"; }
};

TEST_F(LoadErrorsTest, AFailureInTheTemporaryFolderIsNamedWithItsReason) {
  const auto data = testing::Pattern(100);
  Load(data);
  const std::string first = ed.FileName();
  EXPECT_EQ(ed.LoadError(), "");

  // A missing file is not the folder's fault.
  EXPECT_FALSE(ed.LoadFromFile(dir.File("missing")));
  EXPECT_EQ(ed.LoadError(), "");

  // The folder is gone: the copy cannot be made, the document stays.
  const std::string other = dir.Write("other.bin", testing::Pattern(50));
  std::filesystem::remove_all(temp.Path());
  EXPECT_FALSE(ed.LoadFromFile(other));
  EXPECT_EQ(ed.LoadError(), "Temporary folder " + Folder() + ": " + std::strerror(ENOENT));
  EXPECT_EQ(ed.FileName(), first);
  EXPECT_EQ(Data(), data);
}

TEST_F(LoadErrorsTest, ACreateRefusedForLackOfRoomSaysSo) {
  TByteEditor fresh(nullptr, files);
  fresh.Loaded();
  files.FailAt(1, testing::FailingFileSystem::kCreate);
  EXPECT_FALSE(fresh.LoadFromFile(dir.Write("a.bin", testing::Pattern(10))));
  EXPECT_EQ(fresh.LoadError(), "Temporary folder " + Folder() + ": " + std::strerror(ENOSPC));
  EXPECT_EQ(fresh.DataSize(), 0);
}

}  // namespace
}  // namespace bm
