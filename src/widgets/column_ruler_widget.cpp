#include "widgets/column_ruler_widget.h"

#include <QPaintEvent>
#include <algorithm>
#include <QPainter>

#include "editor/byte_editor.h"
#include "editor/column_ruler.h"
#include "platform/qt/qt_surface.h"

namespace bm {

ColumnRulerWidget::ColumnRulerWidget(TByteEditor& editor, QWidget* parent)
    : QWidget(parent), editor_(editor) {
  setObjectName(QStringLiteral("ColumnRuler"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

int ColumnRulerWidget::RulerHeight() const { return std::max(1, editor_.DefaultRowHeight()) + 1; }

void ColumnRulerWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtSurface surface(&painter);
  surface.SetFont(editor_.Font());
  TColors& colors = editor_.Colors();
  const Color back = colors.Background();
  const Color text = colors.Offset();
  const int rowHeight = height() - 1;
  surface.FillRect(Rect{0, 0, width(), height()}, back);
  for (const RulerCell& cell : ColumnRulerCells(editor_)) {
    // The cursor's column stands out in the offset colour, inverted.
    surface.SetTextColor(cell.current ? back : text);
    surface.SetBkColor(cell.current ? text : back);
    const Rect r{cell.left, 0, cell.left + cell.width, rowHeight};
    surface.TextOutOpaqueClipped(r.left, r.top, r, cell.text);
  }
  // A rule between the ruler and the first row.
  surface.FillRect(Rect{0, rowHeight, width(), height()}, text);
}

}  // namespace bm
