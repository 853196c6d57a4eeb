// Saving a document over its own file when another program changed or
// replaced that file, and when the backup cannot be made.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "editor/byte_editor.h"
#include "platform/posix/posix_files.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::FakeWindowHost;
using testing::TempDir;

std::string Read(const std::string& path) {
  const auto bytes = testing::ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

// Another program writing the file: the sleep makes sure the modification
// time moves on even on coarse clocks.
void Rewrite(const TempDir& dir, const std::string& name, const std::string& data) {
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  dir.Write(name, data);
}

struct SaveFixture {
  TempDir tmp;
  TempDir docs;
  PosixFileSystem files{tmp.Path()};
  FakeWindowHost host;
  std::unique_ptr<TByteEditor> ed;

  SaveFixture() {
    ed = std::make_unique<TByteEditor>(&host, files);
    host.client = ed.get();
    ed->Loaded();
    ed->SetClientSize(800, 600);
    host.Deliver();
  }
  // Loads name with content and types one digit over the first byte's high nibble.
  std::string LoadAndEdit(const std::string& name, const std::string& content) {
    const std::string path = docs.Write(name, content);
    EXPECT_TRUE(ed->LoadFromFile(path));
    ed->WMChar('3');
    EXPECT_TRUE(ed->Modified());
    return path;
  }
};

TEST(DocumentSave, AFileChangedByAnotherProgramIsOnlyOverwrittenOnceAccepted) {
  SaveFixture f;
  const std::string path = f.LoadAndEdit("data.bin", "ABCD");
  EXPECT_FALSE(f.ed->FileChangedOnDisk());

  Rewrite(f.docs, "data.bin", "other program's data");
  EXPECT_TRUE(f.ed->FileChangedOnDisk());
  EXPECT_FALSE(f.ed->SaveToFile(path));
  EXPECT_EQ(Read(path), "other program's data");
  EXPECT_FALSE(std::filesystem::exists(f.docs.File("data.bak")));
  EXPECT_TRUE(f.ed->Modified());
  EXPECT_TRUE(f.ed->CanUndo());

  f.ed->AcceptFileOnDisk();
  EXPECT_FALSE(f.ed->FileChangedOnDisk());
  ASSERT_TRUE(f.ed->SaveToFile(path));
  // 'A' (0x41) with 3 typed over its high digit. Where the file is read in
  // place rather than through a private clone, the bytes not typed over are
  // the other program's (the window tells the user so).
  EXPECT_EQ(Read(path), f.ed->BaseIsPrivate() ? "1BCD" : "1the");
  EXPECT_EQ(Read(f.docs.File("data.bak")), "other program's data");
  EXPECT_FALSE(f.ed->FileChangedOnDisk()) << "the saved file is the document's file now";

  // A second editor's save in between counts as a change as well.
  f.ed->WMChar('4');
  {
    SaveFixture second;
    second.ed = std::make_unique<TByteEditor>(&second.host, second.files);
    ASSERT_TRUE(second.ed->LoadFromFile(path));
    second.ed->WMChar('5');
    ASSERT_TRUE(second.ed->SaveToFile(path));
  }
  EXPECT_TRUE(f.ed->FileChangedOnDisk());
  EXPECT_FALSE(f.ed->SaveToFile(path));
  EXPECT_EQ(Read(path)[0], 0x51);  // the second editor's save stays
}

TEST(DocumentSave, AFileSwappedForALinkCountsAsChanged) {
  SaveFixture f;
  const std::string path = f.LoadAndEdit("report.bin", "report");
  const std::string secret = f.docs.Write("secret", "the user's private file");
  ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
  std::filesystem::remove(path);
  ASSERT_EQ(::symlink(secret.c_str(), path.c_str()), 0);

  EXPECT_TRUE(f.ed->FileChangedOnDisk());
  EXPECT_FALSE(f.ed->SaveToFile(path));
  EXPECT_EQ(Read(secret), "the user's private file");
  EXPECT_FALSE(std::filesystem::exists(f.docs.File("report.bak")));

  // A document loaded through a link saves through it, and its backup is
  // no more readable than the file it keeps.
  f.ed->NewDocument("Untitled");
  EXPECT_FALSE(f.ed->FileChangedOnDisk());
  ASSERT_TRUE(f.ed->LoadFromFile(path));
  f.ed->WMChar('4');
  EXPECT_FALSE(f.ed->FileChangedOnDisk());
  ASSERT_TRUE(f.ed->SaveToFile(path));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(Read(secret)[0], 0x44);
  EXPECT_EQ(Read(f.docs.File("report.bak")), "the user's private file");
  struct stat st {};
  ASSERT_EQ(::lstat(f.docs.File("report.bak").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(DocumentSave, SaveAsRecordsTheNewFileAndAFailedBackupKeepsTheChanges) {
  SaveFixture f;
  const std::string path = f.LoadAndEdit("a.bin", "a123");
  const std::string other = f.docs.File("b.bin");
  ASSERT_TRUE(f.ed->SaveToFile(other));
  EXPECT_FALSE(f.ed->FileChangedOnDisk());
  Rewrite(f.docs, "b.bin", "changed");
  EXPECT_TRUE(f.ed->FileChangedOnDisk());
  f.ed->AcceptFileOnDisk();

  // A folder at the backup name cannot be replaced: nothing is saved.
  f.ed->WMChar('7');
  ASSERT_EQ(::mkdir(f.docs.File("b.bak").c_str(), 0755), 0);
  EXPECT_FALSE(f.ed->SaveToFile(other));
  EXPECT_EQ(Read(other), "changed");
  EXPECT_TRUE(f.ed->Modified());
  EXPECT_TRUE(f.ed->CanUndo());
  EXPECT_TRUE(f.ed->IsByteChanged(0));

  // Without a backup the same save goes through.
  f.ed->SetCreateBackup(false);
  ASSERT_TRUE(f.ed->SaveToFile(other));
  // 0x31 with 7 typed over its low digit; read in place, 'c' (0x63) was.
  EXPECT_EQ(Read(other)[0], f.ed->BaseIsPrivate() ? 0x37 : 0x67);
  EXPECT_EQ(Read(path), "a123");
}


// Saves stream the pieces: holes of a sparse file stay holes, and a file cut
// short by another program is refused with the reason rather than saved
// with zeros for its missing bytes.
TEST(DocumentSave, PiecesOfASparseFileSaveAsHolesAndAFileCutShortIsRefused) {
  SaveFixture f;
  const int64_t size = int64_t{5} << 30;
  const std::string path = f.docs.File("sparse.bin");
  {
    std::ofstream out(path, std::ios::binary);
    out.seekp(size - 4);
    out << "tail";
  }
  ASSERT_TRUE(f.ed->LoadFromFile(path));
  const uint8_t head[] = {'h', 'i'};
  f.ed->InsertBuffer(head, 2, 0);
  const std::string copy = f.docs.File("copy.bin");
  ASSERT_TRUE(f.ed->SaveToFile(copy)) << f.ed->SaveError();
  struct stat st;
  ASSERT_EQ(::stat(copy.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, size + 2);
  EXPECT_LT(st.st_blocks * 512, int64_t{4} << 20) << "the holes were written out";
  std::ifstream in(copy, std::ios::binary);
  std::string start(2, '\0'), end(4, '\0');
  in.read(start.data(), 2);
  in.seekg(size - 2);
  in.read(end.data(), 4);
  EXPECT_EQ(start, "hi");
  EXPECT_EQ(end, "tail");
  EXPECT_EQ(f.ed->ReadByte(size + 1), 'l') << "the saved file is the document's now";

  // Another program cuts the file the document reads: its end reads as
  // absent, and a save refuses rather than write zeros for it.
  f.ed->InsertBuffer(head, 2, 0);
  ASSERT_EQ(::truncate(copy.c_str(), 1000), 0);
  f.ed->ReadFileAgain();
  EXPECT_EQ(f.ed->ReadByte(size + 3), 0);
  EXPECT_TRUE(f.ed->IsByteAbsent(size + 3)) << "shown blank, not as the file's";
  EXPECT_FALSE(f.ed->IsByteAbsent(500));
  EXPECT_FALSE(f.ed->IsByteAbsent(0)) << "typed, not the file's";
  f.ed->AcceptFileOnDisk();
  EXPECT_FALSE(f.ed->SaveToFile(f.docs.File("third.bin")));
  EXPECT_NE(f.ed->SaveError().find("shortened"), std::string::npos) << f.ed->SaveError();
  EXPECT_FALSE(std::filesystem::exists(f.docs.File("third.bin")));
  EXPECT_TRUE(f.ed->Modified());
}

}  // namespace
}  // namespace bm
