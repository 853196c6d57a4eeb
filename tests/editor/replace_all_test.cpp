// ReplaceAll against a model on a byte vector: longer, shorter, equal and
// empty replacements, matches at both ends, overlapping matches, ranges;
// one Undo for all of it; a stopped and a failing pass changing nothing.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "editor/byte_editor.h"
#include "support/editor_fixture.h"
#include "support/failing_files.h"
#include "support/temp_dir.h"

namespace bm::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// Left to right, each match skipping the bytes of the one before.
Bytes ModelReplace(const Bytes& data, const Bytes& pattern, const Bytes& replacement,
                   size_t first, size_t last, int64_t* count) {
  Bytes out(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(first));
  *count = 0;
  size_t i = first;
  while (i < data.size()) {
    if (i + pattern.size() <= last + 1 &&
        std::equal(pattern.begin(), pattern.end(), data.begin() + static_cast<std::ptrdiff_t>(i))) {
      out.insert(out.end(), replacement.begin(), replacement.end());
      i += pattern.size();
      ++*count;
    } else {
      out.push_back(data[i++]);
    }
  }
  return out;
}

size_t FilesIn(const std::string& dir) { return FolderNames(dir).size(); }

class ReplaceAllTest : public ::testing::Test {
 protected:
  ReplaceAllTest() { fx.ed.SetSearchBlocks(4, 64); }
  ReplaceAllRequest Request(const Bytes& pattern, const Bytes& replacement) {
    ReplaceAllRequest r;
    r.pattern = pattern;
    r.replacement = replacement;
    return r;
  }

  TempDir temp;
  FailingFileSystem files{temp.Path()};
  EditorFixture fx{800, 600, files};
};

TEST_F(ReplaceAllTest, AgreesWithTheModelAndOneUndoBringsEverythingBack) {
  std::mt19937 rng(19);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 150; ++round) {
    SCOPED_TRACE(::testing::Message() << "round " << round);
    // Two letters only, so that matches touch, overlap and sit at both ends.
    Bytes data(static_cast<size_t>(pick(1, 600)));
    for (auto& b : data) b = "ab"[pick(0, 1)];
    Bytes pattern(static_cast<size_t>(pick(1, 3)));
    for (auto& b : pattern) b = "ab"[pick(0, 1)];
    if (round % 5 == 0) {  // at the very start and the very end
      std::copy(pattern.begin(), pattern.end(), data.begin());
      if (data.size() >= pattern.size())
        std::copy(pattern.begin(), pattern.end(), data.end() - static_cast<std::ptrdiff_t>(pattern.size()));
    }
    const size_t lengths[] = {0, pattern.size(), pattern.size() + 1, pattern.size() + 7, 1};
    Bytes replacement(lengths[round % 5], 'X');
    for (auto& b : replacement) b = "XYa"[pick(0, 2)];
    fx.Load(data);
    fx.Put(static_cast<int32_t>(data.size() / 2));
    size_t first = 0, last = data.size() - 1;
    if (round % 3 == 1) {
      first = static_cast<size_t>(pick(0, static_cast<int>(data.size()) - 1));
      last = static_cast<size_t>(pick(static_cast<int>(first), static_cast<int>(data.size()) - 1));
    }
    ReplaceAllRequest request = Request(pattern, replacement);
    request.first = static_cast<int32_t>(first);
    request.last = static_cast<int32_t>(last);
    int64_t expectedCount = 0;
    const Bytes expected = ModelReplace(data, pattern, replacement, first, last, &expectedCount);
    const size_t filesBefore = FilesIn(PrivateFolder(temp.Path()));

    const ReplaceAllResult result = fx.ed.ReplaceAll(request);
    EXPECT_EQ(result.count, expectedCount);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(fx.Data(), expected);
    if (expectedCount == 0) {
      EXPECT_FALSE(fx.ed.CanUndo()) << "no match: no change";
      EXPECT_FALSE(fx.ed.Modified());
      EXPECT_EQ(FilesIn(PrivateFolder(temp.Path())), filesBefore);
      continue;
    }
    EXPECT_TRUE(fx.ed.Modified());
    EXPECT_EQ(fx.ed.UndoCount(), 1);
    EXPECT_EQ(fx.ed.UndoDescription(), "Whole content replaced");
    const std::string folder = PrivateFolder(temp.Path());
    EXPECT_EQ(FilesIn(folder), filesBefore) << "the old content is kept as pieces, not copied";
    fx.ed.Undo();
    EXPECT_EQ(fx.Data(), data);
    EXPECT_FALSE(fx.ed.Modified());
    EXPECT_FALSE(fx.ed.CanUndo());
    EXPECT_EQ(fx.ed.CursorPosition(), static_cast<int32_t>(data.size() / 2));
    EXPECT_EQ(FilesIn(folder), filesBefore);
    // Redo and Undo swap the same two versions back and forth.
    ASSERT_TRUE(fx.ed.CanRedo());
    fx.ed.Redo();
    EXPECT_EQ(fx.Data(), expected);
    EXPECT_TRUE(fx.ed.Modified());
    EXPECT_EQ(fx.ed.UndoDescription(), "Whole content replaced");
    fx.ed.Undo();
    EXPECT_EQ(fx.Data(), data);
    EXPECT_FALSE(fx.ed.Modified());
    EXPECT_EQ(FilesIn(folder), filesBefore);
    fx.ed.ClearUndo();
    EXPECT_EQ(FilesIn(folder), filesBefore);
    if (HasFailure()) return;
  }
}

TEST_F(ReplaceAllTest, AmongOtherEditsTheWorkingCopyStaysTheDocument) {
  fx.Load(Bytes{'x', 'a', 'b', 'x', 'a', 'b', 'x'});
  fx.Overwrite(0, 'y');
  fx.ed.ReplaceAll(Request({'a', 'b'}, {'Q', 'Q', 'Q'}));
  EXPECT_EQ(fx.Data(), (Bytes{'y', 'Q', 'Q', 'Q', 'x', 'Q', 'Q', 'Q', 'x'}));
  // Edits after it go to the new content; the file saved is what is shown.
  fx.Select(0, 0);
  fx.ed.DeleteSelection();
  const std::string saved = temp.File("saved.bin");
  ASSERT_TRUE(fx.ed.SaveToFile(saved));
  EXPECT_EQ(ReadAll(saved), (std::vector<unsigned char>{'Q', 'Q', 'Q', 'x', 'Q', 'Q', 'Q', 'x'}));
  EXPECT_FALSE(fx.ed.CanUndo());

  // Undo steps back through the edits around it, one at a time.
  fx.Load(Bytes{'a', 'a', 'a', 'a', 'a'});
  fx.Overwrite(4, 'z');
  EXPECT_EQ(fx.ed.ReplaceAll(Request({'a', 'a'}, {})).count, 2);
  EXPECT_EQ(fx.Data(), (Bytes{'z'})) << "aa twice, no match across the replaced ones";
  fx.Overwrite(0, 'w');
  fx.ed.Undo();
  EXPECT_EQ(fx.Data(), (Bytes{'z'}));
  fx.ed.Undo();
  EXPECT_EQ(fx.Data(), (Bytes{'a', 'a', 'a', 'a', 'z'}));
  fx.ed.Undo();
  EXPECT_EQ(fx.Data(), (Bytes{'a', 'a', 'a', 'a', 'a'}));

  // Everything replaced by nothing leaves an empty document, and Undo refills it.
  fx.Load(Bytes{'a', 'a'});
  EXPECT_EQ(fx.ed.ReplaceAll(Request({'a'}, {})).count, 2);
  EXPECT_EQ(fx.ed.DataSize(), 0);
  fx.ed.Undo();
  EXPECT_EQ(fx.Data(), (Bytes{'a', 'a'}));

  // A size-keeping editor refuses a replacement of another length.
  fx.ed.SetNoSizeChange(true);
  EXPECT_EQ(fx.ed.ReplaceAll(Request({'a'}, {'b', 'b'})).count, 0);
  EXPECT_EQ(fx.ed.ReplaceAll(Request({'a'}, {'b'})).count, 2);
  EXPECT_EQ(fx.Data(), (Bytes{'b', 'b'}));
}

TEST_F(ReplaceAllTest, AStoppedOrFailingPassChangesNothing) {
  Bytes data(3 << 20, 'a');  // a few progress steps
  for (size_t i = 0; i < data.size(); i += 4096) data[i] = 'M';
  fx.Load(data);
  fx.ed.SetSearchBlocks(64 << 10, 1 << 20);
  fx.Overwrite(1, 'b');
  data[1] = 'b';
  const Bytes undoBefore = fx.ed.UndoStream();
  const size_t filesBefore = FilesIn(PrivateFolder(temp.Path()));
  auto unchanged = [&] {
    EXPECT_EQ(fx.Data(), data);
    EXPECT_EQ(fx.ed.UndoStream(), undoBefore);
    EXPECT_EQ(fx.ed.UndoCount(), 1);
    EXPECT_EQ(FilesIn(PrivateFolder(temp.Path())), filesBefore) << "no file is left";
  };

  int calls = 0;
  const ReplaceAllResult stopped = fx.ed.ReplaceAll(
      Request({'M'}, {'M', 'Z'}), [&](int64_t done, int64_t total) {
        EXPECT_LE(done, total);
        return ++calls < 0;
      });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.count, 0);
  EXPECT_EQ(calls, 1);
  unchanged();

  // A write that fails at each point of the pass and of putting its result
  // in place (the added bytes, the journal of the change) changes nothing;
  // only the journal's mark after the whole change may fail without undoing it.
  int raised = 0;
  for (int64_t step = 1; step <= 40; ++step) {
    SCOPED_TRACE(step);
    files.FailAt(step, FailingFileSystem::kWrite);
    int64_t count = -1;
    try {
      count = fx.ed.ReplaceAll(Request({'M'}, {'M', 'Z'})).count;
    } catch (const FileError& e) {
      ++raised;
      EXPECT_NE(std::string(e.what()).find("Cannot change the data\r\n"), std::string::npos) << e.what();
    }
    const bool fired = files.Fired();
    files.Disarm();
    if (count >= 0) {
      EXPECT_EQ(count, 768);
      fx.ed.Undo();
    }
    unchanged();
    if (!fired) break;  // past the last write
  }
  EXPECT_GE(raised, 5);
  // And then it goes through.
  EXPECT_EQ(fx.ed.ReplaceAll(Request({'M'}, {'M', 'Z'})).count, 768);
  EXPECT_EQ(fx.ed.DataSize(), static_cast<int32_t>(data.size() + 768));
}

}  // namespace
}  // namespace bm::testing
