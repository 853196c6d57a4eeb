// Random sequences of edits, undos and redos, applied to the editor and to a
// plain byte vector with its own undo and redo stacks; the two must agree
// after every step. A second run makes a random file call of the range edits,
// undos and redos fail: such a step must change nothing, in the editor as in
// the model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"
#include "support/failing_files.h"

namespace bm {
namespace {

using Bytes = std::vector<uint8_t>;

struct Snapshot {
  Bytes data;
  bool modified;
  int64_t selAnchor, selFrom, selTo;
  int col;
  int64_t row;
  ChangeMarks marks = {};  // what a redo brings back
};

class Model {
 public:
  Bytes data;
  bool modified = false;
  std::deque<Snapshot> undo;
  std::deque<Snapshot> redo;

  // A change: its undo goes on the stack, what was undone can be redone no more.
  void Push(Snapshot s) {
    undo.push_back(std::move(s));
    if (undo.size() > static_cast<size_t>(kMaxUndoRecords)) undo.pop_front();
    redo.clear();
    modified = true;
  }
  int32_t Size() const { return static_cast<int32_t>(data.size()); }
};

// The editor's file system, made before the editor.
struct ModelFiles {
  testing::TempDir temp;
  testing::FailingFileSystem files{temp.Path()};
};

class EditModelTest : public ::testing::TestWithParam<uint32_t>,
                      protected ModelFiles,
                      public testing::EditorFixture {
 protected:
  EditModelTest() : EditorFixture(800, 600, files) {}
  void Run(int steps);

  // The editor's state just before a change, as its undo must bring it back.
  Snapshot Before() {
    return {model.data, model.modified, ed.SelAnchor(), ed.SelFrom(), ed.SelTo(), ed.Col(), ed.Row()};
  }
  // The same with the change marks, as a redo must bring them back.
  Snapshot Now() {
    Snapshot s = Before();
    s.marks = ed.GetChangeMarks();
    return s;
  }
  void ExpectCursorOf(const Snapshot& s) {
    EXPECT_EQ(ed.SelAnchor(), s.selAnchor);
    EXPECT_EQ(ed.SelFrom(), s.selFrom);
    EXPECT_EQ(ed.SelTo(), s.selTo);
    EXPECT_EQ(ed.Col(), s.col);
    EXPECT_EQ(ed.Row(), s.row);
  }

  int32_t Pick(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); }
  bool Chance(int percent) { return Pick(0, 99) < percent; }
  Bytes RandomBytes(int32_t n) {
    Bytes b(static_cast<size_t>(n));
    for (auto& v : b) v = static_cast<uint8_t>(Pick(0, 255));
    return b;
  }

  void Step();

  // Saving over the same name again keeps the previous file as a backup
  // beside it; both go with dir.
  std::string savedPath_ = dir.File("saved.bin");
  int undoBurst = 0;
  int redoBurst = 0;
  // Percentage of range edits and undos that get a failing file call.
  int failurePercent = 0;
  int failures = 0;
  Model model;
  std::mt19937 rng;
};

void EditModelTest::Step() {
  const int32_t size = model.Size();
  const bool noSize = ed.NoSizeChange();
  int op = Pick(0, 99);
  if (undoBurst > 0) {
    --undoBurst;
    op = 80;
  } else if (redoBurst > 0) {
    --redoBurst;
    op = 90;
  } else if (op == 99 && Chance(50)) {
    // A run of undos, far enough to reach back past a save or the load,
    // and often a run of redos after it.
    undoBurst = Pick(5, 60);
    if (Chance(60)) redoBurst = Pick(3, 70);
  }

  // Typed bytes and saves are not range edits: they never get a failure.
  if (op >= 33 && op < 93 && Chance(failurePercent))
    files.FailAt(Pick(1, 12));
  else
    files.Disarm();

  if (op < 20) {
    // A typed hex digit or character at the cursor.
    if (size == 0) return;
    const int32_t p = ed.CursorPosition();
    const int col = ed.Col();
    const uint8_t old = model.data[static_cast<size_t>(p)];
    uint8_t c, now;
    if (col >= ed.FirstCharColumn()) {
      c = static_cast<uint8_t>(Pick(0x20, 0x7E));
      now = c;
    } else {
      const int digit = Pick(0, 15);
      c = static_cast<uint8_t>("0123456789abcdef"[digit]);
      if (Chance(50)) c = static_cast<uint8_t>(std::toupper(c));
      now = (col - 2) % 2 == 0 ? static_cast<uint8_t>(digit << 4 | (old & 0x0F))
                               : static_cast<uint8_t>(digit | (old & 0xF0));
    }
    Snapshot s = Before();
    s.selAnchor = s.selFrom = s.selTo = -1;  // typing clears the selection first
    ed.WMChar(c);
    if (now != old) {
      model.Push(std::move(s));
      model.data[static_cast<size_t>(p)] = now;
    }
  } else if (op < 33) {
    // Overwrite one byte anywhere.
    if (size == 0) return;
    const int32_t p = Pick(0, size - 1);
    const uint8_t v = static_cast<uint8_t>(Pick(0, 255));
    Snapshot s = Before();
    ed.OverwriteByte(ed.ReadByte(p), v, p, ed.RowOfPosition(p));
    if (v != model.data[static_cast<size_t>(p)]) {
      model.Push(std::move(s));
      model.data[static_cast<size_t>(p)] = v;
    }
  } else if (op < 43) {
    // Insert, at the cursor or elsewhere.
    const int32_t p = Chance(50) ? ed.CellToPosition(ed.Col(), ed.Row()) : Pick(0, size);
    const Bytes b = RandomBytes(Pick(1, 16));
    const bool atCursor = p == ed.CellToPosition(ed.Col(), ed.Row());
    Snapshot s = Before();
    ed.InsertBuffer(b.data(), static_cast<int32_t>(b.size()), p);
    if (!noSize) {
      model.Push(std::move(s));
      model.data.insert(model.data.begin() + p, b.begin(), b.end());
      if (atCursor) {
        EXPECT_EQ(ed.SelAnchor(), p);
        EXPECT_EQ(ed.SelFrom(), p);
        EXPECT_EQ(ed.SelTo(), p + static_cast<int32_t>(b.size()) - 1);
      }
    }
  } else if (op < 48) {
    const Bytes b = RandomBytes(Pick(1, 16));
    Snapshot s = Before();
    ed.AppendBuffer(b.data(), static_cast<int32_t>(b.size()));
    if (!noSize) {
      model.Push(std::move(s));
      model.data.insert(model.data.end(), b.begin(), b.end());
      EXPECT_EQ(ed.CursorPosition(), size);
      EXPECT_EQ(ed.SelFrom(), size);
      EXPECT_EQ(ed.SelTo(), size + static_cast<int32_t>(b.size()) - 1);
    }
  } else if (op < 60) {
    // Paste over a selection made in either direction, or at the cursor.
    const Bytes b = RandomBytes(Pick(1, 12));
    int32_t n = static_cast<int32_t>(b.size());
    if (size == 0 || Chance(20)) {
      if (size > 0) ed.SetSelStart(Pick(0, size - 1));
      const int32_t p = ed.CellToPosition(ed.Col(), ed.Row());
      Snapshot s = Before();
      ed.PasteBuffer(b.data(), n);
      if (!noSize) {
        model.Push(std::move(s));
        model.data.insert(model.data.begin() + p, b.begin(), b.end());
      }
      return;
    }
    const int32_t a = Pick(0, size - 1);
    const int32_t e = std::clamp(a + Pick(-20, 20), 0, size - 1);
    ed.SetSelStart(a);
    ed.SetSelEnd(e);
    int32_t lo = std::min(a, e);
    const int32_t len = std::max(a, e) - lo + 1;
    Snapshot s = Before();
    bool cursorOnFirst = a <= e;
    if (noSize) {
      n = std::min(n, len);
      if (n < len) {
        // The paste first narrows the selection to n bytes from its start.
        s.selAnchor = s.selFrom = lo;
        s.selTo = lo + n - 1;
        const GridCell cell = ed.PositionToCell(lo, ed.Col() >= ed.FirstCharColumn());
        s.col = cell.col;
        s.row = cell.row;
        cursorOnFirst = true;
      }
    }
    ed.PasteBuffer(b.data(), static_cast<int32_t>(b.size()));
    model.Push(std::move(s));
    model.data.erase(model.data.begin() + lo, model.data.begin() + lo + (noSize ? n : len));
    model.data.insert(model.data.begin() + lo, b.begin(), b.begin() + n);
    if (cursorOnFirst) {
      EXPECT_EQ(ed.SelAnchor(), lo);
      EXPECT_EQ(ed.SelFrom(), lo);
      EXPECT_EQ(ed.SelTo(), lo + n - 1);
    } else {
      EXPECT_EQ(ed.SelAnchor(), -1);
    }
    EXPECT_EQ(ed.CursorPosition(), lo);
  } else if (op < 70) {
    // Delete a new selection, the current one, or the cursor's byte.
    if (size > 0 && Chance(60)) {
      const int32_t a = Pick(0, size - 1);
      ed.SetSelStart(a);
      ed.SetSelEnd(std::clamp(a + Pick(-40, 40), 0, size - 1));
    }
    int32_t lo = ed.CursorPosition(), hi = lo;
    if (ed.SelAnchor() != -1) {
      lo = std::min(ed.SelFrom(), ed.SelTo());
      hi = std::max(ed.SelFrom(), ed.SelTo());
    }
    Snapshot s = Before();
    ed.DeleteSelection();
    if (!noSize && size > 0) {
      model.Push(std::move(s));
      model.data.erase(model.data.begin() + lo, model.data.begin() + hi + 1);
      EXPECT_EQ(ed.SelAnchor(), -1);
      EXPECT_EQ(ed.CursorPosition(), std::min(lo, std::max(0, model.Size() - 1)));
    }
  } else if (op < 80) {
    const bool backspace = Chance(50);
    const int32_t p = ed.CursorPosition();
    Snapshot s = Before();
    ed.DeleteAtCursor(backspace);
    if (noSize || size == 0 || (backspace && p == 0)) return;
    model.Push(std::move(s));
    const int32_t gone = backspace ? p - 1 : p;
    model.data.erase(model.data.begin() + gone);
    EXPECT_EQ(ed.CursorPosition(), std::min(gone, std::max(0, model.Size() - 1)));
  } else if (op < 88) {
    Snapshot now = Now();
    ed.Undo();
    if (model.undo.empty()) return;
    const Snapshot s = std::move(model.undo.back());
    model.undo.pop_back();
    model.redo.push_back(std::move(now));
    model.data = s.data;
    model.modified = s.modified;
    ExpectCursorOf(s);
  } else if (op < 93) {
    // Redo: the state the undo found, marks included.
    Snapshot now = Before();
    ed.Redo();
    if (model.redo.empty()) return;
    const Snapshot s = std::move(model.redo.back());
    model.redo.pop_back();
    model.undo.push_back(std::move(now));
    model.data = s.data;
    model.modified = s.modified;
    ExpectCursorOf(s);
    EXPECT_EQ(ed.GetChangeMarks(), s.marks);
  } else if (op < 94) {
    // Save under another name: the histories go and Modified is cleared.
    ASSERT_TRUE(ed.SaveToFile(savedPath_));
    model.undo.clear();
    model.redo.clear();
    model.modified = false;
  } else if (op < 98) {
    // Move the cursor to a random byte, field and nibble.
    if (size == 0) return;
    const int32_t p = Pick(0, size - 1);
    GridCell cell = ed.PositionToCell(p, Chance(30));
    if (cell.col < ed.FirstCharColumn()) cell.col += Pick(0, 1);
    ed.MoveCurrent(cell.col, cell.row);
  } else {
    ed.SetNoSizeChange(!noSize);
  }
}

void EditModelTest::Run(int steps) {
  const uint32_t seed = GetParam();
  SCOPED_TRACE(::testing::Message() << "seed " << seed);
  rng.seed(seed);

  if (seed % 5 != 0) {
    model.data = RandomBytes(Pick(1, 3000));
    Load(model.data);
  }

  for (int step = 0; step < steps; ++step) {
    SCOPED_TRACE(::testing::Message() << "step " << step);
    const Bytes undoBefore = ed.UndoStream();
    const Bytes redoBefore = ed.RedoStream();
    const ChangeMarks marksBefore = ed.GetChangeMarks();
    try {
      Step();
    } catch (const FileError& e) {
      ASSERT_TRUE(files.Fired()) << e.what();
      ASSERT_EQ(ed.UndoStream(), undoBefore);
      ASSERT_EQ(ed.RedoStream(), redoBefore);
      ASSERT_EQ(ed.GetChangeMarks(), marksBefore);
      ++failures;
    }
    files.Disarm();
    host.queue.clear();
    ASSERT_EQ(ed.DataSize(), model.Size());
    ASSERT_EQ(Data(), model.data);
    ASSERT_EQ(ed.Modified(), model.modified);
    ASSERT_EQ(ed.CanUndo(), !model.undo.empty());
    ASSERT_EQ(ed.UndoCount(), static_cast<int>(model.undo.size()));
    ASSERT_EQ(ed.CanRedo(), !model.redo.empty());
    ASSERT_EQ(ed.RedoCount(), static_cast<int>(model.redo.size()));
    if (HasFailure()) return;
  }
}

TEST_P(EditModelTest, EditorAgreesWithAPlainVectorModel) { Run(2000); }

TEST_P(EditModelTest, FailedEditsUndosAndRedosChangeNothing) {
  // Small blocks and a low threshold for undo data on disk, so that moves
  // take many steps and removed runs go to files.
  ed.SetEditLimits(48, 32);
  failurePercent = 30;
  Run(1500);
  EXPECT_GT(failures, 20);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditModelTest, ::testing::Range(1u, 11u));

}  // namespace
}  // namespace bm
