#include "compare/editor_side.h"

#include <algorithm>
#include <cstring>

#include "editor/byte_editor.h"

namespace bm {

namespace {

// Reads up to this long are served by the read window when it holds them.
constexpr int64_t kWindowRead = 256;

}  // namespace

CompareSide EditorSide(TByteEditor& ed) {
  CompareSide side;
  side.size = ed.DataSize();
  side.read = [&ed](int64_t position, int64_t count, uint8_t* out) -> int64_t {
    if (position < 0 || count <= 0) return 0;
    if (count <= kWindowRead) {
      const int64_t n = std::min(count, ed.DataSize() - position);
      if (n <= 0) return 0;
      ed.EnsureReadWindow(position);
      const int64_t start = ed.ReadWindowStart();
      if (start >= 0 && position >= start && position + n <= start + kReadWindowSize) {
        std::memcpy(out, ed.ReadWindow() + (position - start), static_cast<size_t>(n));
        return n;
      }
    }
    return ed.ReadBytes(out, position, count);
  };
  return side;
}

}  // namespace bm
