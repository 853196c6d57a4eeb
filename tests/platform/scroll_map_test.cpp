// The vertical scroll bar's values for top rows: exact while they fit,
// proportional beyond, with both ends always met.
#include <gtest/gtest.h>

#include "platform/scroll_map.h"

namespace bm {
namespace {

TEST(ScrollMapTest, RowsThatFitMapOneToOne) {
  for (const int64_t maxTop : {int64_t{0}, int64_t{1}, int64_t{99}, int64_t{kScrollBarSteps}}) {
    EXPECT_EQ(ScrollBarMaximum(maxTop), maxTop);
    for (const int64_t row : {int64_t{0}, maxTop / 2, maxTop}) {
      EXPECT_EQ(RowToScrollValue(row, maxTop), row);
      EXPECT_EQ(ScrollValueToRow(static_cast<int>(row), maxTop), row);
    }
  }
  // Values outside the range are held to it.
  EXPECT_EQ(RowToScrollValue(120, 99), 99);
  EXPECT_EQ(ScrollValueToRow(-5, 99), 0);
  EXPECT_EQ(ScrollBarMaximum(-3), 0);
}

TEST(ScrollMapTest, ATebibyteOfRowsMapsProportionallyAndReachesBothEnds) {
  // 1 TiB at 16 bytes a line, less a screen of rows.
  const int64_t maxTop = (int64_t{1} << 40) / 16 - 30;
  ASSERT_EQ(ScrollBarMaximum(maxTop), kScrollBarSteps);
  EXPECT_EQ(RowToScrollValue(0, maxTop), 0);
  EXPECT_EQ(RowToScrollValue(maxTop, maxTop), kScrollBarSteps);
  EXPECT_EQ(ScrollValueToRow(0, maxTop), 0);
  EXPECT_EQ(ScrollValueToRow(kScrollBarSteps, maxTop), maxTop);
  // The middle of the bar is the middle of the data, within one step.
  const int64_t rowsPerStep = maxTop / kScrollBarSteps + 1;
  EXPECT_NEAR(static_cast<double>(ScrollValueToRow(kScrollBarSteps / 2, maxTop)),
              static_cast<double>(maxTop / 2), static_cast<double>(rowsPerStep));
  // Every row maps to a value that maps back to a row within one step of it,
  // and the mapping never runs backwards.
  int lastValue = -1;
  for (int64_t row = 0; row <= maxTop; row += maxTop / 997) {
    const int value = RowToScrollValue(row, maxTop);
    EXPECT_GE(value, lastValue);
    lastValue = value;
    EXPECT_LE(std::abs(ScrollValueToRow(value, maxTop) - row), rowsPerStep) << row;
  }
}

TEST(ScrollMapTest, TheLargestDocumentsStayWithinTheBar) {
  const int64_t maxTop = INT64_MAX / 16;
  EXPECT_EQ(RowToScrollValue(maxTop, maxTop), kScrollBarSteps);
  EXPECT_EQ(ScrollValueToRow(kScrollBarSteps, maxTop), maxTop);
  EXPECT_EQ(ScrollValueToRow(kScrollBarSteps + 7, maxTop), maxTop);
  // Just past the exact range the bar is proportional and still ends on the last row.
  const int64_t past = int64_t{kScrollBarSteps} + 1;
  EXPECT_EQ(ScrollBarMaximum(past), kScrollBarSteps);
  EXPECT_EQ(ScrollValueToRow(kScrollBarSteps, past), past);
  EXPECT_EQ(ScrollValueToRow(1, past), 1);
}

}  // namespace
}  // namespace bm
