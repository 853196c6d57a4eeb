// What TByteEditor::ReplaceAll is asked to do and what it reports.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace bm {

struct ReplaceAllRequest {
  std::vector<uint8_t> pattern;      // data bytes (already converted), at least one
  std::vector<uint8_t> any;          // empty, or a flag a pattern byte: 1 matches any byte
  bool ignoreCase = false;           // the pattern is lower-cased; data bytes are lowered to compare
  std::vector<uint8_t> replacement;  // data bytes put in place of each match (may be empty)
  int64_t first = 0;                 // matches lie between first and last
  int64_t last = INT64_MAX;          // lowered to DataSize - 1
};

struct ReplaceAllResult {
  int64_t count = 0;     // matches replaced (0: nothing changed)
  bool stopped = false;  // the progress callback stopped it; nothing changed
};

// Told how far the pass has come (bytes of the range done, of total); false
// stops it.
using ReplaceProgress = std::function<bool(int64_t done, int64_t total)>;

}  // namespace bm
