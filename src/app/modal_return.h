// Gives the keyboard back to the main window after a modal box of the program
// closes. A window manager does that by itself; without one the X server
// leaves the focus nowhere, the main window stays inactive, and its menu
// shortcuts would not run (the keys would reach the editor instead). The main
// window is likewise activated when it is first shown, and a key that reaches
// it while it is not active makes it active before its shortcut is looked up.
#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace bm {

class ModalReturn : public QObject {
  Q_OBJECT
 public:
  // Watches the application's windows for mainWindow, which owns this object.
  explicit ModalReturn(QWidget* mainWindow);
  ~ModalReturn() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // Activates the main window and gives the keys back to its focus widget,
  // unless it is hidden or a modal box or a menu is still open.
  void Reactivate();
  void TakeKeyOf(QWidget* receiver);

  QPointer<QWidget> main_;
};

}  // namespace bm
