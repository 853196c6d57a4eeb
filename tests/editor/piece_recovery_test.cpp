// Work rebuilt after a kill at any write of any edit, undo, redo or
// replace-all: always the document after some whole step, never a mix.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <vector>

#include "editor/byte_editor.h"
#include "platform/recovery.h"
#include "support/editor_fixture.h"
#include "support/failing_files.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::FailingFileSystem;

struct Editor {
  testing::FakeWindowHost host;
  TByteEditor ed;
  explicit Editor(FileSystem& files) : ed(&host, files) {
    host.client = &ed;
    ed.Loaded();
    ed.SetClientSize(800, 600);
    ed.SetEditLimits(256, 64);  // large removals kept as pieces
  }
};

// A fixed run of edits of every kind; after each, the document is recorded.
void RunEdits(TByteEditor& ed, uint32_t seed, std::vector<Bytes>* states) {
  std::mt19937 rng(seed);
  auto pick = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
  for (int step = 0; step < 60; ++step) {
    const int64_t size = ed.DataSize();
    const int op = static_cast<int>(pick(0, 9));
    if (op <= 2 && size > 0) {
      const int64_t p = pick(0, size - 1);
      ed.OverwriteByte(ed.ReadByte(p), static_cast<uint8_t>(pick(0, 255)), p, ed.RowOfPosition(p));
    } else if (op == 3) {
      Bytes b(static_cast<size_t>(pick(1, 700)));
      for (auto& x : b) x = static_cast<uint8_t>(pick(0, 255));
      ed.InsertBuffer(b.data(), static_cast<int64_t>(b.size()), pick(0, size));
    } else if (op == 4 && size > 1) {
      const int64_t a = pick(0, size - 1);
      ed.SetSelStart(a);
      ed.SetSelEnd(std::min(size - 1, a + pick(0, 900)));
      ed.DeleteSelection();
    } else if (op == 5 && size > 1) {
      const int64_t a = pick(0, size - 1);
      ed.SetSelStart(a);
      ed.SetSelEnd(std::min(size - 1, a + pick(0, 400)));
      Bytes b(static_cast<size_t>(pick(1, 80)), static_cast<uint8_t>(pick(0, 255)));
      ed.PasteBuffer(b.data(), static_cast<int64_t>(b.size()));
    } else if (op == 6 && size > 0) {
      ReplaceAllRequest request;
      request.pattern = {ed.ReadByte(pick(0, size - 1))};
      request.replacement = {0xEE, 0xEF};
      ed.ReplaceAll(request);
    } else if (op == 7) {
      ed.Undo();
    } else if (op == 8) {
      ed.Redo();
    } else {
      const Bytes tail = {1, 2, 3};
      ed.AppendBuffer(tail.data(), 3);
    }
    if (states) states->push_back(testing::DataOf(ed));
  }
}

TEST(PieceRecovery, AKillAtAnyWriteLeavesWorkThatIsAWholeStep) {
  const Bytes original = testing::Pattern(20000, 9);
  for (const uint32_t seed : {5u, 6u}) {
    SCOPED_TRACE(seed);
    // The states of the run, and how many writes it makes.
    std::vector<Bytes> states = {original};
    int64_t writes = 0;
    {
      testing::TempDir tmp, docs;
      FailingFileSystem files(tmp.Path());
      Editor e(files);
      ASSERT_TRUE(e.ed.LoadFromFile(docs.Write("data.bin", original)));
      files.FailAt(0, FailingFileSystem::kWrite);
      RunEdits(e.ed, seed, &states);
      writes = files.Steps();
    }
    ASSERT_GT(writes, 100);

    int recovered = 0;
    for (int64_t n = 1; n <= writes; n += std::max<int64_t>(1, writes / 40)) {
      SCOPED_TRACE(n);
      testing::TempDir tmp, docs;
      const std::string path = docs.Write("data.bin", original);
      const pid_t child = ::fork();
      if (child == 0) {
        FailingFileSystem files(tmp.Path());
        files.KillInsteadOfFailing();
        Editor e(files);
        if (!e.ed.LoadFromFile(path)) ::_exit(1);
        files.FailAt(n, FailingFileSystem::kWrite);
        RunEdits(e.ed, seed, nullptr);
        ::_exit(0);  // no kill: ended without cleaning up all the same
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status));
      ASSERT_NE(WEXITSTATUS(status), 1);

      PosixFileSystem files(tmp.Path());
      Editor e(files);
      Bytes got = original;
      for (OrphanedWorkCopy& orphan : FindOrphanedWorkCopies(testing::PrivateFolder(tmp.Path()))) {
        if (orphan.HasUnsavedChanges() && !e.ed.WorkIsInItsFile(orphan)) {
          ASSERT_TRUE(e.ed.RecoverWorkingCopy(orphan));
          got = testing::DataOf(e.ed);
          ++recovered;
        } else {
          orphan.Discard();
        }
      }
      EXPECT_NE(std::find(states.begin(), states.end(), got), states.end())
          << "the work after the kill is no whole step's document";
      EXPECT_EQ(testing::ReadAll(path), original) << "the file was written";
      if (HasFailure()) return;
    }
    EXPECT_GT(recovered, 20);
  }
}

}  // namespace
}  // namespace bm
