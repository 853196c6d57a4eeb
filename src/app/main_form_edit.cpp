// TMainForm: Undo, Redo, the clipboard commands, Go to and the steps.
#include <QAction>
#include <algorithm>
#include <cstring>
#include <limits>

#include "app/main_form.h"
#include "app/number_syntax.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"

namespace bm {

namespace {

// Bytes read at a time while looking for the end of the clipboard text.
constexpr int64_t kCopyChunk = 1 << 20;

}  // namespace

void TMainForm::CopyBytesToClipboard(const uint8_t* buffer, int64_t count) {
  clipboard_.Clear();
  const auto* end = buffer + std::max<int64_t>(count, 0);
  const auto* zero = std::find(buffer, end, uint8_t{0});
  clipboard_.SetText(std::string(reinterpret_cast<const char*>(buffer),
                                 static_cast<size_t>(zero - buffer)));
}

// The clipboard gets the selected bytes only up to the first zero byte, so
// the selection is read piece by piece until that byte: copying a large
// selection does not need a buffer of its size.
void TMainForm::CopySelection(bool cut) {
  TByteEditor& ed = ByteEditor1();
  const int64_t count = ed.SelLength();
  if (count <= 0) return;
  const int64_t start = std::min(ed.SelStart(), ed.SelEnd());
  std::string text;
  for (int64_t done = 0; done < count;) {
    int64_t n = std::min(count - done, kCopyChunk);
    const std::unique_ptr<uint8_t[]> piece = ed.BufferFromFile(start + done, n);
    if (n <= 0) break;
    const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(piece.get(), 0, n));
    const int64_t usable = zero ? static_cast<int64_t>(zero - piece.get()) : n;
    text.append(reinterpret_cast<const char*>(piece.get()), static_cast<size_t>(usable));
    if (zero) break;
    done += n;
  }
  CopyBytesToClipboard(reinterpret_cast<const uint8_t*>(text.data()),
                       static_cast<int64_t>(text.size()));
  if (cut) ed.DeleteSelection();
}

void TMainForm::Rckgngig1Click() {
  if (ByteEditor1().CanUndo()) ByteEditor1().Undo();
}

void TMainForm::Redo1Click() {
  if (ByteEditor1().CanRedo()) ByteEditor1().Redo();
}

void TMainForm::Ausschneiden1Click() {
  Bearbeiten1Click();
  if (ausschneiden1_->isEnabled()) CopySelection(true);
}

void TMainForm::Kopieren1Click() { CopySelection(false); }

void TMainForm::Einfgen1Click() {
  Bearbeiten1Click();
  if (!einfgen1_->isEnabled()) return;
  const std::string text = clipboard_.Text();
  const auto count = static_cast<int64_t>(text.size());
  ByteEditor1().PasteBuffer(reinterpret_cast<const uint8_t*>(text.data()), count);
}

void TMainForm::Goto1Click() {
  TByteEditor& ed = ByteEditor1();
  if (ed.DataSize() < 1) return;
  const std::optional<std::string> text =
      dialogs_.InputBox("Перейти по адресу...", "($ - HEX)", std::to_string(ed.CursorPosition()));
  if (!text) return;
  const int64_t target = ParseInputPosition(*text).value_or(-1);
  if (!ed.GotoPosition(target, 0, true)) ShowError("Invalid position");
}

void TMainForm::Amount40001Click() {
  const std::optional<std::string> text =
      dialogs_.InputBox("Редактор смещения на шаг", "Новое смещение шага, байт ($ - HEX):",
                        std::to_string(jumpAmount_));
  if (!text) return;
  if (const std::optional<int64_t> value = ParseInputStep(*text)) jumpAmount_ = *value;
}

void TMainForm::Jumpforward1Click() { ByteEditor1().GotoPosition(jumpAmount_, 1, false); }

void TMainForm::Jumpbackward1Click() {
  // The most negative amount has no opposite; one byte less is as far.
  const int64_t back = jumpAmount_ == std::numeric_limits<int64_t>::min()
                           ? std::numeric_limits<int64_t>::max()
                           : -jumpAmount_;
  ByteEditor1().GotoPosition(back, 1, false);
}

// No key of the window's own changes the data: Ctrl+A is Go to's shortcut,
// and should it reach the editor while the shortcut is not dispatched, it is
// swallowed rather than taken as an edit.
void TMainForm::ByteEditor1KeyDown(uint16_t& key, ShiftState shift) {
  if (key == 'A' && shift.OnlyCtrl()) key = 0;
}

}  // namespace bm
