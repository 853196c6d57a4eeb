// TMainForm: the Replace command and the buttons of its dialog: find next,
// replace the selected match, replace all (with progress and a stop), count.
#include <QProgressDialog>

#include "app/main_form.h"
#include "app/replace_form.h"
#include "app/utf8_text.h"
#include "app/wait_cursor.h"
#include "editor/byte_editor.h"
#include "editor/search_pattern.h"
#include "platform/qt/qt_title_fit.h"

namespace bm {

bool TMainForm::ReplaceAllowed() {
  TByteEditor& ed = ByteEditor1();
  return ed.DataSize() > 0 && !ed.ReadOnlyFile();
}

void TMainForm::Replace1Click() {
  if (!ReplaceAllowed()) return;
  if (!replaceForm_) {
    replaceForm_ = new TReplaceForm(this);
    replaceForm_->OnFindNext = [this] { GuardedCall([this] { ReplaceFindNext(); }); };
    replaceForm_->OnReplace = [this] { GuardedCall([this] { ReplaceOne(); }); };
    replaceForm_->OnReplaceAll = [this] { GuardedCall([this] { ReplaceAllClick(); }); };
    replaceForm_->OnFindAll = [this] { GuardedCall([this] { ReplaceCount(); }); };
  }
  replaceForm_->ShowModal();
}

// The dialog's search becomes the search state, already in data bytes, so
// that Find next and Find previous go on with it after the dialog closes.
bool TMainForm::TakeReplacePattern() {
  TReplaceForm& dlg = *replaceForm_;
  const bool codeMode = dlg.FindMode() == 1;
  const std::string text = dlg.FindText();
  SearchPattern pattern = TypedPattern(text, codeMode);
  if (pattern.Empty()) return false;
  findQuery_ = codeMode ? text : (dlg.CaseSensitive() ? "t" : "T") + text;
  findIgnoreCase_ = !codeMode && !dlg.CaseSensitive();
  findPattern_ = std::move(pattern.bytes);
  findAny_.clear();
  if (pattern.HasWildcards()) findAny_ = std::move(pattern.any);
  findPatternLength_ = static_cast<int64_t>(findPattern_.size());
  ByteEditor1().ConvertPattern(findPattern_.data(), findPatternLength_, findIgnoreCase_, !codeMode);
  return true;
}

// The replacement in data bytes: text through the character set of the view.
static std::vector<uint8_t> ReplacementBytes(TByteEditor& ed, const TReplaceForm& dlg) {
  const std::string text = dlg.ReplaceText();
  if (dlg.ReplaceMode() == 1) return ParseHexCodes(text);
  std::vector<uint8_t> bytes(text.begin(), text.end());
  ed.ConvertPattern(bytes.data(), static_cast<int64_t>(bytes.size()), false, true);
  return bytes;
}

void TMainForm::ReplaceFindNext() {
  TByteEditor& ed = ByteEditor1();
  if (!TakeReplacePattern()) return;
  // On from the match still selected, else from the cursor.
  int64_t start = ed.CursorPosition();
  if (SelectionIsMatch()) start = std::min(ed.SelStart(), ed.SelEnd()) + 1;
  const int64_t q = ed.FindData(findPattern_.data(), findPatternLength_, start, ed.DataSize() - 1,
                                findIgnoreCase_, false, FindAnyFlags());
  findLastPos_ = q;
  ShowFindResult(q);
}

void TMainForm::ReplaceOne() {
  TByteEditor& ed = ByteEditor1();
  if (!TakeReplacePattern()) return;
  if (!SelectionIsMatch()) {
    ReplaceFindNext();
    return;
  }
  const std::vector<uint8_t> replacement = ReplacementBytes(ed, *replaceForm_);
  const int64_t s = std::min(ed.SelStart(), ed.SelEnd());
  const int64_t sizeBefore = ed.DataSize();
  // One range edit, all or nothing, one undo step.
  if (replacement.empty())
    ed.DeleteSelection();
  else
    ed.PasteBuffer(replacement.data(), static_cast<int64_t>(replacement.size()));
  const int64_t grown = static_cast<int64_t>(replacement.size()) - findPatternLength_;
  if (ed.DataSize() != sizeBefore + grown) return;  // refused
  // The next match after the replacement.
  const int64_t q = ed.FindData(findPattern_.data(), findPatternLength_,
                                s + static_cast<int64_t>(replacement.size()), ed.DataSize() - 1,
                                findIgnoreCase_, false, FindAnyFlags());
  findLastPos_ = q;
  ShowFindResult(q);
}

void TMainForm::ReplaceAllClick() {
  TByteEditor& ed = ByteEditor1();
  if (!ReplaceAllowed() || !TakeReplacePattern()) return;
  ReplaceAllRequest request;
  request.pattern = findPattern_;
  request.any = findAny_;
  request.ignoreCase = findIgnoreCase_;
  request.replacement = ReplacementBytes(ed, *replaceForm_);
  // Inside the selection when it is longer than one match.
  if (ed.SelLength() > findPatternLength_) {
    request.first = std::min(ed.SelStart(), ed.SelEnd());
    request.last = std::max(ed.SelStart(), ed.SelEnd());
  } else {
    request.first = 0;
    request.last = ed.DataSize() - 1;
  }

  WaitCursor busy;
  // Shown only when the pass looks like taking more than a second.
  QProgressDialog progress(tr("Замена..."), tr("Стоп"), 0, 1000, replaceForm_);
  progress.setObjectName(QStringLiteral("ReplaceProgress"));
  progress.setWindowTitle(tr("Заменить все"));
  FitTitle(&progress);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(1000);
  progress.setAutoReset(false);
  progress.setValue(0);
  const auto onProgress = [&](int64_t done, int64_t total) {
    progress.setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
    return !progress.wasCanceled();
  };
  ReplaceAllResult result;
  try {
    result = ed.ReplaceAll(request, onProgress);
  } catch (...) {
    progress.cancel();
    replaceForm_->ShowStatus(QString());
    throw;
  }
  progress.reset();
  findLastPos_ = -1;
  replaceForm_->ShowStatus(result.stopped ? tr("Замена остановлена")
                                          : tr("Заменено: %1").arg(result.count));
}

// Counts the matches in the whole data that a replace all would replace.
void TMainForm::ReplaceCount() {
  TByteEditor& ed = ByteEditor1();
  if (!TakeReplacePattern()) {
    replaceForm_->ShowStatus(tr("Найдено: %1").arg(0));
    return;
  }
  std::vector<uint8_t> pattern = findPattern_;
  const int64_t count = ed.CountData(pattern.data(), findPatternLength_, 0, ed.DataSize() - 1,
                                     findIgnoreCase_, false,
                                     FindAnyFlags(), false);
  replaceForm_->ShowStatus(tr("Найдено: %1").arg(count));
}

}  // namespace bm
