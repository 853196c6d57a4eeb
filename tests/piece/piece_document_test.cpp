// Opening a document on pieces: nothing copied, the private files made and removed, the save source.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "piece/piece_document.h"
#include "platform/posix/posix_files.h"
#include "support/temp_dir.h"

namespace bm::piece {
namespace {

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(d))
      if (e->d_name[0] != '.') names.insert(e->d_name);
    ::closedir(d);
  }
  return names;
}

TEST(PieceDocument, OpensWithoutCopyingEditsSavesAndCleansUp) {
  testing::TempDir dir;
  testing::TempDir work;
  PosixFileSystem files(work.Path());
  const std::vector<uint8_t> original = testing::Pattern(100000, 3);
  const std::string path = dir.Write("doc.bin", original);
  std::unique_ptr<LoadSource> source = files.OpenForLoad(path);
  ASSERT_NE(source, nullptr);
  const FileIdentity identity = source->Identity();
  const int fd = source->TakeDescriptor();
  ASSERT_GE(fd, 0);
  EXPECT_EQ(source->TakeDescriptor(), -1);  // handed over once

  {
    auto doc = PieceDocument::Open(files, work.Path() + "/", fd, source->Size(), identity);
    EXPECT_EQ(doc->Table().Size(), 100000);
    EXPECT_EQ(doc->Table().PieceCount(), 1);
    EXPECT_EQ(doc->Add().Length(), 0);
    EXPECT_EQ(doc->File(), identity);
    // The base is the file itself here, or a clone sharing its extents:
    // either way nothing was copied into the working folder's store.
    const std::set<std::string> made = Names(work.Path());
    EXPECT_EQ(made.size(), doc->Cloned() ? 3u : 2u);

    const uint8_t typed[] = {0xAA, 0xBB};
    doc->Table().Insert(10, typed, 2);
    doc->Table().Remove(50000, 25000);
    std::vector<uint8_t> expected(original);
    expected.erase(expected.begin() + 50000 - 2, expected.begin() + 75000 - 2);
    expected.insert(expected.begin() + 10, typed, typed + 2);

    PieceSaveSource save = doc->SaveSource();
    ASSERT_TRUE(files.SaveFrom(save, dir.File("copy.bin"), SaveCopyOptions{}, nullptr));
    EXPECT_EQ(testing::ReadAll(dir.File("copy.bin")), expected);
    EXPECT_EQ(testing::ReadAll(path), original);  // the file itself is never written
  }
  EXPECT_TRUE(Names(work.Path()).empty());  // the private files went with the document

  auto empty = PieceDocument::Empty(files, work.Path() + "/");
  EXPECT_EQ(empty->Table().Size(), 0);
  empty->KeepFiles();
  const std::string kept = empty->Add().Path();
  empty.reset();
  EXPECT_EQ(Names(work.Path()).size(), 2u);  // store and journal kept for recovery
  EXPECT_EQ(::access(kept.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace bm::piece
