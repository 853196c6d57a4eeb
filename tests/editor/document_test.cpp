// The document's life on its working copy: load, save with backup, new
// document, notifications and the safety of the working copy's name.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "editor/byte_editor.h"
#include "platform/posix/posix_files.h"
#include "support/editor_fixture.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::FakeWindowHost;
using testing::ReadAll;
using testing::TempDir;

// The system's files in a private temporary directory, with random numbers
// the test predicts and copies onto the working copy that can be made to fail.
class TestFiles : public PosixFileSystem {
 public:
  explicit TestFiles(const std::string& dir) : PosixFileSystem(dir) {}
  uint32_t TickCount() override { return tick; }
  uint32_t RandomNumber() override { return tick++; }
  bool ReplaceWorkingCopy(const std::string& from, const std::string& to) override {
    if (failCopies) return false;
    return PosixFileSystem::ReplaceWorkingCopy(from, to);
  }
  // Loads by name, through the copy above.
  std::unique_ptr<LoadSource> OpenForLoad(const std::string& path) override {
    return FileSystem::OpenForLoad(path);
  }
  uint32_t tick = 0x12A3F0;
  bool failCopies = false;
};

struct Fixture {
  TempDir tmp;
  TempDir docs;
  TestFiles files{tmp.Path()};
  FakeWindowHost host;
  std::unique_ptr<TByteEditor> ed;
  int notifications = 0;

  Fixture() { Make(); }
  void Make() {
    ed = std::make_unique<TByteEditor>(&host, files);
    host.client = ed.get();
    ed->OnStateChanged = [this](TByteEditor&) { ++notifications; };
    ed->Loaded();
    ed->SetClientSize(800, 600);
    host.Deliver();
  }
  std::vector<unsigned char> Data() { return testing::DataOf(*ed); }
};

TEST(Document, NewControlHasUntitledDocumentAndNoWorkingCopy) {
  Fixture f;
  EXPECT_EQ(f.ed->FileName(), "Untitled");
  EXPECT_TRUE(f.ed->ReadOnly());
  EXPECT_FALSE(f.ed->Modified());
  EXPECT_EQ(f.ed->DataSize(), 0);
  EXPECT_EQ(f.ed->WorkFileName(), testing::PrivateFolder(f.tmp.Path()) + "/0012A3F0.XBTM");
  EXPECT_FALSE(std::filesystem::exists(f.ed->WorkFileName()));
}

TEST(Document, LoadCopiesTheFileOntoAnOwnerOnlyWorkingCopy) {
  Fixture f;
  const auto bytes = testing::Pattern(70000);
  const std::string path = f.docs.Write("data.bin", bytes);
  ASSERT_TRUE(f.ed->LoadFromFile(path));
  EXPECT_EQ(f.ed->FileName(), path);
  EXPECT_FALSE(f.ed->ReadOnly());
  EXPECT_FALSE(f.ed->Modified());
  EXPECT_EQ(f.Data(), bytes);
  EXPECT_EQ(f.ed->RowCount(), (70000 + 15) / 16);
  EXPECT_EQ(f.ed->Col(), 2);
  EXPECT_EQ(f.ed->Row(), 0);
  struct stat st {};
  ASSERT_EQ(stat(f.ed->WorkFileName().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // The source file itself is never written by editing.
  f.ed->WMChar('F');
  EXPECT_EQ(ReadAll(path), bytes);
}

TEST(Document, FilesHeldOpenByOthersLoadReadOnlyAndMissingFilesChangeNothing) {
  Fixture f;
  const std::string held = f.docs.Write("held.bin", "held");
  const int fd = open(held.c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  ASSERT_TRUE(f.ed->LoadFromFile(held));
  EXPECT_TRUE(f.ed->ReadOnly());
  close(fd);

  f.ed->WMChar('9');  // still editable
  EXPECT_TRUE(f.ed->Modified());
  EXPECT_FALSE(f.ed->LoadFromFile(f.docs.File("missing.bin")));
  EXPECT_EQ(f.ed->FileName(), held);
  EXPECT_TRUE(f.ed->Modified());
  EXPECT_TRUE(f.ed->ReadOnly());
  EXPECT_EQ(f.Data()[0], 0x98);  // '9' typed over the high nibble of 'h' (0x68)
}

TEST(Document, SavingOverItsOwnFileKeepsTheOldContentsAsBackup) {
  Fixture f;
  const std::string path = f.docs.Write("data.bin", "ABCD");
  ASSERT_TRUE(f.ed->LoadFromFile(path));
  f.ed->WMChar('3');
  f.ed->WMChar('1');  // 'A' (0x41) becomes 0x31
  ASSERT_TRUE(f.ed->SaveToFile(path));
  EXPECT_EQ(ReadAll(path), (std::vector<unsigned char>{'1', 'B', 'C', 'D'}));
  EXPECT_EQ(ReadAll(f.docs.File("data.bak")), (std::vector<unsigned char>{'A', 'B', 'C', 'D'}));
  EXPECT_FALSE(f.ed->Modified());
  EXPECT_FALSE(f.ed->CanUndo());
  EXPECT_FALSE(f.ed->IsByteChanged(0));

  // A second save after more edits replaces the backup; an unmodified save makes none.
  f.ed->WMChar('3');
  f.ed->WMChar('2');  // 'B' becomes '2'
  ASSERT_TRUE(f.ed->SaveToFile(path));
  EXPECT_EQ(ReadAll(f.docs.File("data.bak")), (std::vector<unsigned char>{'1', 'B', 'C', 'D'}));
  std::filesystem::remove(f.docs.File("data.bak"));
  ASSERT_TRUE(f.ed->SaveToFile(path));
  EXPECT_FALSE(std::filesystem::exists(f.docs.File("data.bak")));

  // A name without extension gets the extension appended.
  const std::string readme = f.docs.Write("README", "x");
  ASSERT_TRUE(f.ed->LoadFromFile(readme));
  f.ed->WMChar('4');
  ASSERT_TRUE(f.ed->SaveToFile(readme));
  EXPECT_EQ(ReadAll(f.docs.File("README.bak")), (std::vector<unsigned char>{'x'}));
}

TEST(Document, SaveAsTakesTheNewNameAndAFailedSaveChangesNothing) {
  Fixture f;
  const std::string path = f.docs.Write("a.bin", "0123");
  ASSERT_TRUE(f.ed->LoadFromFile(path));
  f.ed->WMChar('7');
  ASSERT_TRUE(f.ed->Modified());

  EXPECT_FALSE(f.ed->SaveToFile(f.docs.File("no-such-dir/b.bin")));
  EXPECT_TRUE(f.ed->Modified());
  EXPECT_TRUE(f.ed->CanUndo());
  EXPECT_TRUE(f.ed->IsByteChanged(0));
  EXPECT_EQ(f.ed->FileName(), path);

  const std::string other = f.docs.File("b.bin");
  ASSERT_TRUE(f.ed->SaveToFile(other));
  EXPECT_EQ(f.ed->FileName(), other);
  EXPECT_FALSE(f.ed->Modified());
  EXPECT_FALSE(f.ed->ReadOnly());
  EXPECT_FALSE(f.ed->CanUndo());
  EXPECT_FALSE(std::filesystem::exists(f.docs.File("b.bak")));
  EXPECT_FALSE(std::filesystem::exists(f.docs.File("a.bak")));
  EXPECT_EQ(ReadAll(other), (std::vector<unsigned char>{'p', '1', '2', '3'}));
  EXPECT_EQ(ReadAll(path), (std::vector<unsigned char>{'0', '1', '2', '3'}));

  // An empty new document saves as an empty file.
  f.ed->NewDocument("Untitled");
  ASSERT_TRUE(f.ed->SaveToFile(f.docs.File("empty.bin")));
  EXPECT_TRUE(ReadAll(f.docs.File("empty.bin")).empty());
}

TEST(Document, NotificationsArePostedAndDeliveredAfterTheOperation) {
  Fixture f;
  const std::string path = f.docs.Write("a.bin", "0123456789");
  ASSERT_TRUE(f.ed->LoadFromFile(path));
  f.host.Deliver();
  f.notifications = 0;
  f.ed->WMChar('1');
  f.ed->WMChar('2');
  EXPECT_EQ(f.notifications, 0);  // nothing during the operations
  EXPECT_GE(f.host.Deliver(), 2);
  EXPECT_GE(f.notifications, 2);
  for (const auto& m : f.host.queue) EXPECT_EQ(m.msg, kStateChangedMessage);

  // Other wParams are ignored; no window: nothing is queued at all.
  f.notifications = 0;
  f.ed->HandleMessage(kStateChangedMessage, 8, 7);
  EXPECT_EQ(f.notifications, 0);
  f.host.exists = false;
  f.ed->PostStateChanged();
  EXPECT_TRUE(f.host.queue.empty());
  // ClearUndo tells the host at once.
  f.ed->ClearUndo();
  EXPECT_EQ(f.notifications, 1);
}

TEST(Document, NothingIsCopiedAtLoadAndNewDocumentOrDestructionRemoveTheStore) {
  Fixture f;
  PosixFileSystem files(f.tmp.Path());
  auto ed = std::make_unique<TByteEditor>(&f.host, files);
  ed->Loaded();
  const std::string path = f.docs.Write("a.bin", "0123456789");
  ASSERT_TRUE(ed->LoadFromFile(path));
  const std::string work = ed->WorkFileName();
  EXPECT_EQ(std::filesystem::file_size(work), 0u) << "the file is read in place";
  EXPECT_TRUE(std::filesystem::exists(work + ".jnl"));
  ed->SetSelStart(3);
  ed->WMChar('F');
  EXPECT_EQ(std::filesystem::file_size(work), 1u) << "only the typed byte is stored";
  ed->NewDocument("Untitled");
  EXPECT_FALSE(std::filesystem::exists(work));
  EXPECT_FALSE(std::filesystem::exists(work + ".jnl"));
  EXPECT_EQ(ed->DataSize(), 0);
  EXPECT_TRUE(ed->ReadOnly());
  ASSERT_TRUE(ed->LoadFromFile(path));
  const std::string second = ed->WorkFileName();
  ed.reset();
  EXPECT_FALSE(std::filesystem::exists(second));
  EXPECT_FALSE(std::filesystem::exists(second + ".jnl"));
  EXPECT_EQ(testing::ReadAll(path), testing::ReadAll(f.docs.Write("b.bin", "0123456789")));
}

TEST(Document, PlantedNamesAreNeverFollowedAndTwoEditorsNeverShareACopy) {
  Fixture f;
  // Someone plants a symbolic link under the name after the control chose it.
  const std::string victim = f.docs.Write("victim", "precious");
  const std::string planted = f.ed->WorkFileName();
  ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
  const std::string path = f.docs.Write("a.bin", "new data");
  ASSERT_TRUE(f.ed->LoadFromFile(path));
  EXPECT_NE(f.ed->WorkFileName(), planted);
  EXPECT_EQ(ReadAll(victim), (std::vector<unsigned char>{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
  EXPECT_EQ(f.Data(), ReadAll(path));

  // A second editor started in the same millisecond gets its own copy.
  FakeWindowHost host2;
  TByteEditor second(&host2, f.files);
  second.Loaded();
  const std::string path2 = f.docs.Write("b.bin", "other");
  ASSERT_TRUE(second.LoadFromFile(path2));
  EXPECT_NE(second.WorkFileName(), f.ed->WorkFileName());
  EXPECT_EQ(f.Data(), ReadAll(path));
  // Removing the editor never removes the planted link, only its own copy.
  f.ed.reset();
  EXPECT_TRUE(std::filesystem::is_symlink(planted));
}

TEST(Document, FailedCopiesLeaveTheDocumentIntactAndFilesOfAnySizeOpenAtOnce) {
  Fixture f;
  const std::string path = f.docs.Write("a.bin", "keep me");
  ASSERT_TRUE(f.ed->LoadFromFile(path));
  f.ed->WMChar('7');  // 'k' (0x6B) becomes 0x7B
  const auto before = f.Data();

  f.files.failCopies = true;  // as with a full temporary disk
  EXPECT_FALSE(f.ed->LoadFromFile(f.docs.Write("b.bin", "never shown")));
  EXPECT_EQ(f.ed->FileName(), path);
  EXPECT_EQ(f.Data(), before);
  EXPECT_TRUE(f.ed->Modified());
  EXPECT_TRUE(f.ed->CanUndo());
  EXPECT_EQ(f.host.busyCalls % 2, 0);  // the busy cursor always comes back
  EXPECT_FALSE(f.host.busy);

  // 2 GiB and more: read in place, nothing copied, the end reachable.
  const std::string huge = f.docs.File("huge.bin");
  const int fd = open(huge.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, off_t{5} << 30), 0);  // sparse: no disk space used
  ASSERT_EQ(pwrite(fd, "end", 3, (off_t{5} << 30) - 3), 3);
  close(fd);
  PosixFileSystem files(f.tmp.Path());
  TByteEditor ed(&f.host, files);
  ed.Loaded();
  ASSERT_TRUE(ed.LoadFromFile(huge));
  EXPECT_EQ(ed.DataSize(), int64_t{5} << 30);
  EXPECT_EQ(std::filesystem::file_size(ed.WorkFileName()), 0u);
  EXPECT_EQ(ed.ReadByte((int64_t{5} << 30) - 2), 'n');
  EXPECT_EQ(ed.ReadByte(int64_t{3} << 30), 0);
}

TEST(Document, ReadWindowIsCentredAndDataSizeComesFromTheCache) {
  Fixture f;
  const auto bytes = testing::Pattern(200000, 3);
  ASSERT_TRUE(f.ed->LoadFromFile(f.docs.Write("a.bin", bytes)));
  f.ed->EnsureReadWindow(100000);
  EXPECT_EQ(f.ed->ReadWindowStart(), 100000 - 32768);
  EXPECT_EQ(f.ed->ReadWindow()[100000 - f.ed->ReadWindowStart()], bytes[100000]);
  // Lines inside the window need no reload; the first line past it does.
  f.ed->EnsureReadWindow(100000 + 32768 - 16);
  EXPECT_EQ(f.ed->ReadWindowStart(), 100000 - 32768);
  f.ed->EnsureReadWindow(100000 + 32768 - 15);
  EXPECT_EQ(f.ed->ReadWindowStart(), 100000 - 15);
  f.ed->EnsureReadWindow(10);
  EXPECT_EQ(f.ed->ReadWindowStart(), 0);
  EXPECT_EQ(f.ed->DataSize(), 200000);
  f.ed->UpdateReadWindow(5, 0xEE);
  EXPECT_EQ(f.ed->ReadWindow()[5], 0xEE);
}

}  // namespace
}  // namespace bm
