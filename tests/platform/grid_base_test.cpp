// The portable grid base: layout, painting, the current cell, keys and
// mouse dragging.
#include "platform/grid_base.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "support/fake_host.h"

namespace bm {
namespace {

using testing::FakeSurface;

constexpr Color kCellFill = 0x123456;

class RecordingGrid : public TGridBase {
 public:
  using TGridBase::TGridBase;
  std::vector<std::pair<int, int>> drawn;
  std::function<bool(int, int)> select;
  int topLeftChanges = 0;

 protected:
  void DrawCell(Surface& s, int col, int64_t row, const Rect& r) override {
    drawn.emplace_back(col, row);
    s.FillRect(r, kCellFill);
  }
  bool SelectCell(int col, int64_t row) override { return select ? select(col, row) : true; }
  void TopLeftChanged() override { ++topLeftChanges; }
};

// Columns: 0 (fixed, 20 px), 1 (fixed, hidden), 2..5 (10 px); 10 rows of 10 px.
class GridBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.client = &grid;
    grid.SetColCount(6);
    grid.SetFixedCols(2);
    grid.SetDefaultColWidth(10);
    grid.SetColWidths(0, 20);
    grid.SetColWidths(1, 0);
    grid.SetRowCount(10);
    grid.SetDefaultRowHeight(10);
    grid.SetClientSize(80, 45);
  }
  std::vector<FakeSurface::RectCall> FillsOf(const FakeSurface& s, Color c) const {
    std::vector<FakeSurface::RectCall> r;
    for (const auto& f : s.rects)
      if (f.kind == FakeSurface::RectCall::Fill && f.color == c) r.push_back(f);
    return r;
  }

  testing::FakeWindowHost host;
  RecordingGrid grid{&host};
};

TEST_F(GridBaseTest, CellRectsVisibleRowsAndHitTesting) {
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.CellRect(0, 0), (Rect{0, 0, 20, 10}));
  EXPECT_TRUE(grid.CellRect(1, 0).IsEmpty());
  EXPECT_EQ(grid.CellRect(2, 0), (Rect{20, 0, 30, 10}));
  EXPECT_EQ(grid.CellRect(5, 3), (Rect{50, 30, 60, 40}));
  EXPECT_FALSE(grid.CellRect(2, 4).IsEmpty());  // partly visible
  EXPECT_TRUE(grid.CellRect(2, 5).IsEmpty());
  EXPECT_TRUE(grid.CellRect(6, 0).IsEmpty());
  EXPECT_EQ(grid.VisibleRowCount(), 4);
  EXPECT_EQ(grid.MaxTopRow(), 6);
  EXPECT_EQ(grid.LastVisibleCol(), 5);

  int col = -1;
  int64_t row = -1;
  ASSERT_TRUE(grid.MouseToCell(25, 12, col, row));
  EXPECT_EQ(col, 2);
  EXPECT_EQ(row, 1);
  ASSERT_TRUE(grid.MouseToCell(5, 5, col, row));
  EXPECT_EQ(col, 0);
  EXPECT_FALSE(grid.MouseToCell(65, 5, col, row));  // right of the last column
  EXPECT_FALSE(grid.MouseToCell(-1, 5, col, row));

  // Grid lines widen every extent; fixed rows and columns move along.
  grid.SetGridLineWidth(1);
  EXPECT_EQ(grid.CellRect(2, 0), (Rect{21, 0, 31, 10}));
  EXPECT_EQ(grid.CellRect(3, 1), (Rect{32, 11, 42, 21}));
  EXPECT_EQ(grid.VisibleRowCount(), 4);  // 4 * 11 - 1 <= 45
  ASSERT_TRUE(grid.MouseToCell(31, 10, col, row));  // on the lines: the cell before
  EXPECT_EQ(col, 2);
  EXPECT_EQ(row, 0);

  grid.SetTopRow(3);
  EXPECT_EQ(grid.TopRow(), 3);
  EXPECT_EQ(grid.topLeftChanges, 1);
  EXPECT_TRUE(grid.CellRect(2, 2).IsEmpty());
  EXPECT_EQ(grid.CellRect(2, 3).top, 0);
  grid.SetTopRow(100);
  EXPECT_EQ(grid.TopRow(), grid.MaxTopRow());
  grid.SetTopRow(-4);
  EXPECT_EQ(grid.TopRow(), 0);
}

TEST_F(GridBaseTest, PaintsOnlyInvalidCellsAndFillsTheRest) {
  FakeSurface s;
  grid.Paint(s, grid.CellRect(3, 1));
  EXPECT_EQ(grid.drawn, (std::vector<std::pair<int, int>>{{3, 1}}));

  grid.drawn.clear();
  s.Clear();
  grid.Paint(s, Rect{0, 0, 80, 45});
  std::set<std::pair<int, int>> drawn(grid.drawn.begin(), grid.drawn.end());
  EXPECT_EQ(drawn.size(), grid.drawn.size());  // each cell once
  EXPECT_EQ(drawn.size(), 25u);                 // 5 columns (1 is hidden) x rows 0..4
  EXPECT_FALSE(drawn.count({1, 0}));
  EXPECT_TRUE(drawn.count({5, 4}));
  // Right of the last column, in the control's colour; no lines at width 0.
  auto back = FillsOf(s, clWindow);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].rect, (Rect{60, 0, 80, 45}));
  EXPECT_TRUE(FillsOf(s, 0xC0C0C0).empty());

  // Rows end before the client does: the area below is filled too.
  grid.SetRowCount(3);
  s.Clear();
  grid.Paint(s, Rect{0, 0, 80, 45});
  back = FillsOf(s, clWindow);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].rect, (Rect{0, 30, 60, 45}));

  // Lines between the scrollable cells, silver; none beside the fixed column.
  grid.SetGridLineWidth(1);
  s.Clear();
  grid.Paint(s, Rect{0, 0, 80, 45});
  const auto lines = FillsOf(s, 0xC0C0C0);
  std::set<int> verticals;
  for (const auto& l : lines)
    if (l.rect.Width() == 1) verticals.insert(l.rect.left);
  EXPECT_EQ(verticals, (std::set<int>{31, 42, 53, 64}));
  for (const auto& l : lines) EXPECT_GE(l.rect.left, 21) << l.rect.left;
  bool gapFilled = false;
  for (const auto& f : FillsOf(s, clWindow))
    if (f.rect.left == 20 && f.rect.Width() == 1) gapFilled = true;
  EXPECT_TRUE(gapFilled);

  // On a silver control the lines are gray.
  grid.SetControlColor(clBtnFace);
  s.Clear();
  grid.Paint(s, Rect{0, 0, 80, 45});
  EXPECT_TRUE(FillsOf(s, 0xC0C0C0).empty());
  EXPECT_FALSE(FillsOf(s, 0x808080).empty());
}

TEST_F(GridBaseTest, CurrentCellMovesThroughSelectCellAndScrollsIntoView) {
  host.ClearInvalidations();
  grid.MoveCurrent(4, 7);
  EXPECT_EQ(grid.Col(), 4);
  EXPECT_EQ(grid.Row(), 7);
  EXPECT_EQ(grid.TopRow(), 4);  // the last fully visible row
  EXPECT_GT(grid.topLeftChanges, 0);
  grid.MoveCurrent(4, 2);
  EXPECT_EQ(grid.TopRow(), 2);

  grid.select = [](int col, int) { return col != 3; };
  grid.MoveCurrent(3, 2);
  EXPECT_EQ(grid.Col(), 4);
  grid.MoveCurrent(0, 2);  // a fixed column never becomes current
  EXPECT_EQ(grid.Col(), 4);
  EXPECT_THROW(grid.MoveCurrent(6, 0), std::out_of_range);
  EXPECT_THROW(grid.MoveCurrent(2, 10), std::out_of_range);
  EXPECT_THROW(grid.MoveCurrent(-1, 0), std::out_of_range);

  // Shrinking the grid keeps the current cell inside it.
  grid.SetRowCount(2);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.TopRow(), 0);
}

TEST_F(GridBaseTest, KeysLeftToTheGrid) {
  grid.SetColCount(30);
  grid.SetDefaultColWidth(10);
  grid.SetColWidths(0, 20);
  grid.SetColWidths(1, 0);
  grid.MoveCurrent(25, 0);
  const int left = grid.LeftCol();
  ASSERT_GT(left, 2);
  const int page = grid.LastVisibleCol() - left;
  ASSERT_EQ(page, 5);  // six columns of 10 px fit beside the fixed one
  uint16_t k = VK_LEFT;
  ShiftState ctrl;
  ctrl.ctrl = true;
  grid.GridKeyDown(k, ctrl);
  EXPECT_EQ(grid.Col(), 20);
  EXPECT_EQ(grid.LeftCol(), left - 5);
  for (int i = 0; i < 5; ++i) grid.GridKeyDown(k, ctrl);
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.LeftCol(), 2);
  grid.GridKeyDown(k, ShiftState{});  // not below the first scrollable column
  EXPECT_EQ(grid.Col(), 2);
  grid.MoveCurrent(3, 0);
  grid.GridKeyDown(k, ShiftState{});
  EXPECT_EQ(grid.Col(), 2);

  k = VK_DOWN;
  grid.GridKeyDown(k, ctrl);
  EXPECT_EQ(grid.TopRow(), 1);
  EXPECT_EQ(grid.Row(), 0);
  k = VK_UP;
  grid.GridKeyDown(k, ctrl);
  grid.GridKeyDown(k, ctrl);
  EXPECT_EQ(grid.TopRow(), 0);
  k = VK_DOWN;
  grid.GridKeyDown(k, ShiftState{});  // plain arrows are the owner's
  EXPECT_EQ(grid.Row(), 0);
}

TEST_F(GridBaseTest, DraggingFollowsTheMouseAndScrollsOnTheTimer) {
  int dbl = 0;
  grid.OnDblClick = [&] { ++dbl; };
  ShiftState left;
  left.left = true;
  grid.GridMouseDown(MouseButton::Left, left, 5, 15);  // fixed column: nothing
  EXPECT_FALSE(grid.Dragging());
  EXPECT_EQ(grid.Row(), 0);

  grid.GridMouseDown(MouseButton::Left, left, 35, 15);
  EXPECT_EQ(grid.Col(), 3);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_TRUE(grid.Dragging());
  EXPECT_TRUE(host.timerRunning);
  EXPECT_EQ(host.timerInterval, 60);
  grid.GridMouseMove(left, 55, 25);
  EXPECT_EQ(grid.Col(), 5);
  EXPECT_EQ(grid.Row(), 2);
  grid.GridMouseMove(left, 5, 25);  // over the fixed column
  EXPECT_EQ(grid.Col(), 2);
  grid.GridMouseMove(left, 70, 5);  // right of the last column
  EXPECT_EQ(grid.Col(), 5);
  EXPECT_EQ(grid.Row(), 0);

  grid.GridMouseMove(left, 45, 60);  // below the window: only the timer moves
  EXPECT_EQ(grid.Row(), 0);
  grid.HandleTimer();
  EXPECT_EQ(grid.TopRow(), 1);
  EXPECT_EQ(grid.Row(), 4);
  EXPECT_EQ(grid.Col(), 4);
  for (int i = 0; i < 10; ++i) grid.HandleTimer();
  EXPECT_EQ(grid.TopRow(), 6);
  EXPECT_EQ(grid.Row(), 9);
  grid.GridMouseMove(left, 45, -3);
  grid.HandleTimer();
  EXPECT_EQ(grid.TopRow(), 5);
  EXPECT_EQ(grid.Row(), 5);

  grid.GridMouseUp(MouseButton::Left, ShiftState{}, 45, -3);
  EXPECT_FALSE(grid.Dragging());
  EXPECT_FALSE(host.timerRunning);
  grid.HandleTimer();
  EXPECT_EQ(grid.TopRow(), 5);

  ShiftState d = left;
  d.dbl = true;
  grid.GridMouseDown(MouseButton::Left, d, 25, 5);
  EXPECT_EQ(dbl, 1);
  EXPECT_FALSE(grid.Dragging());
  EXPECT_EQ(grid.Row(), 5);
  grid.GridMouseDown(MouseButton::Right, ShiftState{}, 25, 5);
  EXPECT_FALSE(grid.Dragging());
}

}  // namespace
}  // namespace bm
