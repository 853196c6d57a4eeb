// Saving from pieces: to a new file, in place over the base, and refused when the base lost bytes.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <vector>

#include "piece/piece_save.h"
#include "piece/piece_table.h"
#include "platform/posix/posix_files.h"
#include "support/temp_dir.h"

namespace bm::piece {
namespace {

using testing::TempDir;

struct Doc {
  explicit Doc(TempDir& dir)
      : files(dir.Path()),
        basePath(dir.Write("base.bin", testing::Pattern(200000, 4))),
        base(BaseFile::Open(basePath)),
        add(AddStore::Create(files, dir.Path() + "/")),
        table(base.get(), *add) {
    // Bytes moved both ways: an insertion at the start pushes the base on,
    // a removal further on pulls it back, a cut moved towards the start.
    const std::vector<uint8_t> head(777, 0x41), mid(5, 0x42);
    table.Insert(0, head.data(), 777);
    table.Remove(50000, 3000);
    const PieceTree cut = table.Pieces().Slice(150000, 20000);
    table.Remove(150000, 20000);
    table.InsertPieces(1000, cut);
    table.Replace(120000, 10, mid.data(), 5);
  }
  std::vector<uint8_t> Bytes() {
    std::vector<uint8_t> b(static_cast<size_t>(table.Size()));
    table.Read(0, b.data(), table.Size());
    return b;
  }
  StreamSources Sources() const {
    StreamSources s;
    s.baseFd = base->Descriptor();
    s.baseSize = base->Size();
    s.addFd = add->Descriptor();
    return s;
  }
  PosixFileSystem files;
  std::string basePath;
  std::unique_ptr<BaseFile> base;
  std::unique_ptr<AddStore> add;
  PieceTable table;
};

TEST(PieceSave, StreamsToANewFileAndInPlaceOverTheBase) {
  TempDir dir;
  Doc doc(dir);
  const std::vector<uint8_t> expected = doc.Bytes();

  const std::string out = dir.File("out.bin");
  const int fd = ::open(out.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  const StreamResult r = StreamPieces(doc.table.Pieces(), doc.Sources(), fd);
  ::close(fd);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.written, doc.table.Size());
  EXPECT_EQ(testing::ReadAll(out), expected);

  // In place: without keeping the hazards first the result would be wrong,
  // which is what InPlaceHazards must see.
  const std::vector<piece::Run> hazards = InPlaceHazards(doc.table.Pieces());
  ASSERT_FALSE(hazards.empty());
  for (size_t i = 1; i < hazards.size(); ++i)
    EXPECT_LT(hazards[i - 1].offset + hazards[i - 1].length, hazards[i].offset);
  const int kept = ::open(dir.File("kept.bin").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  StreamSources sources = doc.Sources();
  sources.kept = KeepHazards(doc.table.Pieces(), doc.base->Descriptor(), kept);
  sources.keptFd = kept;
  sources.inPlace = true;
  const int target = ::open(doc.basePath.c_str(), O_RDWR);
  const StreamResult inPlace = StreamPieces(doc.table.Pieces(), sources, target);
  ASSERT_TRUE(inPlace.ok) << inPlace.error;
  ASSERT_EQ(0, ::ftruncate(target, doc.table.Size()));
  ::close(target);
  ::close(kept);
  EXPECT_EQ(testing::ReadAll(doc.basePath), expected);
}

TEST(PieceSave, ABaseCutBehindTheProgramReadsAbsentAndRefusesTheSave) {
  TempDir dir;
  Doc doc(dir);
  ASSERT_EQ(0, ::truncate(doc.basePath.c_str(), 100000));
  std::vector<uint8_t> tail(1000);
  const ReadOutcome r = doc.table.Read(doc.table.Size() - 1000, tail.data(), 1000);
  EXPECT_EQ(r.count, 1000);
  EXPECT_EQ(r.absent, 1000);
  EXPECT_EQ(tail, std::vector<uint8_t>(1000, 0));
  EXPECT_TRUE(doc.base->LostBytes());
  uint8_t head[4];
  EXPECT_EQ(doc.table.Read(0, head, 4).absent, 0);

  const int fd = ::open(dir.File("out.bin").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  StreamSources sources = doc.Sources();
  sources.baseSize = 100000;  // what the file holds now
  const StreamResult s = StreamPieces(doc.table.Pieces(), sources, fd);
  ::close(fd);
  EXPECT_FALSE(s.ok);
  EXPECT_TRUE(s.absent);
}

}  // namespace
}  // namespace bm::piece
