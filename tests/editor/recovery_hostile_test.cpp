// Recovery that neither another user nor bad luck can switch off: a kill
// between the save and the record, records that cannot be read, a record
// that cannot be made, names taken ahead, and a planted private folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// The system's files, in a process that dies right after its save wrote the
// target, when asked.
class Files : public PosixFileSystem {
 public:
  explicit Files(const std::string& dir) : PosixFileSystem(dir) {}
  bool SaveCopy(const std::string& from, const std::string& to, const SaveCopyOptions& options,
                FileIdentity* saved) override {
    const bool ok = PosixFileSystem::SaveCopy(from, to, options, saved);
    if (killAfterSave) ::raise(SIGKILL);
    return ok;
  }
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

// An editor loads path, types a digit and leaves its work behind.
std::string LeaveWork(const std::string& tmp, const std::string& path) {
  Editor e(tmp);
  EXPECT_TRUE(e.ed.LoadFromFile(path));
  e.ed.WMChar('7');
  EXPECT_TRUE(e.ed.KeepForRecovery());
  return e.ed.WorkFileName();
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

  docs.Write("doc.bin", "1BCDEX");  // differing again: worth offering
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
    e.ed.NewDocument("Untitled");
  }
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
