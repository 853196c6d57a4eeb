#include "platform/grid_base.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "platform/colors.h"

namespace bm {

namespace {
constexpr int kDragTimerMs = 60;
constexpr Color kLineColor = 0xC0C0C0;      // silver
constexpr Color kLineColorAlt = 0x808080;   // gray, on a silver control
}  // namespace

TGridBase::TGridBase(WindowHost* host) : host_(host), widths_(5, 64) {}

TGridBase::~TGridBase() {
  if (host_ && dragging_) host_->StopTimer();
}

void TGridBase::SetColCount(int count) {
  count = std::max(1, count);
  if (count == ColCount()) return;
  widths_.resize(static_cast<size_t>(count), defaultColWidth_);
  fixedCols_ = std::min(fixedCols_, count - 1 < 0 ? 0 : count - 1);
  ClampCurrent();
  InvalidateGrid();
  ScrollStateChanged();
}

void TGridBase::SetRowCount(int64_t count) {
  count = std::max<int64_t>(1, count);
  if (count == rowCount_) return;
  rowCount_ = count;
  ClampCurrent();
  InvalidateGrid();
  ScrollStateChanged();
}

void TGridBase::SetColWidths(int col, int width) {
  if (col < 0 || col >= ColCount()) throw std::out_of_range("Grid index out of range");
  width = std::max(0, width);
  if (widths_[static_cast<size_t>(col)] == width) return;
  widths_[static_cast<size_t>(col)] = width;
  InvalidateGrid();
  ScrollStateChanged();
}

void TGridBase::SetDefaultColWidth(int width) {
  defaultColWidth_ = std::max(0, width);
  std::fill(widths_.begin(), widths_.end(), defaultColWidth_);
  InvalidateGrid();
  ScrollStateChanged();
}

void TGridBase::SetDefaultRowHeight(int height) {
  height = std::max(0, height);
  if (height == rowHeight_) return;
  rowHeight_ = height;
  ClampCurrent();
  InvalidateGrid();
  ScrollStateChanged();
}

void TGridBase::SetFixedCols(int count) {
  count = std::clamp(count, 0, ColCount() - 1);
  if (count == fixedCols_) return;
  fixedCols_ = count;
  ClampCurrent();
  InvalidateGrid();
  ScrollStateChanged();
}

void TGridBase::SetFixedRows(int count) {
  count = static_cast<int>(std::clamp<int64_t>(count, 0, rowCount_ - 1));
  if (count == fixedRows_) return;
  fixedRows_ = count;
  ClampCurrent();
  InvalidateGrid();
  ScrollStateChanged();
}

void TGridBase::SetGridLineWidth(int width) {
  width = std::max(0, width);
  if (width == lineWidth_) return;
  lineWidth_ = width;
  ClampCurrent();
  InvalidateGrid();
  ScrollStateChanged();
}

void TGridBase::SetControlColor(Color c) {
  if (c == controlColor_) return;
  controlColor_ = c;
  InvalidateGrid();
}

void TGridBase::ClampCurrent() {
  col_ = std::clamp(col_, std::min(fixedCols_, ColCount() - 1), ColCount() - 1);
  row_ = std::clamp(row_, std::min<int64_t>(fixedRows_, rowCount_ - 1), rowCount_ - 1);
  topRow_ = std::clamp(topRow_, int64_t{fixedRows_}, std::max<int64_t>(fixedRows_, MaxTopRow()));
  leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
}

bool TGridBase::SelectCell(int, int64_t) { return true; }

void TGridBase::MoveCurrent(int col, int64_t row, bool show) {
  if (col < 0 || row < 0 || col >= ColCount() || row >= rowCount_)
    throw std::out_of_range("Grid index out of range");
  // Fixed cells never hold the current cell.
  if (col < fixedCols_ || row < fixedRows_) return;
  if (!SelectCell(col, row)) return;
  const int oldCol = col_;
  const int64_t oldRow = row_;
  col_ = col;
  row_ = row;
  if (show) ClampInView(col, row);
  InvalidateCell(oldCol, oldRow);
  InvalidateCell(col_, row_);
}

// ---- geometry ---------------------------------------------------------------

int TGridBase::ColumnExtent(int col) const {
  const int w = widths_[static_cast<size_t>(col)];
  return w > 0 ? w + lineWidth_ : 0;
}

int TGridBase::FixedWidth() const {
  int x = 0;
  for (int c = 0; c < fixedCols_; ++c) x += ColumnExtent(c);
  return x;
}

int TGridBase::ScrollableWidth() const { return std::max(0, clientWidth_ - FixedWidth()); }

int TGridBase::ColumnLeft(int col) const {
  if (col < fixedCols_) {
    int x = 0;
    for (int c = 0; c < col; ++c) x += ColumnExtent(c);
    return x;
  }
  if (col < leftCol_) return INT_MIN;
  int x = FixedWidth();
  for (int c = leftCol_; c < col; ++c) {
    x += ColumnExtent(c);
    if (x >= clientWidth_) return INT_MIN;
  }
  return x < clientWidth_ ? x : INT_MIN;
}

Rect TGridBase::CellRect(int col, int64_t row) const {
  if (col < 0 || col >= ColCount() || row < 0 || row >= rowCount_) return {};
  int top;
  if (row < fixedRows_) {
    top = static_cast<int>(row) * RowExtent();
  } else {
    if (row < topRow_) return {};
    const int64_t t = int64_t{fixedRows_} * RowExtent() + (row - topRow_) * RowExtent();
    if (t >= clientHeight_) return {};
    top = static_cast<int>(t);
  }
  const int left = ColumnLeft(col);
  if (left == INT_MIN) return {};
  return Rect{left, top, left + widths_[static_cast<size_t>(col)], top + rowHeight_};
}

int TGridBase::VisibleRowCount() const {
  const int extent = RowExtent();
  if (extent <= 0) return 1;
  const int avail = clientHeight_ - fixedRows_ * extent;
  // A row is fully visible when its cell fits; its trailing line need not.
  const int n = (avail + lineWidth_) / extent;
  return static_cast<int>(std::max<int64_t>(1, std::min<int64_t>(n, rowCount_ - topRow_)));
}

int TGridBase::LastVisibleCol() const {
  int x = FixedWidth();
  int last = leftCol_;
  for (int c = leftCol_; c < ColCount(); ++c) {
    const int w = widths_[static_cast<size_t>(c)];
    if (x + w > clientWidth_) break;
    last = c;
    x += ColumnExtent(c);
  }
  return last;
}

int64_t TGridBase::MaxTopRow() const {
  const int extent = RowExtent();
  if (extent <= 0) return fixedRows_;
  const int avail = clientHeight_ - fixedRows_ * extent;
  const int fit = std::max(1, (avail + lineWidth_) / extent);
  return std::max<int64_t>(fixedRows_, rowCount_ - fit);
}

int TGridBase::MaxLeftCol() const {
  const int avail = ScrollableWidth();
  int used = 0;
  int c = ColCount() - 1;
  for (; c >= fixedCols_; --c) {
    const int w = widths_[static_cast<size_t>(c)];
    if (used + w > avail && c < ColCount() - 1) break;
    used += ColumnExtent(c);
  }
  return std::max(fixedCols_, std::min(c + 1, ColCount() - 1));
}

void TGridBase::SetClientSize(int width, int height) {
  if (width == clientWidth_ && height == clientHeight_) return;
  clientWidth_ = std::max(0, width);
  clientHeight_ = std::max(0, height);
  ClampCurrent();
  InvalidateGrid();
  ScrollStateChanged();
}

void TGridBase::SetTopRow(int64_t row) {
  row = std::clamp(row, int64_t{fixedRows_}, std::max<int64_t>(fixedRows_, MaxTopRow()));
  if (row == topRow_) return;
  topRow_ = row;
  InvalidateGrid();
  ScrollStateChanged();
  TopLeftChanged();
}

void TGridBase::SetLeftCol(int col) {
  col = std::clamp(col, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
  if (col == leftCol_) return;
  leftCol_ = col;
  InvalidateGrid();
  ScrollStateChanged();
  TopLeftChanged();
}

void TGridBase::ClampInView(int col, int64_t row) {
  int64_t newTop = topRow_;
  if (row >= fixedRows_) {
    if (row < topRow_) {
      newTop = row;
    } else {
      const int visible = VisibleRowCount();
      if (row > topRow_ + visible - 1) newTop = row - visible + 1;
    }
  }
  int newLeft = leftCol_;
  if (col >= fixedCols_) {
    if (col < leftCol_) {
      newLeft = col;
    } else {
      // Move right until the column is fully visible (or leftmost).
      while (newLeft < col) {
        int x = FixedWidth();
        for (int c = newLeft; c < col; ++c) x += ColumnExtent(c);
        if (x + widths_[static_cast<size_t>(col)] <= clientWidth_) break;
        ++newLeft;
      }
    }
  }
  const bool changed = newTop != topRow_ || newLeft != leftCol_;
  if (!changed) return;
  topRow_ = std::max<int64_t>(fixedRows_, newTop);
  leftCol_ = std::max(fixedCols_, newLeft);
  InvalidateGrid();
  ScrollStateChanged();
  TopLeftChanged();
}

bool TGridBase::MouseToCell(int x, int y, int& col, int64_t& row) const {
  if (x < 0 || y < 0 || x >= clientWidth_ || y >= clientHeight_) return false;
  const int extent = RowExtent();
  if (extent <= 0) return false;
  const int fixedH = fixedRows_ * extent;
  int64_t r;
  if (y < fixedH) {
    r = y / extent;
  } else {
    r = topRow_ + (y - fixedH) / extent;
    if (r >= rowCount_) return false;
  }
  int c = -1;
  int left = 0;
  for (int i = 0; i < fixedCols_; ++i) {
    const int ext = ColumnExtent(i);
    if (x < left + ext) { c = i; break; }
    left += ext;
  }
  if (c < 0) {
    for (int i = leftCol_; i < ColCount(); ++i) {
      const int ext = ColumnExtent(i);
      if (x < left + ext) { c = i; break; }
      left += ext;
      if (left >= clientWidth_) break;
    }
  }
  if (c < 0) return false;
  col = c;
  row = r;
  return true;
}

// ---- painting ---------------------------------------------------------------

void TGridBase::Paint(Surface& surface, const Rect& invalid) {
  const int extent = RowExtent();
  const Color background = controlColor_;
  // Columns laid out on screen, left to right.
  struct Span { int col, left, width; };
  std::vector<Span> cols;
  int x = 0;
  for (int c = 0; c < fixedCols_; ++c) {
    cols.push_back({c, x, widths_[static_cast<size_t>(c)]});
    x += ColumnExtent(c);
  }
  const int scrollLeft = x;
  for (int c = leftCol_; c < ColCount() && x < clientWidth_; ++c) {
    cols.push_back({c, x, widths_[static_cast<size_t>(c)]});
    x += ColumnExtent(c);
  }
  const int gridRight = std::min(x, clientWidth_);

  int y = 0;
  int gridBottom = 0;
  auto paintRow = [&](int64_t row, int top) {
    for (const Span& s : cols) {
      if (s.width <= 0) continue;
      const Rect r{s.left, top, s.left + s.width, top + rowHeight_};
      if (r.Intersects(invalid)) DrawCell(surface, s.col, row, r);
    }
  };
  for (int r = 0; r < fixedRows_ && y < clientHeight_; ++r, y += extent) paintRow(r, y);
  for (int64_t r = topRow_; r < rowCount_ && y < clientHeight_; ++r, y += extent) paintRow(r, y);
  gridBottom = std::min(y, clientHeight_);

  if (lineWidth_ > 0) {
    const Color line = ResolveColor(background) == 0xC0C0C0 ? kLineColorAlt : kLineColor;
    // Lines after each scrollable column and under each row of the scrollable part.
    for (const Span& s : cols) {
      if (s.col < fixedCols_ || s.width <= 0) continue;
      const Rect v{s.left + s.width, 0, s.left + s.width + lineWidth_, gridBottom};
      if (v.Intersects(invalid)) surface.FillRect(v, line);
    }
    for (int top = rowHeight_; top < gridBottom; top += extent) {
      const Rect h{scrollLeft, top, gridRight, top + lineWidth_};
      if (h.Intersects(invalid)) surface.FillRect(h, line);
    }
    // The spacing after fixed columns carries no line.
    for (const Span& s : cols) {
      if (s.col >= fixedCols_ || s.width <= 0) continue;
      const Rect g{s.left + s.width, 0, s.left + s.width + lineWidth_, gridBottom};
      if (g.Intersects(invalid)) surface.FillRect(g, background);
      for (int top = rowHeight_; top < gridBottom; top += extent) {
        const Rect h{s.left, top, s.left + s.width, top + lineWidth_};
        if (h.Intersects(invalid)) surface.FillRect(h, background);
      }
    }
  }
  const Rect right{gridRight, 0, clientWidth_, clientHeight_};
  if (!right.IsEmpty() && right.Intersects(invalid)) surface.FillRect(right, background);
  const Rect below{0, gridBottom, gridRight, clientHeight_};
  if (!below.IsEmpty() && below.Intersects(invalid)) surface.FillRect(below, background);
}

void TGridBase::InvalidateCell(int col, int64_t row) {
  const Rect r = CellRect(col, row);
  if (!r.IsEmpty()) InvalidateRect(r);
}

void TGridBase::InvalidateRect(const Rect& r) {
  if (host_) host_->Invalidate(r, false);
}

void TGridBase::InvalidateGrid() {
  if (host_) host_->InvalidateAll();
}

void TGridBase::ScrollStateChanged() {
  if (host_) host_->ScrollStateChanged();
}

// ---- keys and mouse ---------------------------------------------------------

void TGridBase::GridKeyDown(uint16_t& key, ShiftState shift) {
  switch (key) {
    case VK_LEFT:
      if (shift.ctrl) {
        const int page = std::max(1, LastVisibleCol() - leftCol_);
        const int target = std::max(fixedCols_, col_ - page);
        SetLeftCol(std::max(fixedCols_, leftCol_ - page));
        if (target != col_) MoveCurrent(target, row_, true);
      } else if (col_ - 1 >= fixedCols_) {
        MoveCurrent(col_ - 1, row_, true);
      }
      break;
    case VK_UP:
      if (shift.ctrl) SetTopRow(topRow_ - 1);
      break;
    case VK_DOWN:
      if (shift.ctrl) SetTopRow(topRow_ + 1);
      break;
    default:
      return;
  }
}

void TGridBase::GridMouseDown(MouseButton button, ShiftState shift, int x, int y) {
  if (button != MouseButton::Left) return;
  if (shift.dbl) {
    if (OnDblClick) OnDblClick();
    return;
  }
  int col;
  int64_t row;
  if (!MouseToCell(x, y, col, row)) return;
  if (col < fixedCols_ || row < fixedRows_) return;
  MoveCurrent(col, row, true);
  dragging_ = true;
  dragX_ = x;
  dragY_ = y;
  if (host_) host_->StartTimer(kDragTimerMs);
}

void TGridBase::DragTo(int x, int y) {
  // Clamp the point into the scrollable area so a drag beyond an edge picks
  // the edge cell.
  const int fx = FixedWidth();
  const int cx = std::clamp(x, fx, std::max(fx, std::min(clientWidth_, fx + ScrollableWidth()) - 1));
  const int cy = std::clamp(y, 0, std::max(0, clientHeight_ - 1));
  int col;
  int64_t row;
  if (!MouseToCell(cx, cy, col, row)) {
    // Below the last row or right of the last column.
    col = col_;
    row = row_;
    int c2;
    int64_t r2;
    if (MouseToCell(cx, 0, c2, r2)) col = c2;
    else col = ColCount() - 1;
    if (MouseToCell(fx, cy, c2, r2)) row = r2;
    else row = rowCount_ - 1;
  }
  if (col < fixedCols_) col = leftCol_;
  if (col != col_ || row != row_) MoveCurrent(col, row, true);
}

void TGridBase::GridMouseMove(ShiftState, int x, int y) {
  if (!dragging_) return;
  dragX_ = x;
  dragY_ = y;
  int col;
  int64_t row;
  if (x < 0 || y < 0 || x >= clientWidth_ || y >= clientHeight_) return;  // the timer scrolls
  if (!MouseToCell(x, y, col, row)) {
    DragTo(x, y);
    return;
  }
  // Over the fixed columns: the first visible scrollable column (the timer
  // scrolls further left only beyond the window's edge).
  if (col < fixedCols_) col = leftCol_;
  if (col != col_ || row != row_) MoveCurrent(col, row, true);
}

void TGridBase::GridMouseUp(MouseButton button, ShiftState, int, int) {
  if (button != MouseButton::Left || !dragging_) return;
  dragging_ = false;
  if (host_) host_->StopTimer();
}

void TGridBase::HandleTimer() {
  if (!dragging_) return;
  const bool above = dragY_ < 0, below = dragY_ >= clientHeight_;
  const bool leftOf = dragX_ < FixedWidth(), rightOf = dragX_ >= clientWidth_;
  if (!above && !below && !leftOf && !rightOf) return;
  if (above) SetTopRow(topRow_ - 1);
  if (below) SetTopRow(topRow_ + 1);
  if (leftOf) SetLeftCol(leftCol_ - 1);
  if (rightOf) SetLeftCol(leftCol_ + 1);
  int col = col_;
  int64_t row = row_;
  if (above) row = topRow_;
  if (below) row = std::min(rowCount_ - 1, topRow_ + VisibleRowCount() - 1);
  if (leftOf) col = leftCol_;
  if (rightOf) col = LastVisibleCol();
  if (!above && !below) {
    int c2;
    int64_t r2;
    if (MouseToCell(FixedWidth(), std::clamp(dragY_, 0, clientHeight_ - 1), c2, r2)) row = r2;
  }
  if (!leftOf && !rightOf) {
    int c2;
    int64_t r2;
    if (MouseToCell(std::clamp(dragX_, 0, clientWidth_ - 1), 0, c2, r2)) col = std::max(c2, fixedCols_);
  }
  if (col != col_ || row != row_) MoveCurrent(col, row, true);
}

}  // namespace bm
