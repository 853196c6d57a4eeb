// TMainForm: Undo, Redo, the clipboard commands, Go to and the steps.
#include <QAction>
#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "app/main_form.h"
#include "app/number_syntax.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"

namespace bm {

namespace {

// Bytes read at a time while copying the selection.
constexpr int64_t kCopyChunk = 1 << 20;

}  // namespace

void TMainForm::CopyBytesToClipboard(const uint8_t* buffer, int64_t count) {
  clipboard_.Clear();
  clipboard_.SetBytes(std::make_shared<const std::string>(reinterpret_cast<const char*>(buffer),
                                                          static_cast<size_t>(std::max<int64_t>(count, 0))));
}

// The clipboard gets the selected bytes exactly, zero bytes included, with
// their text up to the first zero byte for programs that take only text.
// The selection is read once into the buffer the clipboard then shares.
void TMainForm::CopySelection(bool cut) {
  TByteEditor& ed = ByteEditor1();
  const int64_t count = ed.SelLength();
  if (count <= 0) return;
  const int64_t start = std::min(ed.SelStart(), ed.SelEnd());
  auto bytes = std::make_shared<std::string>(static_cast<size_t>(count), '\0');
  int64_t done = 0;
  while (done < count) {
    const int64_t n = ed.ReadBytes(bytes->data() + done, start + done,
                                   std::min(count - done, kCopyChunk));
    if (n <= 0) break;
    done += n;
  }
  bytes->resize(static_cast<size_t>(done));
  clipboard_.Clear();
  clipboard_.SetBytes(std::move(bytes));
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
  constexpr size_t kMaxPaste = static_cast<size_t>(std::numeric_limits<int64_t>::max());
  // Exact bytes win over the text, which ends at the first zero byte.
  if (clipboard_.HasBytes()) {
    const ClipboardBytes bytes = clipboard_.Bytes();
    ByteEditor1().PasteBuffer(bytes.data, static_cast<int64_t>(std::min(bytes.size, kMaxPaste)));
    return;
  }
  const std::string text = clipboard_.Text();
  ByteEditor1().PasteBuffer(reinterpret_cast<const uint8_t*>(text.data()),
                            static_cast<int64_t>(std::min(text.size(), kMaxPaste)));
}

void TMainForm::Goto1Click() {
  TByteEditor& ed = ByteEditor1();
  if (ed.DataSize() < 1) return;
  const std::optional<std::string> text =
      dialogs_.InputBox(tr("Перейти по адресу...").toStdString(), "($ - HEX)", std::to_string(ed.CursorPosition()));
  if (!text) return;
  const int64_t target = ParseInputPosition(*text).value_or(-1);
  if (!ed.GotoPosition(target, 0, true)) ShowError("Invalid position");
}

void TMainForm::Amount40001Click() {
  const std::optional<std::string> text =
      dialogs_.InputBox(tr("Редактор смещения на шаг").toStdString(),
                        tr("Новое смещение шага, байт ($ - HEX):").toStdString(),
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
