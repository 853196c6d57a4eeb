// The safe save writing a piece document: to a new name, over its own base by rename and in place.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "piece/piece_save_source.h"
#include "piece/piece_table.h"
#include "platform/posix/posix_files.h"
#include "support/temp_dir.h"

namespace bm::piece {
namespace {

using testing::TempDir;

// A base of 300000 bytes edited so that base runs move both ways.
struct EditedDoc {
  explicit EditedDoc(TempDir& dir)
      : files(dir.Path()),
        basePath(dir.Write("doc.bin", testing::Pattern(300000, 9))),
        base(BaseFile::Open(basePath)),
        add(AddStore::Create(files, dir.Path() + "/")),
        table(base.get(), *add) {
    const std::vector<uint8_t> head(4096, 0x5a), mid(3, 0x11);
    table.Insert(0, head.data(), 4096);
    const PieceTree cut = table.Pieces().Slice(200000, 50000);
    table.Remove(200000, 50000);
    table.InsertPieces(100, cut);
    table.Replace(150000, 1000, mid.data(), 3);
    table.Remove(290000, 10);
  }
  std::vector<uint8_t> Bytes() {
    std::vector<uint8_t> b(static_cast<size_t>(table.Size()));
    table.Read(0, b.data(), table.Size());
    return b;
  }
  PieceSaveSource Source() { return PieceSaveSource(table.Pieces(), base.get(), add->Descriptor()); }

  PosixFileSystem files;
  std::string basePath;
  std::unique_ptr<BaseFile> base;
  std::unique_ptr<AddStore> add;
  PieceTable table;
};

TEST(PieceSaveSource, SavesToANewNameAndOverItsBaseByRenameWithBackup) {
  TempDir dir;
  EditedDoc doc(dir);
  const std::vector<uint8_t> expected = doc.Bytes();
  const std::vector<uint8_t> original = testing::ReadAll(doc.basePath);

  PieceSaveSource source = doc.Source();
  FileIdentity saved;
  ASSERT_TRUE(doc.files.SaveFrom(source, dir.File("copy.bin"), SaveCopyOptions{}, &saved));
  EXPECT_EQ(testing::ReadAll(dir.File("copy.bin")), expected);
  EXPECT_TRUE(saved.known);
  EXPECT_EQ(saved.size, static_cast<int64_t>(expected.size()));

  // Over the base itself: the new file takes the name, the old one is the
  // backup, and the document still reads the old inode correctly.
  SaveCopyOptions options;
  options.backup = dir.File("doc.bak");
  const FileIdentity loaded = doc.base->Identity();
  options.expected = &loaded;
  options.loaded = &loaded;
  int error = 0;
  options.error = &error;
  ASSERT_TRUE(doc.files.SaveFrom(source, doc.basePath, options, nullptr)) << error;
  EXPECT_EQ(testing::ReadAll(doc.basePath), expected);
  EXPECT_EQ(testing::ReadAll(dir.File("doc.bak")), original);
  EXPECT_EQ(doc.Bytes(), expected);
}

TEST(PieceSaveSource, SavesInPlaceOverItsBaseWithoutReadingOverwrittenBytes) {
  TempDir dir;
  EditedDoc doc(dir);
  const std::vector<uint8_t> expected = doc.Bytes();
  // A second name forces the save to write through the inode.
  ASSERT_EQ(::link(doc.basePath.c_str(), dir.File("other-name.bin").c_str()), 0);
  struct stat before;
  ASSERT_EQ(::stat(doc.basePath.c_str(), &before), 0);

  PieceSaveSource source = doc.Source();
  int error = 0;
  SaveCopyOptions options;
  options.error = &error;
  ASSERT_TRUE(doc.files.SaveFrom(source, doc.basePath, options, nullptr)) << error;
  struct stat after;
  ASSERT_EQ(::stat(doc.basePath.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(testing::ReadAll(doc.basePath), expected);
  EXPECT_EQ(testing::ReadAll(dir.File("other-name.bin")), expected);
}

TEST(PieceSaveSource, RefusesWhenTheBaseLostBytesAndLeavesTheTargetWhole) {
  TempDir dir;
  EditedDoc doc(dir);
  const std::string target = dir.Write("target.bin", std::string("keep me"));
  ASSERT_EQ(::truncate(doc.basePath.c_str(), 1000), 0);  // another program cuts the file

  PieceSaveSource source = doc.Source();
  int error = 0;
  SaveCopyOptions options;
  options.error = &error;
  EXPECT_FALSE(doc.files.SaveFrom(source, target, options, nullptr));
  EXPECT_EQ(error, ESTALE);
  EXPECT_TRUE(source.BaseShortened());
  const std::vector<uint8_t> kept = testing::ReadAll(target);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep me");
}

}  // namespace
}  // namespace bm::piece
