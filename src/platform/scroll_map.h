// The mapping between a grid's top row and a scroll bar's value: one to one
// while the rows fit the bar's range, proportional beyond it, so that a bar
// counted in int reaches the first and the last line of any document.
#pragma once
#include <cstdint>

namespace bm {

// The largest value a scroll bar is given; top rows up to it map one to one.
inline constexpr int kScrollBarSteps = 1 << 30;

// The bar's maximum for the largest top row maxTop (at least 0).
int ScrollBarMaximum(int64_t maxTop);
// The bar's value for a top row, and the top row a bar's value stands for;
// 0 and the maximum always meet the first and the last top row.
int RowToScrollValue(int64_t row, int64_t maxTop);
int64_t ScrollValueToRow(int value, int64_t maxTop);

}  // namespace bm
