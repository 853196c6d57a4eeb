// What the editor asks, line by line, of a comparison that marks bytes in a
// colour of their own.
#pragma once
#include <cstdint>

namespace bm {

class DiffMarks {
 public:
  virtual ~DiffMarks() = default;
  // Changes whenever marks already given may have changed for a reason other
  // than the line's own bytes (the other document was edited or reloaded).
  virtual uint64_t Generation() const = 0;
  // flags[i] = 1 where byte start + i is marked, for count bytes.
  virtual void LineMask(int64_t start, int count, uint8_t* flags) = 0;
};

}  // namespace bm
