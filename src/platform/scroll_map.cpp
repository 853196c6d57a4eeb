// Scroll bar values for top rows beyond what an int can count.
#include "platform/scroll_map.h"

#include <algorithm>

namespace bm {

namespace {

bool OneToOne(int64_t maxTop) { return maxTop <= kScrollBarSteps; }

}  // namespace

int ScrollBarMaximum(int64_t maxTop) {
  maxTop = std::max<int64_t>(0, maxTop);
  return OneToOne(maxTop) ? static_cast<int>(maxTop) : kScrollBarSteps;
}

int RowToScrollValue(int64_t row, int64_t maxTop) {
  maxTop = std::max<int64_t>(0, maxTop);
  row = std::clamp<int64_t>(row, 0, maxTop);
  if (OneToOne(maxTop)) return static_cast<int>(row);
  // Rounded to the nearest step; the product needs more than 64 bits.
  const __int128 scaled = static_cast<__int128>(row) * kScrollBarSteps + maxTop / 2;
  return static_cast<int>(scaled / maxTop);
}

int64_t ScrollValueToRow(int value, int64_t maxTop) {
  maxTop = std::max<int64_t>(0, maxTop);
  if (OneToOne(maxTop)) return std::clamp<int64_t>(value, 0, maxTop);
  value = std::clamp(value, 0, kScrollBarSteps);
  const __int128 scaled = static_cast<__int128>(value) * maxTop + kScrollBarSteps / 2;
  return static_cast<int64_t>(scaled / kScrollBarSteps);
}

}  // namespace bm
