// TMainForm: Find, Find next and Find previous, the search state kept
// between them, and the Find dialog's count.
#include <QCheckBox>

#include "app/findf.h"
#include "app/main_form.h"
#include "editor/byte_editor.h"
#include "editor/search_pattern.h"

namespace bm {

void TMainForm::ShowFindResult(int64_t q) {
  TByteEditor& ed = ByteEditor1();
  if (q != -1) {
    // The cursor on the match's last byte, the selection anchored there.
    ed.SetSelStart(q + findPatternLength_ - 1);
    ed.SetSelEnd(q);
  } else {
    dialogs_.MessageBox("Data not found.", std::string(), MessageIcon::None, MessageButtons::Ok);
  }
}

void TMainForm::Find1Click() {
  TByteEditor& ed = ByteEditor1();
  if (ed.DataSize() < 1) return;
  findLastPos_ = -1;
  findIgnoreCase_ = false;
  findPattern_.clear();
  findAny_.clear();
  findPatternLength_ = 0;
  if (!findForm_) return;
  findForm_->OnFindAll = [this] { GuardedCall([this] { FindFormCount(); }); };
  if (!findForm_->ShowModal()) return;

  const bool codeMode = findForm_->RadioGroup1ItemIndex() == 1;
  findQuery_ = findForm_->Edit1Text();
  if (!codeMode) findQuery_.insert(findQuery_.begin(), findForm_->CheckBox1->isChecked() ? 't' : 'T');
  if (findQuery_.empty()) return;

  SearchPattern pattern = TypedPattern(codeMode ? findQuery_ : findQuery_.substr(1), codeMode);
  if (pattern.Empty()) return;
  findPattern_ = std::move(pattern.bytes);
  if (pattern.HasWildcards()) findAny_ = std::move(pattern.any);
  findPatternLength_ = static_cast<int64_t>(findPattern_.size());
  findIgnoreCase_ = !codeMode && findQuery_.front() == 'T';

  const int64_t q = ed.FindData(findPattern_.data(), findPatternLength_, ed.CursorPosition(),
                                ed.DataSize() - 1, findIgnoreCase_, !codeMode,
                                FindAnyFlags());
  findLastPos_ = q;
  ShowFindResult(q);
}

void TMainForm::FindNext1Click() {
  TByteEditor& ed = ByteEditor1();
  if (ed.DataSize() < 1) return;
  // With no pattern (no Find yet, or the last one cancelled or giving no
  // bytes) Find next asks for one.
  if (findQuery_.empty() || findPattern_.empty()) {
    Find1Click();
    return;
  }
  // The previous match still selected: go on one byte after its start.
  if (ed.SelEnd() == findLastPos_) ++findLastPos_;
  const int64_t q = ed.FindData(findPattern_.data(), findPatternLength_, findLastPos_,
                                ed.DataSize() - 1, findIgnoreCase_, false,
                                FindAnyFlags());
  findLastPos_ = q;
  ShowFindResult(q);
}

void TMainForm::FindPrev1Click() {
  TByteEditor& ed = ByteEditor1();
  if (ed.DataSize() < 1) return;
  if (findQuery_.empty() || findPattern_.empty()) {
    Find1Click();
    return;
  }
  // From the byte before the last match while it is still selected or the
  // cursor still stands on its last byte (the Shift of Shift+F8 reaches the
  // editor first and drops the selection), else from before the cursor.
  const bool onMatch =
      findLastPos_ >= 0 && (ed.SelEnd() == findLastPos_ ||
                            ed.CursorPosition() == findLastPos_ + findPatternLength_ - 1);
  const int64_t from = onMatch ? findLastPos_ - 1 : ed.CursorPosition() - 1;
  const int64_t q =
      from < 0 ? -1
               : ed.FindDataBackward(findPattern_.data(), findPatternLength_, from, 0,
                                     findIgnoreCase_, false,
                                     FindAnyFlags());
  findLastPos_ = q;
  ShowFindResult(q);
}

// Counts every match, overlapping ones too (as Find next steps through
// them), of what the dialog holds now; the search state stays as it was.
void TMainForm::FindFormCount() {
  TByteEditor& ed = ByteEditor1();
  const bool codeMode = findForm_->RadioGroup1ItemIndex() == 1;
  SearchPattern pattern = TypedPattern(findForm_->Edit1Text(), codeMode);
  const bool ignoreCase = !codeMode && !findForm_->CheckBox1->isChecked();
  const int64_t count =
      pattern.Empty() ? 0
                      : ed.CountData(pattern.bytes.data(), pattern.Length(), 0, ed.DataSize() - 1,
                                     ignoreCase, !codeMode, pattern.AnyFlags(), true);
  findForm_->ShowCount(count);
}

bool TMainForm::SelectionIsMatch() {
  TByteEditor& ed = ByteEditor1();
  const int64_t n = findPatternLength_;
  if (n < 1 || findPattern_.empty() || ed.SelLength() != n) return false;
  const int64_t s = std::min(ed.SelStart(), ed.SelEnd());
  return ed.FindData(findPattern_.data(), n, s, s + n - 1, findIgnoreCase_, false,
                     FindAnyFlags()) == s;
}

}  // namespace bm
