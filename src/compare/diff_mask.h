// The marks both panes of a comparison paint from: one mask, since a byte
// differs in both documents or in neither.
#pragma once
#include <cstdint>

#include "compare/diff_scan.h"
#include "editor/diff_marks.h"

namespace bm {

class DiffMask : public DiffMarks {
 public:
  explicit DiffMask(DiffScanner& scanner) : scanner_(scanner) {}

  // Lines asked for before may have changed (an edit, a reload).
  void Touch() { ++generation_; }

  uint64_t Generation() const override { return generation_; }
  void LineMask(int64_t start, int count, uint8_t* flags) override {
    scanner_.LineMask(start, count, flags);
  }

 private:
  DiffScanner& scanner_;
  uint64_t generation_ = 1;
};

}  // namespace bm
