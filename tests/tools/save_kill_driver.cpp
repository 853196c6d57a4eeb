// A process for tools/save_kill.sh to kill at random instants: "save" loads
// a file, cuts 4096 bytes off its end and saves, then appends 4096 "B" bytes
// and saves again; "resume" is the next start: it takes back unsaved work
// (or loads the file), appends 4096 "C" bytes, saves and checks the result.
// Exit codes: 0 done, 2 usage or load, 3 its own save blamed on another
// program, 4 the save failed, 5 the saved file differs from the document.
#include <cstdio>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "platform/posix/posix_files.h"
#include "platform/recovery.h"
#include "support/editor_fixture.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace {

using namespace bm;

int Save(TByteEditor& ed, const std::string& target) {
  if (!ed.SaveToFile(target)) {
    std::fprintf(stderr, "save failed: %s\n", ed.SaveError().c_str());
    return 4;
  }
  return testing::ReadAll(target) == testing::DataOf(ed) ? 0 : 5;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string mode = argv[1], target = argv[2];
  PosixFileSystem files(argv[3]);
  testing::FakeWindowHost host;
  TByteEditor ed(&host, files);
  host.client = &ed;
  ed.Loaded();
  ed.SetClientSize(800, 600);
  const std::vector<uint8_t> b(4096, 'B'), c(4096, 'C');
  if (mode == "save") {
    if (!ed.LoadFromFile(target)) return 2;
    ed.SetSelStart(ed.DataSize() - 4096);
    ed.SetSelEnd(ed.DataSize() - 1);
    ed.DeleteSelection();
    if (const int r = Save(ed, target)) return r;
    ed.AppendBuffer(b.data(), static_cast<int32_t>(b.size()));
    return Save(ed, target);
  }
  if (mode != "resume") return 2;
  bool recovered = false;
  for (const std::string& dir : files.RecoveryDirectories())
    for (OrphanedWorkCopy& orphan : FindOrphanedWorkCopies(dir)) {
      if (!recovered && orphan.HasUnsavedChanges() && !ed.WorkIsInItsFile(orphan)) {
        recovered = ed.RecoverWorkingCopy(orphan);
      } else {
        orphan.Discard();
      }
    }
  if (!recovered && !ed.LoadFromFile(target)) return 2;
  if (ed.FileChangedOnDisk()) return 3;
  ed.AppendBuffer(c.data(), static_cast<int32_t>(c.size()));
  const int r = Save(ed, target);
  ed.NewDocument("Untitled");
  return r;
}
