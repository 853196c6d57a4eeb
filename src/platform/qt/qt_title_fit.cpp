// Widening windows for their titles (see qt_title_fit.h).
#include "platform/qt/qt_title_fit.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLayout>
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
  if (window->layout()) needed = std::max(needed, window->layout()->minimumSize().width());
  if (const QScreen* screen = window->screen())
    needed = std::min(needed, screen->availableGeometry().width());
  const bool fixedWidth = window->minimumWidth() == window->maximumWidth();
  if (fixedWidth) {
    if (needed > window->width()) window->setFixedWidth(needed);
  } else {
    window->setMinimumWidth(std::max(window->minimumWidth(), needed));
    if (window->width() < needed) window->resize(needed, window->height());
  }
}

}  // namespace bm
