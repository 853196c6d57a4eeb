// Construction, destruction and the plain property setters of TByteEditor.
#include "editor/byte_editor.h"

namespace bm {

TByteEditor::TByteEditor(WindowHost* host, FileSystem& files)
    : TGridBase(host), files_(files), colors_(this) {
  SetControlColor(colors_.Background());
  font_.name = "Courier";
  font_.SetSize(12);
  markers_.fill(-1);
  ClearUndo();
  SetDefaultColWidth(0);
  SetDefaultRowHeight(0);
  SetColCount(3 * 16 + 3);
  SetRowCount(1);
  SetFixedCols(2);
  SetFixedRows(0);
  workFileName_ = MakeWorkFileName();
  readWindow_.assign(kReadWindowSize, 0);
}

TByteEditor::~TByteEditor() {
  // Those who refer to this editor clear their reference.
  while (!freeNotifications_.empty()) {
    auto onFree = std::move(freeNotifications_.back().second);
    freeNotifications_.pop_back();
    if (onFree) onFree();
  }
  try {
    CloseWorkStream();
  } catch (const FileError&) {
    // The store is removed below in any case.
  }
  undoStream_.clear();
  changeMarks_.clear();
  if (workFileCreated_) files_.DeleteFile(workFileName_);
  if (Host()) Host()->StopTimer();
}

void TByteEditor::Loaded() { NewDocument("Untitled"); }

void TByteEditor::WindowCreated() {
  if (fileName_ == "---") NewDocument("Untitled");
}

void TByteEditor::HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t) {
  if (msg != kStateChangedMessage || wParam != kStateChangedParam) return;
  if (OnStateChanged) OnStateChanged(*this);
}

void TByteEditor::ColorsChanged(bool background) {
  if (background) SetControlColor(colors_.Background());
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::SetFocusFrame(bool value) {
  if (value == focusFrame_) return;
  focusFrame_ = value;
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::SetOffsetSeparator(char value) {
  if (value == offsetSeparator_) return;
  offsetSeparator_ = value;
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::SetSwapNibbles(bool value) {
  if (value == SwapNibbles()) return;
  swapNibbles_ = value ? 1 : 0;
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::SetAllowInsertMode(bool value) {
  allowInsertMode_ = noSizeChange_ ? false : value;
  UpdateRowCount(true);
  PostStateChanged();
}

void TByteEditor::SetCursorAfterEnd(bool value) {
  if (value == cursorAfterEnd_) return;
  cursorAfterEnd_ = value;
  UpdateRowCount(true);
  PostStateChanged();
}

void TByteEditor::SetNoSizeChange(bool value) {
  noSizeChange_ = value;
  SetAllowInsertMode(allowInsertMode_);
}

void TByteEditor::SetCaretStyle(TCaretStyle value) {
  if (value == caretStyle_) return;
  caretStyle_ = value;
  if (Host() && Host()->HasFocus()) {
    CreateEditorCaret();
    Host()->SetCaretPos(-50, -50);
    Host()->ShowCaret();
    Host()->InvalidateAll();
  }
}

void TByteEditor::SetAutoCaretMode(bool value) {
  autoCaretMode_ = value;
  if (value) SetCaretStyle(IsInsertMode() ? csLeftLine : csFull);
}

}  // namespace bm
