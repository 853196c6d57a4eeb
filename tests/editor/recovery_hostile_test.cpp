// Recovery that neither another user nor bad luck can switch off: a kill
// between the save and the record, records that cannot be read, a record
// that cannot be made, names taken ahead, and a planted private folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include "editor/byte_editor.h"
#include "platform/posix/posix_files.h"
#include "platform/recovery.h"
#include "support/editor_fixture.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::DataOf;
using testing::FakeWindowHost;
using testing::ReadAll;
using testing::TempDir;

// The system's files, with scripted random numbers when some are given, and
// a process that dies right after its save wrote the target, when asked.
class Files : public PosixFileSystem {
 public:
  explicit Files(const std::string& dir) : PosixFileSystem(dir) {}
  uint32_t RandomNumber() override {
    if (randoms.empty()) return PosixFileSystem::RandomNumber();
    const uint32_t r = randoms.front();
    randoms.pop_front();
    return r;
  }
  bool SaveCopy(const std::string& from, const std::string& to, const SaveCopyOptions& options,
                FileIdentity* saved) override {
    const bool ok = PosixFileSystem::SaveCopy(from, to, options, saved);
    if (killAfterSave) ::raise(SIGKILL);
    return ok;
  }
  std::deque<uint32_t> randoms;
  bool killAfterSave = false;
};

struct Editor {
  explicit Editor(const std::string& dir) : files(dir) {
    host.client = &ed;
    ed.Loaded();
    ed.SetClientSize(800, 600);
  }
  Files files;
  FakeWindowHost host;
  TByteEditor ed{&host, files};
};

// Runs body in a child that ends by SIGKILL (its own, or the test's once it
// reports ready by returning), as a crash leaves its files.
void RunUntilKilled(const std::function<void()>& body) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(ready[0]);
    body();
    const char byte = 'r';
    if (::write(ready[1], &byte, 1) != 1) ::_exit(3);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char byte = 0;
  (void)::read(ready[0], &byte, 1);
  ::close(ready[0]);
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended another way";
}

// A child editor loads path, types a digit and is killed, leaving its work.
std::string LeaveWork(const std::string& tmp, const std::string& path) {
  std::string work;
  int names[2];
  EXPECT_EQ(::pipe(names), 0);
  RunUntilKilled([&] {
    static Editor* e = new Editor(tmp);  // never destroyed: the kill ends it
    if (!e->ed.LoadFromFile(path)) ::_exit(2);
    e->ed.WMChar('7');
    const std::string& name = e->ed.WorkFileName();
    if (::write(names[1], name.data(), name.size()) != static_cast<ssize_t>(name.size())) ::_exit(4);
  });
  ::close(names[1]);
  char buffer[4096];
  const ssize_t n = ::read(names[0], buffer, sizeof buffer);
  ::close(names[0]);
  if (n > 0) work.assign(buffer, static_cast<size_t>(n));
  return work;
}

TEST(RecoveryHostile, AKillBetweenWritingTheTargetAndTheRecordOffersNothingSaved) {
  TempDir tmp, docs;
  const std::string path = docs.Write("doc.bin", "ABCDEF");
  RunUntilKilled([&] {
    static Editor* e = new Editor(tmp.Path());
    if (!e->ed.LoadFromFile(path)) ::_exit(2);
    e->ed.WMChar('3');
    e->files.killAfterSave = true;
    e->ed.SaveToFile(path);  // dies inside, with the record still saying "modified"
  });
  EXPECT_EQ(ReadAll(path), (std::vector<unsigned char>{'1', 'B', 'C', 'D', 'E', 'F'}));
  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].HasUnsavedChanges());
  EXPECT_TRUE(found[0].MatchesItsFile()) << "the work is in the file already";

  // Once the file differs from the working copy, the work is worth offering.
  found[0].Release();
  found.clear();
  docs.Write("doc.bin", "1BCDEX");
  found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_FALSE(found[0].MatchesItsFile());
  found[0].Discard();
}

TEST(RecoveryHostile, AWorkingCopyWithoutAReadableRecordOpensAsANewDocument) {
  TempDir tmp, docs;
  const std::string path = docs.Write("doc.bin", "ABCDEF");
  const std::string big(10 << 20, 'x');
  const std::vector<std::pair<const char*, std::string>> records = {
      {"garbage", "\x01\x02 not a record at all"},
      {"10 MB of data", big},
      {"a 10 MB name", "Bytemoor recovery 1\nmodified 1\nread-only 0\nfile 0 0 0 0 0 0\nname 10485760\n" + big},
      {"no record", ""},
  };
  for (const auto& [what, bytes] : records) {
    SCOPED_TRACE(what);
    const std::string work = LeaveWork(tmp.Path(), path);
    ASSERT_FALSE(work.empty());
    const std::string record = RecoveryRecordPath(work);
    ASSERT_EQ(::unlink(record.c_str()), 0);
    if (std::string(what) != "no record") {
      std::ofstream(record, std::ios::binary) << bytes;
      ASSERT_EQ(::chmod(record.c_str(), 0600), 0);
    }
    std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_FALSE(found[0].HasUnsavedChanges());
    ASSERT_TRUE(found[0].Unidentified());
    Editor e(tmp.Path());
    ASSERT_TRUE(e.ed.RecoverWorkingCopy(found[0]));
    EXPECT_EQ(e.ed.FileName(), "Untitled");
    EXPECT_TRUE(e.ed.Modified());
    EXPECT_TRUE(e.ed.ReadOnly()) << "a save asks for a name";
    EXPECT_EQ(DataOf(e.ed), (std::vector<uint8_t>{0x71, 'B', 'C', 'D', 'E', 'F'}));
    EXPECT_TRUE(e.ed.KeepForRecovery());  // and its record is a good one again
    std::vector<OrphanedWorkCopy> again = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
    ASSERT_EQ(again.size(), 1u);
    EXPECT_TRUE(again[0].HasUnsavedChanges());
    again[0].Discard();
  }
}

TEST(RecoveryHostile, NamesAreRandomATakenOneIsRetriedAndAMissingRecordIsToldOnce) {
  TempDir tmp, docs;
  const std::string path = docs.Write("doc.bin", "ABCDEF");
  const std::string folder = testing::PrivateFolder(tmp.Path()) + "/";
  {
    // Two editors never pick the same name, and names do not follow the clock.
    Editor a(tmp.Path()), b(tmp.Path());
    EXPECT_NE(a.ed.WorkFileName(), b.ed.WorkFileName());
    EXPECT_EQ(a.ed.WorkFileName().substr(0, folder.size()), folder);
  }
  Editor e(tmp.Path());
  // The coming name is taken, and the next one has a folder where its record
  // would go: the working copy moves on, the record cannot be made.
  e.files.randoms = {0xAAAA0001};
  e.ed.NewDocument("Untitled");
  std::filesystem::create_directories(folder);
  const std::string first = e.ed.WorkFileName();
  std::ofstream(first) << "planted";
  ASSERT_EQ(::mkdir((folder + "AAAA0001.XBTM.rec").c_str(), 0700), 0);
  ASSERT_TRUE(e.ed.LoadFromFile(path));
  EXPECT_NE(e.ed.WorkFileName(), first);
  EXPECT_EQ(ReadAll(first), (std::vector<unsigned char>{'p', 'l', 'a', 'n', 't', 'e', 'd'}));
  EXPECT_EQ(DataOf(e.ed), ReadAll(path));
  EXPECT_EQ(e.ed.WorkFileName(), folder + "AAAA0001.XBTM");
  EXPECT_TRUE(e.ed.TakeRecoveryOffNotice());
  e.ed.WMChar('5');
  EXPECT_FALSE(e.ed.TakeRecoveryOffNotice()) << "told once";
  EXPECT_FALSE(e.ed.KeepForRecovery());
}

TEST(RecoveryHostile, AFolderPlantedForTheWorkingCopiesIsNeverUsed) {
  TempDir tmp, docs, theirs;
  const std::string path = docs.Write("doc.bin", "ABCDEF");
  ASSERT_EQ(::symlink(theirs.Path().c_str(), testing::PrivateFolder(tmp.Path()).c_str()), 0);
  Editor e(tmp.Path());
  EXPECT_FALSE(e.ed.LoadFromFile(path));
  EXPECT_EQ(e.ed.LoadError(), "Temporary folder " + testing::PrivateFolder(tmp.Path()) +
                                  "/: a symbolic link, not a folder");
  EXPECT_EQ(e.ed.FileName(), "Untitled");
  const uint8_t byte = 1;
  EXPECT_THROW(e.ed.AppendBuffer(&byte, 1), FileError);
  EXPECT_TRUE(testing::FolderNames(theirs.Path()).empty());
}

}  // namespace
}  // namespace bm
