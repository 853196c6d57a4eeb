// The backward byte-pattern search: blocks taken from the end of the range
// towards its start, each searched through by the forward engine for its
// last match, so the backward search keeps the forward one's filter, case
// folding, wildcards, linear worst case and blocks of bounded size.
#pragma once
#include <cstdint>

#include "editor/search_engine.h"

namespace bm {

class BackwardSearch {
 public:
  // As PatternSearch: pattern of n >= 1 bytes, fold, any flags or null.
  BackwardSearch(const uint8_t* pattern, int64_t n, bool fold, const uint8_t* any = nullptr);

  // The highest q >= max(first, 0) with q + n - 1 <= last whose n bytes
  // match, or -1. The data is read through read, blocks growing from the
  // end of the range towards its start as options say.
  int64_t FindLast(int64_t first, int64_t last, const SearchReader& read,
                   const SearchOptions& options = {});

 private:
  int64_t n_;
  PatternSearch forward_;
};

}  // namespace bm
