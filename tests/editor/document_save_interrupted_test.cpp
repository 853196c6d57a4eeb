// Saves cut short at each of their steps, as a kill would cut them, and the
// save of the next start: the file is always the whole old or the whole new
// content (a save in place aside), a whole old copy is always left, and the
// next save neither blames another program nor replaces that copy.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "platform/recovery.h"
#include "support/editor_fixture.h"
#include "support/failing_files.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using testing::FailingFileSystem;
using testing::FakeWindowHost;
using testing::TempDir;

using Bytes = std::vector<unsigned char>;

constexpr SaveStep kSteps[] = {SaveStep::TempWritten,  SaveStep::BackupLinked, SaveStep::BackupCopied,
                               SaveStep::BackupPlaced, SaveStep::Renamed,      SaveStep::InPlaceReady,
                               SaveStep::InPlaceWritten};

Bytes ReadIfThere(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 ? testing::ReadAll(path) : Bytes{};
}

struct Editor {
  FakeWindowHost host;
  TByteEditor ed;
  explicit Editor(FileSystem& files) : ed(&host, files) {
    host.client = &ed;
    ed.Loaded();
    ed.SetClientSize(800, 600);
    host.Deliver();
  }
  void Append(const Bytes& tail) { ed.AppendBuffer(tail.data(), static_cast<int32_t>(tail.size())); }
};

// Loads target, removes its last cut bytes and saves, in a child process
// that the save ends at step; true when the save reached it.
bool SaveKilledAt(const std::string& workTemp, const std::string& target, int32_t cut, SaveStep step) {
  const pid_t child = ::fork();
  if (child == 0) {
    FailingFileSystem files(workTemp);
    files.KillAtSaveStep(step);
    Editor e(files);
    const bool ok = e.ed.LoadFromFile(target);
    e.ed.SetSelStart(e.ed.DataSize() - cut);
    e.ed.SetSelEnd(e.ed.DataSize() - 1);
    e.ed.DeleteSelection();
    ::_exit(ok && e.ed.SaveToFile(target) ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 1) << "the save failed";
  return WEXITSTATUS(status) == FailingFileSystem::kKilled;
}

TEST(DocumentSaveInterrupted, EachStepCutShortLeavesAWholeFileAndTheNextSaveKeepsTheOldCopy) {
  const Bytes old = testing::Pattern(300000, 3);
  constexpr int32_t kCut = 7000;  // shorter: a save in place cut short tears the file
  const Bytes tail2 = testing::Pattern(900, 5);
  const Bytes new1(old.begin(), old.end() - kCut);

  std::vector<bool> reached(std::size(kSteps), false);
  for (const bool hardLink : {false, true}) {
    for (size_t i = 0; i < std::size(kSteps); ++i) {
      SCOPED_TRACE(std::string(hardLink ? "in place, " : "by rename, ") + "step " + std::to_string(i));
      TempDir tmp, docs;
      const std::string target = docs.Write("data.bin", old);
      const std::string backup = docs.File("data.bak");
      // A second name makes the save write through the file's own inode.
      if (hardLink) {
        ASSERT_EQ(::link(target.c_str(), docs.File("other").c_str()), 0);
      }

      reached[i] = SaveKilledAt(tmp.Path(), target, kCut, kSteps[i]) || reached[i];
      const Bytes afterKill = testing::ReadAll(target);
      const bool torn = afterKill != old && afterKill != new1;
      EXPECT_TRUE(!torn || hardLink) << "a save by rename tore the file";
      EXPECT_TRUE(afterKill == old || ReadIfThere(backup) == old) << "no whole old copy is left";

      // The next start: unsaved work comes back as it would be offered.
      PosixFileSystem files(tmp.Path());
      Editor e(files);
      bool recovered = false;
      for (OrphanedWorkCopy& orphan : FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()))) {
        if (orphan.HasUnsavedChanges() && !orphan.MatchesItsFile()) {
          recovered = e.ed.RecoverWorkingCopy(orphan);
        } else {
          orphan.Discard();
        }
      }
      // A save in place wrote the very file the work was made of: from then
      // on the work is kept rather than replayed over changed bytes.
      const bool keptInstead = hardLink && !recovered && e.ed.RecoveryProblem() == piece::RecoverProblem::BaseChanged;
      EXPECT_TRUE(recovered == (afterKill != new1) || keptInstead);
      if (!recovered) {
        ASSERT_TRUE(e.ed.LoadFromFile(target));
      }
      EXPECT_FALSE(e.ed.FileChangedOnDisk()) << "its own save taken for another program's change";
      e.Append(tail2);
      const Bytes expected = testing::DataOf(e.ed);
      struct stat before, after;
      ASSERT_EQ(::stat(target.c_str(), &before), 0);
      ASSERT_TRUE(e.ed.SaveToFile(target)) << e.ed.SaveError();
      ASSERT_EQ(::stat(target.c_str(), &after), 0);
      // A file left one inode with its backup is replaced, never written through.
      if (!hardLink) {
        EXPECT_NE(after.st_ino, before.st_ino) << "saved in place";
      }
      EXPECT_EQ(testing::ReadAll(target), expected);
      const Bytes kept = ReadIfThere(backup);
      EXPECT_TRUE(kept == old || kept == new1) << "the backup is not a whole earlier version";
      if (torn) {
        EXPECT_EQ(kept, old) << "the torn file replaced the backup";
      }
      if (hardLink) {
        EXPECT_EQ(testing::ReadAll(docs.File("other")), expected);
      }
      // Nothing of the cut short save is left beside the file.
      std::vector<std::string> names = {"data.bak", "data.bin"};
      if (hardLink) names.push_back("other");
      EXPECT_EQ(testing::FolderNames(docs.Path()), names);
    }
  }
  for (size_t i = 0; i < std::size(kSteps); ++i) EXPECT_TRUE(reached[i]) << "step " << i << " never reached";
}

}  // namespace
}  // namespace bm
