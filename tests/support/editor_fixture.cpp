#include "support/editor_fixture.h"

#include <gtest/gtest.h>

#include <numeric>

namespace bm::testing {

std::vector<uint8_t> Iota(size_t n, uint8_t first) {
  std::vector<uint8_t> b(n);
  std::iota(b.begin(), b.end(), first);
  return b;
}

std::vector<uint8_t> DataOf(TByteEditor& ed) {
  std::vector<uint8_t> b(static_cast<size_t>(ed.DataSize()));
  if (!b.empty()) ed.ReadBytes(b.data(), 0, static_cast<int64_t>(b.size()));
  return b;
}

EditorFixture::EditorFixture(int width, int height)
    : EditorFixture(width, height, SystemFileSystem()) {}

EditorFixture::EditorFixture(int width, int height, FileSystem& files) : ed(&host, files) {
  host.client = &ed;
  ed.Loaded();
  ed.SetClientSize(width, height);
}

void EditorFixture::Load(const std::vector<uint8_t>& bytes) {
  ASSERT_TRUE(ed.LoadFromFile(dir.Write("data.bin", bytes)));
}

void EditorFixture::LoadPattern(size_t size) { Load(Pattern(size)); }

uint16_t EditorFixture::Key(uint16_t key, ShiftState shift) {
  uint16_t k = key;
  ed.KeyDown(k, shift);
  return k;
}

uint16_t EditorFixture::Key(uint16_t key, bool shift) {
  ShiftState s;
  s.shift = shift;
  return Key(key, s);
}

void EditorFixture::Type(const char* text) {
  for (const char* c = text; *c; ++c) ed.WMChar(static_cast<uint8_t>(*c));
}

void EditorFixture::Select(int64_t from, int64_t to) {
  ed.SetSelStart(from);
  ed.SetSelEnd(to);
}

void EditorFixture::Overwrite(int64_t p, uint8_t v) {
  ed.OverwriteByte(ed.ReadByte(p), v, p, ed.RowOfPosition(p));
}

void EditorFixture::InsertMode() {
  ed.SetAllowInsertMode(true);
  ed.ToggleInsertState();
  ASSERT_TRUE(ed.IsInsertMode());
}

void EditorFixture::Put(int64_t p, bool charField, bool second) {
  const GridCell c = ed.PositionToCell(p, charField);
  ed.MoveCurrent(c.col + (second ? 1 : 0), c.row);
}

GridCell EditorFixture::Hex(int64_t p, bool second) const {
  GridCell c = ed.PositionToCell(p, false);
  c.col += second ? 1 : 0;
  return c;
}

}  // namespace bm::testing
