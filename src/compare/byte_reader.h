// How the comparison reads a document: a size and a read of a range by
// 64-bit position, so it works on any byte store (an editor, a file, memory).
#pragma once
#include <cstdint>
#include <functional>

namespace bm {

struct CompareSide {
  // Copies up to count bytes from position into out; how many arrived (0 at
  // or past the end).
  std::function<int64_t(int64_t position, int64_t count, uint8_t* out)> read;
  int64_t size = 0;
};

}  // namespace bm
