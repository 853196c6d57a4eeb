// ModalReturn: re-activation of the main window after modal boxes.
#include "app/modal_return.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace bm {

ModalReturn::ModalReturn(QWidget* mainWindow) : QObject(mainWindow), main_(mainWindow) {
  qApp->installEventFilter(this);
}

ModalReturn::~ModalReturn() {
  if (qApp) qApp->removeEventFilter(this);
}

bool ModalReturn::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type type = e->type();
  if (type == QEvent::ShortcutOverride) {
    TakeKeyOf(qobject_cast<QWidget*>(watched));
    return false;
  }
  if (type != QEvent::Hide && type != QEvent::Show) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w || !w->isWindow() || !main_) return false;
  const bool modalClosed =
      type == QEvent::Hide && w != main_ && w->windowModality() != Qt::NonModal;
  const bool mainShown = type == QEvent::Show && w == main_;
  // From the event loop: the box is gone from the screen by then.
  if (modalClosed || mainShown) QTimer::singleShot(0, this, [this] { Reactivate(); });
  return false;
}

// A key reaches a widget of the main window while Qt counts no window (or
// another) as active: without a window manager the server hands keys to the
// window under the pointer after a box has closed, and a request for the
// focus made with an older timestamp than the box's end is ignored. The
// window is made active before the key's shortcut is looked up, which
// happens right after this event.
void ModalReturn::TakeKeyOf(QWidget* receiver) {
  if (!receiver || !main_ || receiver->window() != main_) return;
  if (QApplication::activeWindow() == main_) return;
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
  QApplication::setActiveWindow(main_);
  main_->activateWindow();
}

void ModalReturn::Reactivate() {
  if (!main_ || !main_->isVisible() || main_->isMinimized()) return;
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
  // Asked for even when Qt already counts the window as active: without a
  // window manager that count can outlive the server's focus, which the
  // closed box took along, and the keys would then reach no window.
  main_->activateWindow();
  // The keys go back to the widget that had them before the box (the editor
  // at start-up, when the window had never been active yet).
  if (QWidget* focus = main_->focusWidget()) focus->setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace bm
