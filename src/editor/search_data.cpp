// TByteEditor's backward search and match count, on the engines of
// search_backward.* and search_engine.*.
#include <algorithm>

#include "editor/busy_cursor.h"
#include "editor/byte_editor.h"
#include "editor/search_backward.h"
#include "editor/search_engine.h"

namespace bm {

namespace {

class Counter : public MatchSink {
 public:
  bool Match(int64_t, const uint8_t*, int64_t) override {
    ++count;
    return true;
  }
  int64_t count = 0;
};

}  // namespace

int64_t TByteEditor::FindDataBackward(uint8_t* pattern, int64_t n, int64_t start, int64_t first,
                                      bool ignoreCase, bool translate, const uint8_t* any) {
  if (n < 1) return -1;
  ConvertPattern(pattern, n, ignoreCase, translate);
  const int64_t size = DataSize();
  first = std::max<int64_t>(first, 0);
  // The match may begin at start at the latest and must end in the data.
  const int64_t last = std::min<int64_t>(int64_t{size} - 1, int64_t{start} + n - 1);
  if (start < first || int64_t{first} + n > last + 1) return -1;

  BusyCursor busy(Host());
  BackwardSearch search(pattern, n, ignoreCase, any);
  return static_cast<int64_t>(search.FindLast(first, last, DataReader(), SearchBlocks()));
}

int64_t TByteEditor::CountData(uint8_t* pattern, int64_t n, int64_t first, int64_t last,
                               bool ignoreCase, bool translate, const uint8_t* any,
                               bool overlapping) {
  if (n < 1) return 0;
  ConvertPattern(pattern, n, ignoreCase, translate);
  const int64_t size = DataSize();
  if (last >= size) last = size - 1;
  first = std::max<int64_t>(first, 0);
  if (int64_t{first} + n > int64_t{last} + 1) return 0;

  BusyCursor busy(Host());
  PatternSearch search(pattern, n, ignoreCase, any);
  Counter counter;
  counter.nonOverlapping = !overlapping;
  ScanMatches(search, first, last, counter);
  return counter.count;
}

void TByteEditor::ScanMatches(PatternSearch& search, int64_t first, int64_t last, MatchSink& sink) {
  search.ForEach(first, last, DataReader(), sink, {}, SearchBlocks());
}

}  // namespace bm
