// Recovery after a crash: an editor in a child process is killed after its
// edits, and its working copy is found, restored byte for byte or removed.
// Also the record following the document through its life, records that
// cannot be read, and a planted folder for the working copies.
#include <gtest/gtest.h>

#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

using Script = std::function<void(TByteEditor&)>;

// An editor on a fake window whose working copy lives in dir.
struct Editor {
  explicit Editor(const std::string& dir) : files(dir) {
    host.client = &ed;
    ed.Loaded();
    ed.SetClientSize(800, 600);
  }
  PosixFileSystem files;
  FakeWindowHost host;
  TByteEditor ed{&host, files};
};

// Runs an editor in a child process that loads path, runs script and is then
// killed with SIGKILL, leaving its files in tmp as a crash would.
void RunAndKill(const std::string& tmp, const std::string& path, const Script& script) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(ready[0]);
    {
      Editor e(tmp);
      if (!e.ed.LoadFromFile(path)) ::_exit(2);
      script(e.ed);
      e.host.Deliver();
      const char byte = 'r';
      if (::write(ready[1], &byte, 1) != 1) ::_exit(3);
      for (;;) ::pause();
    }
  }
  ::close(ready[1]);
  char byte = 0;
  const ssize_t n = ::read(ready[0], &byte, 1);
  ::close(ready[0]);
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(n, 1) << "the child editor did not get ready";
  ASSERT_TRUE(WIFSIGNALED(status));
}

// Typed digits over the first bytes, then bytes added at the end.
void EditSome(TByteEditor& ed) {
  ed.WMChar('4');
  ed.WMChar('1');
  ed.WMChar('4');
  ed.WMChar('2');
  const std::vector<uint8_t> tail = {0xDE, 0xAD, 0xBE, 0xEF};
  ed.AppendBuffer(tail.data(), static_cast<int32_t>(tail.size()));
}

std::vector<uint8_t> EditedOnce(const std::string& tmp, const std::string& path) {
  Editor e(tmp);
  EXPECT_TRUE(e.ed.LoadFromFile(path));
  EditSome(e.ed);
  std::vector<uint8_t> data = DataOf(e.ed);
  e.ed.NewDocument("Untitled");
  return data;
}

TEST(Recovery, KilledEditorsWorkIsRestoredByteForByteAndSavesWithBackup) {
  TempDir tmp, docs;
  const auto original = testing::Pattern(100000);
  const std::string path = docs.Write("data.bin", original);
  const std::vector<uint8_t> expected = EditedOnce(tmp.Path(), path);
  ASSERT_EQ(expected[0], 0x41);
  ASSERT_EQ(expected.size(), original.size() + 4);
  ASSERT_TRUE(testing::FolderNames(testing::PrivateFolder(tmp.Path())).empty());

  RunAndKill(tmp.Path(), path, EditSome);
  // The store of added bytes, its journal and its record.
  ASSERT_EQ(testing::FolderNames(testing::PrivateFolder(tmp.Path())).size(), 3u);

  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  ASSERT_TRUE(found[0].HasUnsavedChanges());
  EXPECT_EQ(found[0].Info()->fileName, path);

  {
    Editor e(tmp.Path());
    ASSERT_TRUE(e.ed.RecoverWorkingCopy(found[0]));
    EXPECT_EQ(e.ed.FileName(), path);
    EXPECT_TRUE(e.ed.Modified());
    EXPECT_FALSE(e.ed.ReadOnly());
    EXPECT_FALSE(e.ed.CanUndo());
    EXPECT_EQ(e.ed.Col(), 2);
    EXPECT_EQ(e.ed.Row(), 0);
    EXPECT_EQ(DataOf(e.ed), expected);
    // The restored copy is this editor's now: no other editor finds it.
    EXPECT_TRUE(FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path())).empty());

    ASSERT_TRUE(e.ed.SaveToFile(path));
    EXPECT_EQ(ReadAll(path), expected);
    EXPECT_EQ(ReadAll(docs.File("data.bak")), original);
    EXPECT_FALSE(e.ed.Modified());
  }
  // Closing the editor removes the restored copy and its record.
  EXPECT_TRUE(testing::FolderNames(testing::PrivateFolder(tmp.Path())).empty());
}

TEST(Recovery, DeclinedAndUnmodifiedCopiesAreRemovedAndAFileGoneSinceLoadsReadOnly) {
  TempDir tmp, docs;
  const std::string edited = docs.Write("edited.bin", testing::Pattern(5000, 2));
  const std::string untouched = docs.Write("untouched.bin", testing::Pattern(5000, 3));
  RunAndKill(tmp.Path(), edited, EditSome);
  RunAndKill(tmp.Path(), untouched, [](TByteEditor& ed) { ed.GotoPosition(100, 0, true); });
  ASSERT_EQ(testing::FolderNames(testing::PrivateFolder(tmp.Path())).size(), 6u);

  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 2u);
  int offered = 0;
  for (OrphanedWorkCopy& o : found) {
    if (o.HasUnsavedChanges()) {
      ++offered;
      EXPECT_EQ(o.Info()->fileName, edited);
    }
    o.Discard();
  }
  EXPECT_EQ(offered, 1);
  EXPECT_TRUE(testing::FolderNames(testing::PrivateFolder(tmp.Path())).empty());
  EXPECT_TRUE(FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path())).empty());

  // The file was removed after the crash: the work was made of its pieces
  // and cannot be rebuilt; it is kept, and nothing is opened.
  RunAndKill(tmp.Path(), edited, EditSome);
  ASSERT_EQ(::unlink(edited.c_str()), 0);
  found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  Editor e(tmp.Path());
  EXPECT_FALSE(e.ed.RecoverWorkingCopy(found[0]));
  EXPECT_EQ(e.ed.RecoveryProblem(), piece::RecoverProblem::BaseChanged);
  EXPECT_EQ(e.ed.FileName(), "Untitled");
  EXPECT_EQ(testing::FolderNames(testing::PrivateFolder(tmp.Path())).size(), 3u);
  found.clear();
  found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  found[0].Discard();

  // Opened read-only on purpose: restored, it still may not go over its file.
  RunAndKill(tmp.Path(), untouched, [](TByteEditor& ed) {
    ed.MarkReadOnly(true);
    EditSome(ed);
  });
  found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  Editor again(tmp.Path());
  ASSERT_TRUE(again.ed.RecoverWorkingCopy(found[0]));
  EXPECT_EQ(again.ed.FileName(), untouched);
  EXPECT_TRUE(again.ed.ReadOnly());
}

// The record's name and flags; its file identity must be the editor's.
std::optional<RecoveryInfo> RecordOf(TByteEditor& ed) {
  const std::vector<uint8_t> bytes = ReadAll(RecoveryRecordPath(ed.WorkFileName()));
  std::optional<RecoveryInfo> info = DecodeRecoveryRecord(std::string(bytes.begin(), bytes.end()));
  if (info) {
    EXPECT_EQ(info->file, ed.FileOnDisk());
    info->file = {};
  }
  return info;
}

TEST(Recovery, TheRecordFollowsTheDocumentAndALiveEditorIsNeverTaken) {
  TempDir tmp, docs;
  const std::string a = docs.Write("a.bin", "ABCDEFGH");
  const std::string b = docs.File("b.bin");
  {
    Editor e(tmp.Path());
    TByteEditor& ed = e.ed;
    EXPECT_TRUE(testing::FolderNames(testing::PrivateFolder(tmp.Path())).empty());  // nothing on disk before a byte arrives

    ASSERT_TRUE(ed.LoadFromFile(a));
    EXPECT_EQ(RecordOf(ed), (RecoveryInfo{a, false}));
    ed.WMChar('7');
    // Marked modified by the change itself, before any notification arrives.
    EXPECT_EQ(RecordOf(ed), (RecoveryInfo{a, true}));
    EXPECT_TRUE(FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path())).empty());

    // A failed load keeps the modified document, and the record says so.
    EXPECT_FALSE(ed.LoadFromFile(docs.File("missing.bin")));
    EXPECT_EQ(RecordOf(ed), (RecoveryInfo{a, true}));

    ed.MarkReadOnly(true);
    EXPECT_EQ(RecordOf(ed), (RecoveryInfo{a, true, true}));
    ASSERT_TRUE(ed.SaveToFile(b));
    EXPECT_EQ(RecordOf(ed), (RecoveryInfo{b, false}));
    ed.WMChar('1');
    ed.NewDocument("Untitled");
    EXPECT_EQ(RecordOf(ed), (RecoveryInfo{"Untitled", false, true}));
    // An empty new document has no store, only its record, and its editor
    // is still running: the search leaves it alone.
    EXPECT_FALSE(ed.HasWorkStream());
    EXPECT_TRUE(FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path())).empty());
    EXPECT_EQ(testing::FolderNames(testing::PrivateFolder(tmp.Path())).size(), 1u);
  }
  EXPECT_TRUE(testing::FolderNames(testing::PrivateFolder(tmp.Path())).empty());
}

// Undo that takes the document back to its loaded state takes the record's
// modified mark with it, so that a crash afterwards offers nothing.
TEST(Recovery, UndoingEveryChangeLeavesNothingToRecover) {
  TempDir tmp, docs;
  const std::string a = docs.Write("a.bin", "ABCDEFGH");
  {
    Editor e(tmp.Path());
    TByteEditor& ed = e.ed;
    ASSERT_TRUE(ed.LoadFromFile(a));
    ed.WMChar('7');
    ed.WMChar('7');
    ed.Undo();
    EXPECT_TRUE(ed.Modified());
    EXPECT_EQ(RecordOf(ed), (RecoveryInfo{a, true}));
    ed.Undo();
    ASSERT_FALSE(ed.Modified());
    EXPECT_EQ(RecordOf(ed), (RecoveryInfo{a, false}));
  }

  RunAndKill(tmp.Path(), a, [](TByteEditor& ed) {
    ed.WMChar('7');
    const std::vector<uint8_t> tail = {1, 2, 3};
    ed.AppendBuffer(tail.data(), static_cast<int32_t>(tail.size()));
    ed.Undo();
    ed.Undo();
  });
  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_FALSE(found[0].HasUnsavedChanges());
  found[0].Discard();
}

TEST(Recovery, TheModifiedMarkFollowsAnyMixOfUndoAndRedo) {
  TempDir tmp, docs;
  const std::string a = docs.Write("a.bin", "ABCDEFGH");
  Editor e(tmp.Path());
  TByteEditor& ed = e.ed;
  ASSERT_TRUE(ed.LoadFromFile(a));
  ed.WMChar('7');
  const std::vector<uint8_t> tail = {1, 2, 3};
  ed.AppendBuffer(tail.data(), 3);
  std::mt19937 rng(18);
  for (int i = 0; i < 200; ++i) {
    if (rng() % 2) ed.Undo();
    else ed.Redo();
    EXPECT_EQ(RecordOf(ed), (RecoveryInfo{a, ed.Modified()})) << "step " << i;
  }
  // Redone up to the end after undoing all: the record says modified again.
  while (ed.CanUndo()) ed.Undo();
  ASSERT_EQ(RecordOf(ed), (RecoveryInfo{a, false}));
  ed.Redo();
  EXPECT_EQ(RecordOf(ed), (RecoveryInfo{a, true}));

  // And so does the work a killed editor left after redoing.
  RunAndKill(tmp.Path(), a, [](TByteEditor& ed) {
    ed.WMChar('7');
    ed.Undo();
    ed.Redo();
  });
  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].HasUnsavedChanges());
  found[0].Discard();
}

TEST(Recovery, WorkKeptOnPurposeSurvivesTheEditorWhole) {
  TempDir tmp, docs;
  const std::string path = docs.Write("a.bin", testing::Pattern(3000));
  std::vector<uint8_t> expected;
  {
    Editor e(tmp.Path());
    ASSERT_TRUE(e.ed.LoadFromFile(path));
    EditSome(e.ed);
    expected = DataOf(e.ed);
    ASSERT_TRUE(e.ed.KeepForRecovery());
  }
  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  ASSERT_TRUE(found[0].HasUnsavedChanges());
  Editor e(tmp.Path());
  ASSERT_TRUE(e.ed.RecoverWorkingCopy(found[0]));
  EXPECT_EQ(DataOf(e.ed), expected);
  // The file is still the one the work was loaded from.
  EXPECT_FALSE(e.ed.FileChangedOnDisk());
}

TEST(Recovery, WorkOverAFileChangedSinceTheCrashIsKeptNotReplayed) {
  TempDir tmp, docs;
  const std::string path = docs.Write("a.bin", testing::Pattern(3000));
  {
    Editor e(tmp.Path());
    ASSERT_TRUE(e.ed.LoadFromFile(path));
    EditSome(e.ed);
    ASSERT_TRUE(e.ed.KeepForRecovery());
  }
  // Another program writes the file while no editor runs: the pieces of the
  // work would now read its bytes, a mix the user never made.
  docs.Write("a.bin", "replaced by someone else");
  const std::vector<std::string> kept = testing::FolderNames(testing::PrivateFolder(tmp.Path()));
  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].HasUnsavedChanges());
  EXPECT_FALSE(found[0].MatchesItsFile());
  Editor e(tmp.Path());
  ASSERT_TRUE(e.ed.LoadFromFile(docs.Write("mine.bin", "mine")));
  EXPECT_FALSE(e.ed.RecoverWorkingCopy(found[0]));
  EXPECT_EQ(e.ed.RecoveryProblem(), piece::RecoverProblem::BaseChanged);
  // Nothing changed: not the editor's document, not the file, not the work.
  EXPECT_EQ(DataOf(e.ed), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
  const std::vector<uint8_t> file = ReadAll(path);
  EXPECT_EQ(std::string(file.begin(), file.end()), "replaced by someone else");
  found[0].Release();
  std::vector<std::string> now = testing::FolderNames(testing::PrivateFolder(tmp.Path()));
  for (const std::string& name : kept) EXPECT_NE(std::find(now.begin(), now.end(), name), now.end()) << name;
}

// A working copy of an earlier version, without a journal, holds the whole
// document: it is matched against its file and restored as it is.
TEST(Recovery, AWholeWorkingCopyWithoutAJournalIsItsContent) {
  TempDir tmp, docs;
  const std::string path = docs.Write("doc.bin", "ABCDEF");
  std::string work;
  {
    Editor e(tmp.Path());
    ASSERT_TRUE(e.ed.LoadFromFile(path));
    e.ed.WMChar('3');
    ASSERT_TRUE(e.ed.KeepForRecovery());
    work = e.ed.WorkFileName();
  }
  ASSERT_EQ(::unlink(WorkJournalPath(work).c_str()), 0);
  std::ofstream(work, std::ios::binary | std::ios::trunc) << "3BCDEF";
  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].HasUnsavedChanges());
  EXPECT_FALSE(found[0].MatchesItsFile());
  docs.Write("doc.bin", "3BCDEF");
  EXPECT_TRUE(found[0].MatchesItsFile()) << "saved before the record could say so";
  docs.Write("doc.bin", "ABCDEF");
  Editor e(tmp.Path());
  ASSERT_TRUE(e.ed.RecoverWorkingCopy(found[0]));
  EXPECT_EQ(DataOf(e.ed), (std::vector<uint8_t>{'3', 'B', 'C', 'D', 'E', 'F'}));
  e.ed.WMChar('1');
  EXPECT_TRUE(e.ed.FileChangedOnDisk());  // written twice above
  e.ed.AcceptFileOnDisk();
  ASSERT_TRUE(e.ed.SaveToFile(path));
  EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{0x13, 'B', 'C', 'D', 'E', 'F'}));
}

TEST(Recovery, AWorkingCopyWithoutAReadableRecordOpensAsANewDocument) {
  TempDir tmp, docs;
  const std::string path = docs.Write("doc.bin", "ABCDEF");
  const std::string big(10 << 20, 'x');
  for (const std::string& record : {std::string("\x01 garbage"), big, std::string(),
                                    "Bytemoor recovery 1\nmodified 1\nread-only 0\nfile 0 0 0 0 0 0\n"
                                    "name 10485760\n" + big}) {
    std::string work;
    {
      Editor e(tmp.Path());
      ASSERT_TRUE(e.ed.LoadFromFile(path));
      e.ed.WMChar('7');
      ASSERT_TRUE(e.ed.KeepForRecovery());
      work = e.ed.WorkFileName();
    }
    if (record.empty()) ASSERT_EQ(::unlink(RecoveryRecordPath(work).c_str()), 0);  // none at all
    else std::ofstream(RecoveryRecordPath(work), std::ios::binary) << record;
    std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()));
    ASSERT_EQ(found.size(), 1u);
    ASSERT_TRUE(found[0].Unidentified());
    Editor e(tmp.Path());
    ASSERT_TRUE(e.ed.RecoverWorkingCopy(found[0]));
    EXPECT_EQ(e.ed.FileName(), "Untitled");
    EXPECT_TRUE(e.ed.Modified());
    EXPECT_TRUE(e.ed.ReadOnly());
    EXPECT_EQ(DataOf(e.ed), (std::vector<uint8_t>{0x71, 'B', 'C', 'D', 'E', 'F'}));
    e.ed.NewDocument("Untitled");
  }
}

TEST(Recovery, AFolderPlantedForTheWorkingCopiesIsNeverUsed) {
  TempDir tmp, docs, theirs, cache;
  ASSERT_EQ(::symlink(theirs.Path().c_str(), testing::PrivateFolder(tmp.Path()).c_str()), 0);
  // The private folder in the cache is taken by another link as well.
  const char* oldCache = std::getenv("XDG_CACHE_HOME");
  const std::string savedCache = oldCache ? oldCache : "";
  ::setenv("XDG_CACHE_HOME", cache.Path().c_str(), 1);
  ASSERT_EQ(::symlink(theirs.Path().c_str(), (cache.Path() + "/bytemoor").c_str()), 0);
  Editor e(tmp.Path());
  EXPECT_FALSE(e.ed.LoadFromFile(docs.Write("doc.bin", "ABCDEF")));
  EXPECT_EQ(e.ed.LoadError(), "Temporary folder " + testing::PrivateFolder(tmp.Path()) +
                                  "/: a symbolic link, not a folder; " + cache.Path() +
                                  "/bytemoor: a symbolic link, not a folder");
  const uint8_t byte = 1;
  EXPECT_THROW(e.ed.AppendBuffer(&byte, 1), FileError);
  EXPECT_TRUE(testing::FolderNames(theirs.Path()).empty());
  // With the cache folder free, the work goes there, and still nothing is
  // made in the planted folder.
  ::unlink((cache.Path() + "/bytemoor").c_str());
  EXPECT_TRUE(e.ed.LoadFromFile(docs.Write("other.bin", "XYZ")));
  EXPECT_EQ(e.ed.WorkFileName().rfind(cache.Path() + "/bytemoor/", 0), 0u);
  EXPECT_TRUE(testing::FolderNames(theirs.Path()).empty());
  e.ed.NewDocument("Untitled");
  if (oldCache) ::setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
  else ::unsetenv("XDG_CACHE_HOME");
}

}  // namespace
}  // namespace bm
