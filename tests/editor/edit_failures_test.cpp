// Range edits and their undo with one call of the working copy's file layer
// failing, at every step in turn: a failed edit must leave everything as it
// was, and the same edit must then go through.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"
#include "support/failing_files.h"

namespace bm {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::FailingFileSystem;

struct State {
  Bytes data;
  ChangeMarks marks;
  Bytes undo;
  int undoCount;
  Bytes redo;
  bool canUndo, modified;
  int col;
  int64_t row;
  int64_t selAnchor, selFrom, selTo;
  size_t tempFiles;  // working copy and undo data on disk
  bool operator==(const State&) const = default;
};

std::ostream& operator<<(std::ostream& out, const State& s) {
  return out << "{size " << s.data.size() << ", marks " << s.marks.Length() << ", undo "
             << s.undoCount << "/" << s.undo.size() << ", modified " << s.modified << ", cell "
             << s.col << "," << s.row << ", sel " << s.selAnchor << ":" << s.selFrom << ".."
             << s.selTo << ", temp files " << s.tempFiles << "}";
}

// An editor on a file system whose temporary folder is its own.
struct Rig {
  Rig() {
    fx.ed.SetEditLimits(512, 256);  // many blocks, and records on disk from 513 bytes
    fx.Load(testing::Pattern(3000));
    for (int32_t p : {5, 700, 1400, 2900}) fx.Overwrite(p, 0xEE);
    Bytes three = {1, 2, 3};
    fx.ed.InsertBuffer(three.data(), 3, 100);
    fx.Select(200, 209);
    fx.ed.DeleteSelection();
    fx.Put(1000);
  }
  State Capture() {
    State s{fx.Data(),         fx.ed.GetChangeMarks(), fx.ed.UndoStream(), fx.ed.UndoCount(),
            fx.ed.RedoStream(), fx.ed.CanUndo(),   fx.ed.Modified(),       fx.ed.Col(),        fx.ed.Row(),
            fx.ed.SelAnchor(), fx.ed.SelFrom(),        fx.ed.SelTo(),      0};
    for (const auto& entry : std::filesystem::directory_iterator(temp.Path())) {
      (void)entry;
      ++s.tempFiles;
    }
    return s;
  }

  testing::TempDir temp;
  FailingFileSystem files{temp.Path()};
  testing::EditorFixture fx{800, 600, files};
};

struct Scenario {
  const char* name;
  std::function<void(testing::EditorFixture&)> prepare;
  std::function<void(testing::EditorFixture&)> edit;
};

Bytes Fill(size_t n, uint8_t v) { return Bytes(n, v); }

void Insert(testing::EditorFixture& f, size_t n, int32_t at) {
  const Bytes b = Fill(n, 0xA5);
  f.ed.InsertBuffer(b.data(), static_cast<int32_t>(n), at);
}
void Paste(testing::EditorFixture& f, size_t n) {
  const Bytes b = Fill(n, 0x5A);
  f.ed.PasteBuffer(b.data(), static_cast<int32_t>(n));
}
void Append(testing::EditorFixture& f, size_t n) {
  const Bytes b = Fill(n, 0x3C);
  f.ed.AppendBuffer(b.data(), static_cast<int32_t>(n));
}
void DeleteRun(testing::EditorFixture& f, int32_t from, int32_t to) {
  f.Select(from, to);
  f.ed.DeleteSelection();
}
void DeleteSelection(testing::EditorFixture& f) { f.ed.DeleteSelection(); }
void Nothing(testing::EditorFixture&) {}
// A typed byte, with the old value as the typing code has already read it.
void TypeOver(testing::EditorFixture& f, int32_t p, uint8_t v) {
  f.ed.OverwriteByte(static_cast<uint8_t>(~v), v, p, f.ed.RowOfPosition(p));
}
void Undo(testing::EditorFixture& f) { f.ed.Undo(); }
void Overwrite(testing::EditorFixture& f, int32_t at, size_t n) {
  const Bytes b = Fill(n, 0x77);
  f.ed.OverwriteBytes(at, b.data(), static_cast<int32_t>(n));
}
void Redo(testing::EditorFixture& f) { f.ed.Redo(); }
// The edit, then its undo: ready for a redo.
std::function<void(testing::EditorFixture&)> Undone(
    std::function<void(testing::EditorFixture&)> edit) {
  return [edit](testing::EditorFixture& f) {
    edit(f);
    f.ed.Undo();
  };
}

std::vector<Scenario> Scenarios() {
  return {
      {"insert at the start", Nothing, [](auto& f) { Insert(f, 40, 0); }},
      {"insert in the middle", Nothing, [](auto& f) { Insert(f, 600, 1500); }},
      {"insert at the cursor", Nothing, [](auto& f) { Insert(f, 7, 1000); }},
      {"append", Nothing, [](auto& f) { Append(f, 300); }},
      {"delete a short run", [](auto& f) { f.Select(10, 20); }, DeleteSelection},
      {"delete a run kept on disk", [](auto& f) { f.Select(100, 1099); }, DeleteSelection},
      {"delete to the end", [](auto& f) { f.Select(2500, 2992); }, DeleteSelection},
      {"delete key", Nothing, [](auto& f) { f.ed.DeleteAtCursor(false); }},
      {"backspace", Nothing, [](auto& f) { f.ed.DeleteAtCursor(true); }},
      {"paste with no selection", Nothing, [](auto& f) { Paste(f, 300); }},
      {"paste growing a selection", [](auto& f) { f.Select(400, 409); },
       [](auto& f) { Paste(f, 700); }},
      {"paste shrinking a selection", [](auto& f) { f.Select(400, 1199); },
       [](auto& f) { Paste(f, 5); }},
      {"paste over a selection to the end", [](auto& f) { f.Select(2900, 2992); },
       [](auto& f) { Paste(f, 90); }},
      {"insert with a full history",
       [](auto& f) {
         for (int i = 0; i < kMaxUndoRecords; ++i) f.Overwrite(i, static_cast<uint8_t>(i ^ 0x55));
       },
       [](auto& f) { Insert(f, 20, 10); }},
      {"undo an insert", [](auto& f) { Insert(f, 600, 100); }, Undo},
      {"undo a short delete", [](auto& f) { DeleteRun(f, 30, 60); }, Undo},
      {"undo a delete kept on disk", [](auto& f) { DeleteRun(f, 100, 1099); }, Undo},
      {"undo a growing paste",
       [](auto& f) {
         f.Select(400, 409);
         Paste(f, 700);
       },
       Undo},
      {"undo a shrinking paste",
       [](auto& f) {
         f.Select(400, 1199);
         Paste(f, 5);
       },
       Undo},
      {"undo an append", [](auto& f) { Append(f, 300); }, Undo},
      {"overwrite a run in place", Nothing, [](auto& f) { Overwrite(f, 1000, 8); }},
      {"overwrite a run kept on disk", Nothing, [](auto& f) { Overwrite(f, 1000, 600); }},
      {"undo an overwritten run", [](auto& f) { Overwrite(f, 2990, 3); }, Undo},
      {"undo a byte change", [](auto& f) { f.Overwrite(1234, 0x11); }, Undo},
      {"redo an insert", Undone([](auto& f) { Insert(f, 600, 100); }), Redo},
      {"redo an insert kept on disk", Undone([](auto& f) { Insert(f, 900, 100); }), Redo},
      {"redo a shrinking paste",
       Undone([](auto& f) {
         f.Select(400, 1199);
         Paste(f, 5);
       }),
       Redo},
      {"redo an append", Undone([](auto& f) { Append(f, 300); }), Redo},
      {"undo a redone delete kept on disk",
       [](auto& f) {
         DeleteRun(f, 100, 1099);
         f.ed.Undo();
         f.ed.Redo();
       },
       Undo},
      {"overwrite a byte", Nothing, [](auto& f) { TypeOver(f, 1234, 0x11); }},
      {"overwrite a byte with a full history",
       [](auto& f) {
         for (int i = 0; i < kMaxUndoRecords; ++i) f.Overwrite(i, static_cast<uint8_t>(i ^ 0x55));
       },
       [](auto& f) { TypeOver(f, 1500, 0x22); }},
  };
}

TEST(EditFailures, AFailingStepLeavesEverythingAsItWasAndTheEditCanBeRepeated) {
  for (const Scenario& scenario : Scenarios()) {
    SCOPED_TRACE(scenario.name);
    // The edit without a failure: how many steps it takes and what it gives.
    auto clean = std::make_unique<Rig>();
    scenario.prepare(clean->fx);
    (void)clean->Capture();  // read as the failing runs read before their edit (caches alike)
    clean->files.FailAt(0);
    scenario.edit(clean->fx);
    const int64_t steps = clean->files.Steps();
    const State expected = clean->Capture();
    ASSERT_GT(steps, 0);

    for (int64_t step = 1; step <= steps; ++step) {
      SCOPED_TRACE(::testing::Message() << "failing step " << step << " of " << steps);
      auto rig = std::make_unique<Rig>();
      scenario.prepare(rig->fx);
      const State before = rig->Capture();
      rig->files.FailAt(step);
      std::string message;
      try {
        scenario.edit(rig->fx);
      } catch (const FileError& e) {
        message = e.what();
      }
      ASSERT_TRUE(rig->files.Fired());
      if (message.empty()) {
        // The failure was one the edit could do without.
        EXPECT_EQ(rig->Capture(), expected);
        continue;
      }
      EXPECT_EQ(rig->Capture(), before);
      EXPECT_EQ(message.rfind(
                    "Cannot change the data\r\nTemporary folder " + testing::PrivateFolder(rig->temp.Path()) + "/: ", 0),
                0u)
          << message;
      rig->files.Disarm();
      scenario.edit(rig->fx);
      EXPECT_EQ(rig->Capture(), expected);
      if (HasFailure()) return;
    }
  }
}

TEST(EditFailures, ARefusedWriteNamesTheTemporaryFolderAndItsReason) {
  Rig rig;
  const State before = rig.Capture();
  rig.files.FailAt(1, FailingFileSystem::kWrite);
  try {
    Insert(rig.fx, 10, 0);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot change the data\r\nTemporary folder " +
                                         testing::PrivateFolder(rig.temp.Path()) + "/: " +
                                         std::strerror(ENOSPC));
  }
  EXPECT_EQ(rig.Capture(), before);
}

TEST(EditFailures, TheFirstInsertionIntoANewDocumentFailsCleanlyWithoutAWorkingCopy) {
  testing::TempDir temp;
  FailingFileSystem files(temp.Path());
  testing::EditorFixture fx(800, 600, files);
  files.FailAt(1, FailingFileSystem::kCreate);
  try {
    Insert(fx, 5, 0);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot change the data\r\nTemporary folder " +
                                         testing::PrivateFolder(temp.Path()) + "/: " + std::strerror(ENOSPC));
  }
  EXPECT_EQ(fx.ed.DataSize(), 0);
  EXPECT_FALSE(fx.ed.Modified());
  EXPECT_FALSE(fx.ed.CanUndo());
  files.Disarm();
  Insert(fx, 5, 0);
  EXPECT_EQ(fx.Data(), Fill(5, 0xA5));
}

}  // namespace
}  // namespace bm
