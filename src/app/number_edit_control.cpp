// TNumberEdit: Qt's key, focus, mouse and menu events fed to the rules.
#include "app/number_edit_control.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "app/ui_language.h"
#include "platform/qt/qt_keys.h"

namespace bm {

namespace {

constexpr int kNoChar = -1;

// The character the key types, as Windows' key translation gives it: Ctrl
// with a letter gives its control code, Ctrl+Backspace 127, Alt none.
int TypedCode(const QKeyEvent* e) {
  const Qt::KeyboardModifiers mods = e->modifiers();
  if (mods & Qt::AltModifier) return kNoChar;
  if (e->key() == Qt::Key_Backspace) return (mods & Qt::ControlModifier) ? 127 : 8;
  if (mods & Qt::ControlModifier) {
    const uint16_t vk = VirtualKeyOf(e->key(), mods, e->nativeScanCode(), PlatformScanCodes());
    return vk >= 'A' && vk <= 'Z' ? vk - 'A' + 1 : kNoChar;
  }
  const QString text = e->text();
  if (text.isEmpty()) return kNoChar;
  return text.size() == 1 ? text.at(0).unicode() : 0xFFFF;
}

}  // namespace

TNumberEdit::TNumberEdit(Clipboard& clipboard, QWidget* parent)
    : QLineEdit(parent), clipboard_(clipboard) {
  // Text comes in by keys and the program's clipboard only: dropped text,
  // input-method text and the selection pasted by the middle button would
  // pass by the tests.
  setAcceptDrops(false);
  setDragEnabled(false);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  SetValue(0);
}

std::string TNumberEdit::Text() const { return text().toLatin1().toStdString(); }

void TNumberEdit::SetText(const std::string& text) {
  setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

int TNumberEdit::SelStart() const {
  return hasSelectedText() ? selectionStart() : cursorPosition();
}

int TNumberEdit::SelLength() const { return hasSelectedText() ? selectionLength() : 0; }

void TNumberEdit::CopyToClipboard() {
  if (!hasSelectedText()) return;
  clipboard_.Clear();
  clipboard_.SetText(selectedText().toLatin1().toStdString());
}

void TNumberEdit::CutToClipboard() {
  if (isReadOnly() || !hasSelectedText() || !Allows(NumberEditAction::Cut, clipboard_)) return;
  CopyToClipboard();
  del();
}

void TNumberEdit::PasteFromClipboard() {
  if (isReadOnly() || !Allows(NumberEditAction::Paste, clipboard_)) return;
  const std::string text = clipboard_.Text();
  insert(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void TNumberEdit::DeleteSelected() {
  if (isReadOnly() || !Allows(NumberEditAction::Delete, clipboard_)) return;
  del();
}

QMenu* TNumberEdit::CreateContextMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("NumberEditMenu"));
  const bool selected = hasSelectedText();
  const bool writable = !isReadOnly();
  auto add = [&](const char* name, const char* caption, bool enabled, void (TNumberEdit::*slot)()) {
    QAction* item = TrText(this, menu->addAction(QString()), caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setEnabled(enabled);
    connect(item, &QAction::triggered, this, slot);
  };
  add("edit-cut", QT_TR_NOOP("Вы&резать"), writable && selected && Allows(NumberEditAction::Cut, clipboard_),
      &TNumberEdit::CutToClipboard);
  add("edit-copy", QT_TR_NOOP("&Копировать"), selected, &TNumberEdit::CopyToClipboard);
  add("edit-paste", QT_TR_NOOP("Вст&авить"), writable && Allows(NumberEditAction::Paste, clipboard_),
      &TNumberEdit::PasteFromClipboard);
  add("edit-delete", QT_TR_NOOP("&Удалить"),
      writable && selected && Allows(NumberEditAction::Delete, clipboard_),
      &TNumberEdit::DeleteSelected);
  menu->addSeparator();
  add("select-all", QT_TR_NOOP("Выделить &все"), !text().isEmpty(), &QLineEdit::selectAll);
  return menu;
}

void TNumberEdit::contextMenuEvent(QContextMenuEvent* e) {
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(e->globalPos());
}

void TNumberEdit::keyPressEvent(QKeyEvent* e) {
  const Qt::KeyboardModifiers mods = e->modifiers();
  const uint16_t key = VirtualKeyOf(e->key(), mods, e->nativeScanCode(), PlatformScanCodes());
  const ShiftState shift = ShiftStateOf(mods);

  // Key-down stage: the clipboard keys and Delete.
  if (key == VK_INSERT || key == VK_DELETE) {
    const bool tested =
        shift.shift || (shift.ctrl ? key == VK_INSERT : key == VK_DELETE);
    if (tested) {
      if (KeyDown(key, shift, clipboard_)) {
        if (shift.shift) {
          key == VK_INSERT ? PasteFromClipboard() : CutToClipboard();
        } else if (shift.ctrl) {
          CopyToClipboard();
        } else if (!isReadOnly()) {
          del();
        }
      }
      e->accept();
      return;
    }
  }

  // Key-press stage: typed characters.
  const int code = TypedCode(e);
  if (code != kNoChar) {
    const char passed = code < 128 ? KeyPress(static_cast<char>(code), clipboard_) : 0;
    if (passed == 0) {
      // Refused; the window may still want it (Enter, Escape).
      e->ignore();
      return;
    }
    switch (passed) {
      case 3:
        CopyToClipboard();
        return;
      case 22:
        PasteFromClipboard();
        return;
      case 24:
        CutToClipboard();
        return;
      case 8:
        QLineEdit::keyPressEvent(e);
        return;
      default: {
        QKeyEvent upper(e->type(), e->key(), mods, QString(QChar(passed)),
                        e->isAutoRepeat(), e->count());
        QLineEdit::keyPressEvent(&upper);
        e->setAccepted(upper.isAccepted());
        return;
      }
    }
  }
  BaseKeyChecked(e);
}

void TNumberEdit::BaseKeyChecked(QKeyEvent* e) {
  const QString before = text();
  const int cursor = cursorPosition();
  const int start = selectionStart();
  const int length = selectionLength();
  QLineEdit::keyPressEvent(e);
  if (text() == before || IsAcceptableText(Text())) return;
  setText(before);
  if (start < 0) {
    setCursorPosition(cursor);
  } else if (cursor == start) {
    setSelection(start + length, -length);
  } else {
    setSelection(start, length);
  }
}

void TNumberEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  // A returning window or a closed popup gives the focus back; it is no entry.
  const Qt::FocusReason reason = e->reason();
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
  const bool leftClick =
      reason == Qt::MouseFocusReason && (QGuiApplication::mouseButtons() & Qt::LeftButton);
  if (autoSelect_ && !leftClick) {
    selectAll();
  } else if (!autoSelect_ && reason != Qt::MouseFocusReason) {
    deselect();  // the edit's own select-all on Tab
  }
}

void TNumberEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  const Qt::FocusReason reason = e->reason();
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
  SetValue(Value());
}

void TNumberEdit::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton) {
    e->accept();
    return;
  }
  QLineEdit::mousePressEvent(e);
}

void TNumberEdit::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton) {
    e->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(e);
}

// Dragged text would get in untested; the edit takes none.
void TNumberEdit::dragEnterEvent(QDragEnterEvent* e) { e->ignore(); }
void TNumberEdit::dragMoveEvent(QDragMoveEvent* e) { e->ignore(); }
void TNumberEdit::dropEvent(QDropEvent* e) { e->ignore(); }

}  // namespace bm
