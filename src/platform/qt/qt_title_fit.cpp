// Widening windows for their titles (see qt_title_fit.h).
#include "platform/qt/qt_title_fit.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLayout>
#include <QSpacerItem>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace bm {

int TitleBarWidth(const QString& title) {
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  const QFontMetrics metrics(font);
  // An icon and three buttons about as wide as the bar is high, and margins.
  const int bar = metrics.height() + 8;
  return metrics.horizontalAdvance(title) + 5 * bar;
}

void FitTitle(QWidget* window) {
  if (!window) return;
  int needed = TitleBarWidth(window->windowTitle());
  if (const QScreen* screen = window->screen())
    needed = std::min(needed, screen->availableGeometry().width());
  // A window sized by its layout (a message box, an input box) would shrink
  // back to it: a strut in the layout keeps the width.
  QLayout* layout = window->layout();
  if (layout) {
    const QMargins margins = layout->contentsMargins();
    const int inner = needed - margins.left() - margins.right();
    if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
      if (box->direction() == QBoxLayout::TopToBottom || box->direction() == QBoxLayout::BottomToTop)
        box->addStrut(inner);
    } else if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
      grid->addItem(new QSpacerItem(inner, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                    grid->rowCount(), 0, 1, grid->columnCount());
    }
    needed = std::max(needed, layout->minimumSize().width());
  }
  const bool fixedWidth = window->minimumWidth() == window->maximumWidth();
  if (fixedWidth) {
    if (needed > window->width()) window->setFixedWidth(needed);
  } else {
    window->setMinimumWidth(std::max(window->minimumWidth(), needed));
    if (window->width() < needed) window->resize(needed, window->height());
  }
}

}  // namespace bm
