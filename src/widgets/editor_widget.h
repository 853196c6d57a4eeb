// The Qt host of the editor control: a scroll area whose viewport paints the
// grid, forwards keys, mouse, focus and wheel, draws the caret, and whose
// scroll bars follow the grid's TopRow and first visible column.
#pragma once
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <functional>
#include <string>
#include <memory>
#include <optional>

#include "editor/byte_editor.h"
#include "platform/qt/qt_surface.h"
#include "platform/window_host.h"

namespace bm {

class ColumnRulerWidget;

class EditorWidget : public QAbstractScrollArea, public WindowHost {
  Q_OBJECT
 public:
  explicit EditorWidget(QWidget* parent = nullptr, FileSystem& files = SystemFileSystem());
  ~EditorWidget() override;

  TByteEditor& Editor() { return *editor_; }

  // Receives the message of an error that escaped the editor while it
  // handled an event; without a handler the message is only logged.
  std::function<void(const std::string&)> OnError;

  // WindowHost
  bool WindowExists() const override;
  void PostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
  void Invalidate(const Rect& r, bool erase) override;
  void InvalidateAll() override;
  void LockUpdate(bool lock) override;
  void ScrollStateChanged() override;
  int16_t KeyState(int vk) const override;
  bool HasFocus() const override;
  Surface& MeasureSurface() override;
  void SetBusyCursor(bool busy) override;
  void CreateCaret(const CaretBitmap& shape) override;
  void DestroyCaret() override;
  void SetCaretPos(int x, int y) override;
  void ShowCaret() override;
  void HideCaret() override;
  void StartTimer(int milliseconds) override;
  void StopTimer() override;

  // Caret state, for tests: position, and whether it exists and is shown
  // (blinking aside).
  QPoint CaretPos() const { return caretPos_; }
  bool CaretShown() const { return caretExists_ && caretShown_; }
  QRect CaretRect() const;

  // The column ruler over the data, in a top margin of its own so that it
  // never covers a row; off until it is turned on.
  void SetColumnRulerVisible(bool visible);
  bool ColumnRulerVisible() const { return ruler_ != nullptr; }
  ColumnRulerWidget* ColumnRuler() const { return ruler_; }

  // A view only: keys move and select but never change the data (no typed
  // bytes, Delete, Backspace or Insert).
  void SetViewOnly(bool viewOnly) { viewOnly_ = viewOnly; }
  bool ViewOnly() const { return viewOnly_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void customEvent(QEvent* e) override;
  bool focusNextPrevChild(bool next) override;

 private:
  // The modifiers and buttons of the input event being handled, which
  // KeyState reports while the editor handles it.
  class InputScope;

  void SyncScrollBars();
  // The top rows the vertical bar scrolls through, past the fixed ones.
  int64_t ScrollableTopRows() const;
  // An arrow or page action on the vertical bar, exact to the row.
  void VerticalBarAction(int action);
  void MouseEvent(QMouseEvent* e, int kind);
  bool CaretVisibleNow() const;
  void UpdateCaretRect();
  void RestartBlink();
  // Keeps the ruler's margin and place in step with the editor's row height.
  void PlaceRuler();
  void UpdateRuler();

  QtSurface measure_;
  bool windowCreated_ = false;
  std::unique_ptr<TByteEditor> editor_;

  bool syncingBars_ = false;
  bool resyncBars_ = false;
  int lockDepth_ = 0;
  bool busy_ = false;
  int wheelDelta_ = 0;
  bool editorFocused_ = false;
  QBasicTimer dragTimer_;

  std::optional<Qt::KeyboardModifiers> inputModifiers_;
  std::optional<Qt::MouseButtons> inputButtons_;

  // Alt code typed on the numeric keypad while Alt is held.
  bool altHeld_ = false;
  int altCode_ = 0;
  int altDigits_ = 0;
  bool altLeadingZero_ = false;

  QImage caretImage_;
  QPoint caretPos_{-50, -50};
  bool caretExists_ = false;
  bool caretShown_ = false;
  bool caretPhase_ = true;  // blink phase: true while drawn
  QBasicTimer caretTimer_;

  ColumnRulerWidget* ruler_ = nullptr;
  bool placingRuler_ = false;
  bool viewOnly_ = false;
};

}  // namespace bm
