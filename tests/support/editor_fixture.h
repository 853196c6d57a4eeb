// An editor control on a fake window, set up as its window sets it up (the
// host's client, Loaded, a client size), with documents loaded from files in
// a temporary directory of its own. Test fixtures derive from it next to
// ::testing::Test, so the tests reach ed, host and dir directly.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/byte_editor.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace bm::testing {

// n bytes counting up from first (wrapping after 255).
std::vector<uint8_t> Iota(size_t n, uint8_t first = 0);

// All the bytes of ed's document.
std::vector<uint8_t> DataOf(TByteEditor& ed);

struct EditorFixture {
  explicit EditorFixture(int width = 800, int height = 600);
  // The same with the editor on another file system, which must outlive it.
  EditorFixture(int width, int height, FileSystem& files);
  EditorFixture(const EditorFixture&) = delete;
  EditorFixture& operator=(const EditorFixture&) = delete;

  // Loads bytes through a file in dir; a fatal failure if loading fails.
  void Load(const std::vector<uint8_t>& bytes);
  // Load of size bytes of Pattern.
  void LoadPattern(size_t size);
  std::vector<uint8_t> Data() { return DataOf(ed); }

  // Sends a key; returns what KeyDown left in it (0: consumed).
  uint16_t Key(uint16_t key, ShiftState shift = {});
  // The same with Shift held or not and no other modifier.
  uint16_t Key(uint16_t key, bool shift);
  // Types each character of text as WM_CHAR.
  void Type(const char* text);

  // Selects from..to (the anchor at from, the cursor at to).
  void Select(int64_t from, int64_t to);
  // Overwrites the byte at p with v as one byte change.
  void Overwrite(int64_t p, uint8_t v);
  // Allows insert mode and switches it on.
  void InsertMode();

  // Puts the cursor on byte p: its (first or second) hex digit or its
  // character cell.
  void Put(int64_t p, bool charField = false, bool second = false);
  GridCell Cursor() const { return {ed.Col(), ed.Row()}; }
  // The cell of byte p's first or second hex digit.
  GridCell Hex(int64_t p, bool second = false) const;

  TempDir dir;
  FakeWindowHost host;
  TByteEditor ed;
};

}  // namespace bm::testing
