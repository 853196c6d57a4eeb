// TByteEditor's forward search: the pattern's conversion, the busy cursor,
// and the search over the read window and the document's blocks.
#include <algorithm>

#include "editor/busy_cursor.h"
#include "editor/byte_editor.h"
#include "editor/search_engine.h"
#include "platform/codepage.h"

namespace bm {

namespace {

// Read-window loads a search makes before it turns to large blocks.
constexpr int kWindowSteps = 2;

}  // namespace

void TByteEditor::SetSearchBlocks(int64_t first, int64_t largest) {
  searchBlock_ = std::max<int64_t>(largest, 1);
  searchFirstBlock_ = std::clamp<int64_t>(first, 1, searchBlock_);
}

void TByteEditor::ConvertPattern(uint8_t* pattern, int64_t n, bool ignoreCase,
                                 bool translate) const {
  if (n < 1) return;
  if (translate && translation_ != ttAnsi) TextToDataBytes(translation_, pattern, pattern, n);
  if (ignoreCase) AnsiLowerBuff(pattern, static_cast<size_t>(n));
}

SearchReader TByteEditor::DataReader() {
  return [this](uint8_t* buffer, int64_t position, int64_t count) -> int64_t {
    return ReadBytes(buffer, static_cast<int64_t>(position), static_cast<int64_t>(count));
  };
}

SearchOptions TByteEditor::SearchBlocks() const {
  SearchOptions options;
  options.firstBlock = searchFirstBlock_;
  options.blockSize = searchBlock_;
  return options;
}

int64_t TByteEditor::FindData(uint8_t* pattern, int64_t n, int64_t start, int64_t last,
                              bool ignoreCase, bool translate, const uint8_t* any) {
  const int64_t size = DataSize();
  if (last >= size) last = size - 1;
  if (n < 1) return -1;
  // The pattern is converted even when it cannot fit, so that the caller's
  // buffer always holds data bytes afterwards: a later search with it and
  // translate false (Find next) then looks for the same bytes.
  ConvertPattern(pattern, n, ignoreCase, translate);
  start = std::max<int64_t>(start, 0);
  if (int64_t{n} + start > int64_t{last} + 1) return -1;

  BusyCursor busy(Host());
  PatternSearch search(pattern, n, ignoreCase, any);
  const SearchReader noReads = [](uint8_t*, int64_t, int64_t) -> int64_t { return 0; };
  // The read window is kept equal to the data by every edit, so what it
  // holds is searched without reading it again. The search goes on through
  // the window, loaded where the undecided part begins, for a few steps, so
  // that a near match costs one read and leaves the window holding it; a
  // search that goes further reads large blocks.
  auto window = [&] {
    SearchSpan span;
    if (readWindowStart_ != -1 && readWindowStart_ < size) {
      span.data = readWindow_.data();
      span.start = readWindowStart_;
      span.length = std::min<int64_t>(kReadWindowSize, size - readWindowStart_);
    }
    return span;
  };
  int64_t q = -1;
  int64_t from = start;  // the lowest match start not ruled out
  bool done = false;
  for (int step = 0; step < kWindowSteps && n <= kReadWindowSize / 2; ++step) {
    SearchSpan span = window();
    if (span.data == nullptr || from < span.start || from + n > span.start + span.length) {
      readWindowStart_ = -1;
      ReadBytes(readWindow_.data(), static_cast<int64_t>(from), kReadWindowSize);
      readWindowStart_ = static_cast<int64_t>(from);
      span = window();
    }
    const int64_t spanEnd = span.start + span.length;
    q = search.Find(from, std::min<int64_t>(last, spanEnd - 1), noReads, span);
    if (q >= 0 || spanEnd > last) {
      done = true;
      break;
    }
    from = spanEnd - n + 1;
  }
  if (!done) q = search.Find(from, last, DataReader(), window(), SearchBlocks());
  // The window ends up holding the last byte looked at, as a byte-by-byte
  // scan through it would leave it.
  const int64_t examined = q >= 0 ? q + n - 1 : last;
  if (examined >= 0) EnsureReadWindow(static_cast<int64_t>(examined));
  return static_cast<int64_t>(q);
}

}  // namespace bm
