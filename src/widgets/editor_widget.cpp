#include "widgets/editor_widget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include "platform/codepage.h"
#include "platform/scroll_map.h"
#include "widgets/column_ruler_widget.h"
#include "platform/qt/qt_keys.h"

namespace bm {

namespace {

constexpr int kWheelNotch = 120;
constexpr int kRowsPerNotch = 3;
const QPoint kParkedCaret(-50, -50);

// A message posted through the window host, delivered to the editor from the
// event loop.
class HostMessageEvent : public QEvent {
 public:
  static QEvent::Type EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  HostMessageEvent(uint32_t msg, uintptr_t wParam, intptr_t lParam)
      : QEvent(EventType()), msg(msg), wParam(wParam), lParam(lParam) {}
  const uint32_t msg;
  const uintptr_t wParam;
  const intptr_t lParam;
};

// A modifier key's own press counts it as held, its release as no longer held.
Qt::KeyboardModifiers ModifiersOfKeyEvent(const QKeyEvent* e) {
  Qt::KeyboardModifiers m = e->modifiers();
  Qt::KeyboardModifier own = Qt::NoModifier;
  switch (e->key()) {
    case Qt::Key_Shift: own = Qt::ShiftModifier; break;
    case Qt::Key_Control: own = Qt::ControlModifier; break;
    case Qt::Key_Alt: own = Qt::AltModifier; break;
    default: return m;
  }
  if (e->type() == QEvent::KeyPress) m |= own;
  else m &= ~Qt::KeyboardModifiers(own);
  return m;
}

// Runs an event handler's work; an error that escapes the editor (a full disk
// under the working copy while typing, say) is reported instead of crossing
// Qt's event dispatch, which would end the program.
template <typename F>
void ReportingErrors(const std::function<void(const std::string&)>& onError, F&& work) {
  try {
    work();
  } catch (const std::exception& error) {
    if (onError)
      onError(error.what());
    else
      qWarning("%s", error.what());
  }
}

}  // namespace

class EditorWidget::InputScope {
 public:
  InputScope(EditorWidget* w, Qt::KeyboardModifiers modifiers,
             std::optional<Qt::MouseButtons> buttons = std::nullopt)
      : w_(w), oldModifiers_(w->inputModifiers_), oldButtons_(w->inputButtons_) {
    w_->inputModifiers_ = modifiers;
    if (buttons) w_->inputButtons_ = buttons;
  }
  ~InputScope() {
    w_->inputModifiers_ = oldModifiers_;
    w_->inputButtons_ = oldButtons_;
  }
  InputScope(const InputScope&) = delete;
  InputScope& operator=(const InputScope&) = delete;

 private:
  EditorWidget* w_;
  std::optional<Qt::KeyboardModifiers> oldModifiers_;
  std::optional<Qt::MouseButtons> oldButtons_;
};

EditorWidget::EditorWidget(QWidget* parent, FileSystem& files) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setMouseTracking(true);

  connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this](int action) { ReportingErrors(OnError, [&] { VerticalBarAction(action); }); });
  editor_ = std::make_unique<TByteEditor>(this, files);
  windowCreated_ = true;
  editor_->SetClientSize(viewport()->width(), viewport()->height());
  editor_->WindowCreated();
  ScrollStateChanged();
}

EditorWidget::~EditorWidget() {
  // The ruler draws from the editor: it goes first.
  delete ruler_;
  ruler_ = nullptr;
  // The editor may still talk to its host while it goes.
  editor_.reset();
  if (busy_) QApplication::restoreOverrideCursor();
}

// ---- WindowHost -----------------------------------------------------------------

bool EditorWidget::WindowExists() const { return windowCreated_; }

void EditorWidget::PostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  QCoreApplication::postEvent(this, new HostMessageEvent(msg, wParam, lParam));
}

void EditorWidget::customEvent(QEvent* e) {
  ReportingErrors(OnError, [&] {
    if (e->type() == HostMessageEvent::EventType()) {
      const auto* m = static_cast<HostMessageEvent*>(e);
      if (editor_) editor_->HandleMessage(m->msg, m->wParam, m->lParam);
      UpdateRuler();  // the cursor's column may have moved
      return;
    }
    QAbstractScrollArea::customEvent(e);
  });
}

void EditorWidget::Invalidate(const Rect& r, bool) {
  if (r.IsEmpty()) return;
  const QRect q(r.left, r.top, r.Width(), r.Height());
  viewport()->update(q);
  // The caret is XOR-ed over whatever was painted last: a repaint of part of
  // it would leave the rest in the old phase.
  if (CaretVisibleNow() && q.intersects(CaretRect())) viewport()->update(CaretRect());
}

void EditorWidget::InvalidateAll() {
  viewport()->update();
  UpdateRuler();
}

void EditorWidget::LockUpdate(bool lock) {
  if (lock) {
    if (lockDepth_++ == 0) viewport()->setUpdatesEnabled(false);
  } else if (lockDepth_ > 0) {
    if (--lockDepth_ == 0) {
      viewport()->setUpdatesEnabled(true);
      // What was invalidated while frozen was dropped: repaint everything.
      viewport()->update();
      UpdateRuler();
    }
  }
}

void EditorWidget::ScrollStateChanged() {
  if (!editor_) return;
  if (syncingBars_) {
    // Setting a range can resize the viewport, which changes the grid again.
    resyncBars_ = true;
    return;
  }
  syncingBars_ = true;
  for (int pass = 0; pass < 4; ++pass) {
    resyncBars_ = false;
    SyncScrollBars();
    if (!resyncBars_) break;
  }
  syncingBars_ = false;
}

// ---- column ruler ------------------------------------------------------------------

void EditorWidget::SetColumnRulerVisible(bool visible) {
  if (visible == ColumnRulerVisible()) return;
  if (visible) {
    ruler_ = new ColumnRulerWidget(*editor_, this);
    ruler_->show();
  } else {
    delete ruler_;
    ruler_ = nullptr;
  }
  PlaceRuler();
}

void EditorWidget::PlaceRuler() {
  if (placingRuler_) return;
  placingRuler_ = true;
  const int height = ruler_ ? ruler_->RulerHeight() : 0;
  if (viewportMargins().top() != height) setViewportMargins(0, height, 0, 0);
  if (ruler_) {
    const QRect v = viewport()->geometry();
    ruler_->setGeometry(v.left(), v.top() - height, v.width(), height);
    ruler_->update();
  }
  placingRuler_ = false;
}

void EditorWidget::UpdateRuler() {
  if (!ruler_) return;
  // A new font changes the row height, and so the ruler's.
  if (ruler_->height() != ruler_->RulerHeight() ||
      ruler_->width() != viewport()->width())
    PlaceRuler();
  ruler_->update();
}

void EditorWidget::SyncScrollBars() {
  TByteEditor& ed = *editor_;
  QScrollBar* v = verticalScrollBar();
  const int64_t maxTop = ScrollableTopRows();
  const int maximum = ScrollBarMaximum(maxTop);
  v->setRange(ed.FixedRows(), ed.FixedRows() + maximum);
  v->setSingleStep(1);
  // A proportional bar keeps its page in proportion too, so the thumb's size
  // still tells how much of the data is in view.
  const int64_t page = std::max(1, ed.VisibleRowCount());
  v->setPageStep(maximum == maxTop ? static_cast<int>(page)
                                   : std::max(1, RowToScrollValue(page, maxTop)));
  v->setValue(ed.FixedRows() + RowToScrollValue(ed.TopRow() - ed.FixedRows(), maxTop));
  QScrollBar* h = horizontalScrollBar();
  h->setRange(ed.FixedCols(), std::max(ed.FixedCols(), ed.MaxLeftCol()));
  h->setSingleStep(1);
  h->setPageStep(std::max(1, ed.VisibleColCount()));
  h->setValue(ed.LeftCol());
}

int64_t EditorWidget::ScrollableTopRows() const {
  return std::max<int64_t>(0, editor_->MaxTopRow() - editor_->FixedRows());
}

void EditorWidget::VerticalBarAction(int action) {
  if (!editor_ || ScrollBarMaximum(ScrollableTopRows()) == ScrollableTopRows()) return;
  // On a proportional bar the arrows and the page areas still move by one
  // row and by a page of rows.
  int64_t rows = 0;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: rows = 1; break;
    case QAbstractSlider::SliderSingleStepSub: rows = -1; break;
    case QAbstractSlider::SliderPageStepAdd: rows = editor_->VisibleRowCount(); break;
    case QAbstractSlider::SliderPageStepSub: rows = -editor_->VisibleRowCount(); break;
    default: return;
  }
  editor_->SetTopRow(editor_->TopRow() + rows);
  editor_->Scrolled();
  verticalScrollBar()->setSliderPosition(
      editor_->FixedRows() +
      RowToScrollValue(editor_->TopRow() - editor_->FixedRows(), ScrollableTopRows()));
}

void EditorWidget::scrollContentsBy(int, int) {
  ReportingErrors(OnError, [&] {
    // The grid repaints itself from its new scroll position; no pixels move.
    if (!editor_ || syncingBars_) return;
    const int top = verticalScrollBar()->value() - editor_->FixedRows();
    const int left = horizontalScrollBar()->value();
    // A bar still on the value of the top row leaves it where it is: a
    // proportional value stands for many rows, and keys scroll to one of them.
    const int64_t maxTop = ScrollableTopRows();
    if (top != RowToScrollValue(editor_->TopRow() - editor_->FixedRows(), maxTop))
      editor_->SetTopRow(editor_->FixedRows() + ScrollValueToRow(top, maxTop));
    editor_->SetLeftCol(left);
    editor_->Scrolled();
    // The grid may have clamped the values: the bars show where it is.
    ScrollStateChanged();
  });
}

int16_t EditorWidget::KeyState(int vk) const {
  const Qt::KeyboardModifiers mods =
      inputModifiers_ ? *inputModifiers_ : QGuiApplication::queryKeyboardModifiers();
  const Qt::MouseButtons buttons = inputButtons_ ? *inputButtons_ : QGuiApplication::mouseButtons();
  bool down = false;
  switch (vk) {
    case VK_SHIFT: down = mods & Qt::ShiftModifier; break;
    case VK_CONTROL: down = mods & Qt::ControlModifier; break;
    case VK_MENU: down = mods & Qt::AltModifier; break;
    case VK_LBUTTON: down = buttons & Qt::LeftButton; break;
    case VK_RBUTTON: down = buttons & Qt::RightButton; break;
    case 0x04: down = buttons & Qt::MiddleButton; break;  // VK_MBUTTON
    default: break;
  }
  return down ? static_cast<int16_t>(0x8000) : int16_t{0};
}

bool EditorWidget::HasFocus() const { return hasFocus(); }

Surface& EditorWidget::MeasureSurface() { return measure_; }

void EditorWidget::SetBusyCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void EditorWidget::StartTimer(int milliseconds) { dragTimer_.start(std::max(1, milliseconds), this); }

void EditorWidget::StopTimer() { dragTimer_.stop(); }

// ---- caret ----------------------------------------------------------------------

QRect EditorWidget::CaretRect() const { return QRect(caretPos_, caretImage_.size()); }

bool EditorWidget::CaretVisibleNow() const {
  return caretExists_ && caretShown_ && caretPhase_ && !caretImage_.isNull() &&
         caretPos_ != kParkedCaret && hasFocus();
}

void EditorWidget::UpdateCaretRect() {
  if (!caretImage_.isNull()) viewport()->update(CaretRect());
}

void EditorWidget::RestartBlink() {
  caretPhase_ = true;
  const int flash = QApplication::cursorFlashTime();
  if (caretExists_ && caretShown_ && flash > 0) caretTimer_.start(flash / 2, this);
  else caretTimer_.stop();
}

void EditorWidget::CreateCaret(const CaretBitmap& shape) {
  UpdateCaretRect();
  QImage image(std::max(0, shape.width), std::max(0, shape.height), QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const Color c = shape.At(x, y);
      line[x] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                     static_cast<int>((c >> 16) & 0xFF));
    }
  }
  caretImage_ = image;
  caretExists_ = true;
  caretShown_ = false;  // a new caret starts hidden, as a system caret does
  RestartBlink();
}

void EditorWidget::DestroyCaret() {
  UpdateCaretRect();
  caretExists_ = false;
  caretShown_ = false;
  caretImage_ = QImage();
  caretTimer_.stop();
}

void EditorWidget::SetCaretPos(int x, int y) {
  const QPoint p(x, y);
  if (p == caretPos_) return;
  UpdateCaretRect();
  caretPos_ = p;
  RestartBlink();
  UpdateCaretRect();
}

void EditorWidget::ShowCaret() {
  if (!caretExists_ || caretShown_) return;
  caretShown_ = true;
  RestartBlink();
  UpdateCaretRect();
}

void EditorWidget::HideCaret() {
  if (!caretShown_) return;
  caretShown_ = false;
  caretTimer_.stop();
  UpdateCaretRect();
}

// ---- painting and size ------------------------------------------------------------

void EditorWidget::paintEvent(QPaintEvent* e) {
  // Only logged: a box shown from painting would ask for the next paint.
  ReportingErrors({}, [&] {
    QPainter painter(viewport());
    QtSurface surface(&painter);
    surface.SetFont(editor_->Font());
    const QRect r = e->rect();
    editor_->Paint(surface, Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
    if (CaretVisibleNow()) {
      painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      painter.drawImage(caretPos_, caretImage_);
    }
  });
}

void EditorWidget::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  if (editor_) editor_->SetClientSize(viewport()->width(), viewport()->height());
  if (ruler_) PlaceRuler();
}

// ---- keys -------------------------------------------------------------------------

bool EditorWidget::focusNextPrevChild(bool) { return false; }

void EditorWidget::keyPressEvent(QKeyEvent* e) {
  ReportingErrors(OnError, [&] {
    const Qt::KeyboardModifiers mods = ModifiersOfKeyEvent(e);
    InputScope scope(this, mods);
    const int qtKey = e->key();
    uint16_t key = VirtualKeyOf(qtKey, mods, e->nativeScanCode(), PlatformScanCodes());

    // Alt codes: Alt held, digits on the numeric keypad.
    if (qtKey == Qt::Key_Alt) {
      if (!e->isAutoRepeat()) {
        altHeld_ = true;
        altCode_ = 0;
        altDigits_ = 0;
        altLeadingZero_ = false;
      }
    } else if (altHeld_ && (mods & Qt::AltModifier)) {
      const int digit = KeypadDigit(qtKey, mods);
      if (digit >= 0) {
        if (altDigits_ == 0) altLeadingZero_ = digit == 0;
        altCode_ = (altCode_ * 10 + digit) % 100000;
        ++altDigits_;
        key = static_cast<uint16_t>(VK_NUMPAD0 + digit);
      } else {
        altHeld_ = false;  // any other key ends the code
      }
    }

    ShiftState shift = ShiftStateOf(mods);
    if (viewOnly_) {
      if (key != VK_DELETE && key != VK_BACK && key != VK_INSERT && key != 0)
        editor_->KeyDown(key, shift);
      return;
    }
    if (key != 0) editor_->KeyDown(key, shift);

    // Typed characters, as the key translation of Windows gives them; with
    // Ctrl or Alt held it gives only control codes, which the editor ignores.
    if (mods & (Qt::ControlModifier | Qt::AltModifier)) return;
    if (qtKey == Qt::Key_Delete) return;
    const QString text = e->text();
    for (char32_t ch : text.toUcs4()) {
      if (ch == 0x7F) continue;
      const int b = UnicodeToAnsi(ch);
      if (b >= 0) editor_->WMChar(static_cast<uint8_t>(b));
    }
  });
}

void EditorWidget::keyReleaseEvent(QKeyEvent* e) {
  ReportingErrors(OnError, [&] {
    if (e->isAutoRepeat()) return;  // a held key repeats its press only
    const Qt::KeyboardModifiers mods = ModifiersOfKeyEvent(e);
    InputScope scope(this, mods);
    const int qtKey = e->key();
    uint16_t key = VirtualKeyOf(qtKey, mods, e->nativeScanCode(), PlatformScanCodes());
    if (altHeld_ && qtKey != Qt::Key_Alt && (mods & Qt::AltModifier)) {
      const int digit = KeypadDigit(qtKey, mods);
      if (digit >= 0) key = static_cast<uint16_t>(VK_NUMPAD0 + digit);
    }
    if (key != 0) editor_->KeyUp(key, ShiftStateOf(mods));

    if (qtKey == Qt::Key_Alt) {
      const bool typed = altHeld_ && altDigits_ > 0;
      altHeld_ = false;
      if (typed && !viewOnly_) {
        // A code with a leading zero names a character of the ANSI code page,
        // any other one a character of the OEM code page.
        const uint8_t code = static_cast<uint8_t>(altCode_ % 256);
        editor_->WMChar(altLeadingZero_ ? code : OemToAnsi(code));
      }
    }
  });
}

// ---- mouse --------------------------------------------------------------------------

namespace {
enum MouseKind { kPress, kDouble, kMove, kRelease };
}

void EditorWidget::MouseEvent(QMouseEvent* e, int kind) {
  ReportingErrors(OnError, [&] {
    InputScope scope(this, e->modifiers(), e->buttons());
    ShiftState shift = ShiftStateOf(e->modifiers());
    shift.left = e->buttons() & Qt::LeftButton;
    shift.right = e->buttons() & Qt::RightButton;
    shift.middle = e->buttons() & Qt::MiddleButton;
    shift.dbl = kind == kDouble;
    const QPoint p = e->position().toPoint();
    if (kind == kMove) {
      editor_->MouseMove(shift, p.x(), p.y());
      return;
    }
    MouseButton button;
    switch (e->button()) {
      case Qt::LeftButton: button = MouseButton::Left; break;
      case Qt::RightButton: button = MouseButton::Right; break;
      case Qt::MiddleButton: button = MouseButton::Middle; break;
      default: return;
    }
    if (kind == kRelease) editor_->MouseUp(button, shift, p.x(), p.y());
    else editor_->MouseDown(button, shift, p.x(), p.y());
  });
}

void EditorWidget::mousePressEvent(QMouseEvent* e) { MouseEvent(e, kPress); }
void EditorWidget::mouseDoubleClickEvent(QMouseEvent* e) { MouseEvent(e, kDouble); }
void EditorWidget::mouseMoveEvent(QMouseEvent* e) { MouseEvent(e, kMove); }
void EditorWidget::mouseReleaseEvent(QMouseEvent* e) { MouseEvent(e, kRelease); }

void EditorWidget::wheelEvent(QWheelEvent* e) {
  ReportingErrors(OnError, [&] {
    e->accept();
    wheelDelta_ += e->angleDelta().y();
    const int notches = wheelDelta_ / kWheelNotch;
    if (notches == 0) return;
    wheelDelta_ -= notches * kWheelNotch;
    editor_->ScrollRows(-kRowsPerNotch * notches);
  });
}

// ---- focus and timers ----------------------------------------------------------------

void EditorWidget::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  if (editorFocused_) return;  // back from a popup: the focus never left
  editorFocused_ = true;
  editor_->FocusGained();
}

void EditorWidget::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  // A popup menu takes the keyboard for a while but not the focus.
  if (e->reason() == Qt::PopupFocusReason || !editorFocused_) return;
  editorFocused_ = false;
  editor_->FocusLost();
}

void EditorWidget::timerEvent(QTimerEvent* e) {
  ReportingErrors(OnError, [&] {
    if (e->timerId() == dragTimer_.timerId()) {
      editor_->HandleTimer();
    } else if (e->timerId() == caretTimer_.timerId()) {
      caretPhase_ = !caretPhase_;
      UpdateCaretRect();
    } else {
      QAbstractScrollArea::timerEvent(e);
    }
  });
}

}  // namespace bm
