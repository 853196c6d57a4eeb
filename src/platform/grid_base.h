// A grid of cells with per-column widths, one row height, fixed leading
// columns, a current cell and whole-row/whole-column scrolling, laid out on a
// client area whose size the host gives it. Portable: the host supplies the
// window (WindowHost) and forwards paint, key, mouse and timer events.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/keys.h"
#include "platform/surface.h"
#include "platform/types.h"
#include "platform/window_host.h"

namespace bm {

class TGridBase : public HostClient {
 public:
  explicit TGridBase(WindowHost* host);
  ~TGridBase() override;
  TGridBase(const TGridBase&) = delete;
  TGridBase& operator=(const TGridBase&) = delete;

  WindowHost* Host() const { return host_; }

  int ColCount() const { return static_cast<int>(widths_.size()); }
  void SetColCount(int count);
  int64_t RowCount() const { return rowCount_; }
  void SetRowCount(int64_t count);
  int ColWidths(int col) const { return widths_[static_cast<size_t>(col)]; }
  void SetColWidths(int col, int width);
  void SetDefaultColWidth(int width);
  int DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultRowHeight(int height);
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int count);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int count);
  int GridLineWidth() const { return lineWidth_; }
  void SetGridLineWidth(int width);

  // The current cell. Setting it goes through MoveCurrent.
  int Col() const { return col_; }
  int64_t Row() const { return row_; }
  void SetCol(int col) { if (col != col_) MoveCurrent(col, row_, true); }
  void SetRow(int64_t row) { if (row != row_) MoveCurrent(col_, row, true); }
  // Makes (col, row) current if SelectCell agrees, scrolling it into view
  // when show is true. A fixed cell is never made current; an index outside
  // the grid throws std::out_of_range.
  void MoveCurrent(int col, int64_t row, bool show = true);

  // Scroll position: first visible scrollable row and column.
  int64_t TopRow() const { return topRow_; }
  void SetTopRow(int64_t row);
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int col);
  int64_t MaxTopRow() const;
  int MaxLeftCol() const;
  // Fully visible scrollable rows (at least 1) and the last fully visible column.
  int VisibleRowCount() const;
  int LastVisibleCol() const;
  int VisibleColCount() const { return LastVisibleCol() - leftCol_ + 1; }

  void SetClientSize(int width, int height);
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }

  // The control's own colour: fills the area outside the cells.
  Color ControlColor() const { return controlColor_; }
  void SetControlColor(Color c);

  // Client rectangle of a cell; empty when the cell is not visible.
  Rect CellRect(int col, int64_t row) const;
  // The cell under a client point (cells beyond the last column or row count
  // as outside); false when the point is on no cell.
  bool MouseToCell(int x, int y, int& col, int64_t& row) const;

  // Paints the cells that intersect invalid through DrawCell, the grid lines
  // and the area outside the cells.
  void Paint(Surface& surface, const Rect& invalid);

  // The grid's own key handling, for keys its owner left to it.
  void GridKeyDown(uint16_t& key, ShiftState shift);
  // The grid's own mouse handling: a left press on a scrollable cell makes it
  // current and starts dragging, which follows the mouse and scrolls on a
  // 60 ms timer beyond the window's edges.
  void GridMouseDown(MouseButton button, ShiftState shift, int x, int y);
  void GridMouseMove(ShiftState shift, int x, int y);
  void GridMouseUp(MouseButton button, ShiftState shift, int x, int y);
  bool Dragging() const { return dragging_; }
  void HandleTimer() override;
  void HandleMessage(uint32_t, uintptr_t, intptr_t) override {}

  std::function<void()> OnDblClick;

 protected:
  virtual void DrawCell(Surface& surface, int col, int64_t row, const Rect& rect) = 0;
  // Asked before the current cell moves; the move happens only on true.
  virtual bool SelectCell(int col, int64_t row);
  // Called after TopRow or LeftCol changed.
  virtual void TopLeftChanged() {}

  void InvalidateCell(int col, int64_t row);
  void InvalidateRect(const Rect& r);
  void InvalidateGrid();

 private:
  int ScrollableWidth() const;
  int FixedWidth() const;
  int ColumnExtent(int col) const;  // width plus line, 0 for hidden columns
  int RowExtent() const { return rowHeight_ + lineWidth_; }
  // x of a column's left edge, or INT_MIN when not laid out on screen.
  int ColumnLeft(int col) const;
  void ClampInView(int col, int64_t row);
  void ClampCurrent();
  void ScrollStateChanged();
  void DragTo(int x, int y);

  WindowHost* host_;
  std::vector<int> widths_;
  int defaultColWidth_ = 64;
  int64_t rowCount_ = 5;
  int rowHeight_ = 24;
  int fixedCols_ = 1;
  int fixedRows_ = 0;
  int lineWidth_ = 0;
  int col_ = 1;
  int64_t row_ = 0;
  int64_t topRow_ = 0;
  int leftCol_ = 1;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  Color controlColor_ = clWindow;
  bool dragging_ = false;
  int dragX_ = 0;
  int dragY_ = 0;
};

}  // namespace bm
