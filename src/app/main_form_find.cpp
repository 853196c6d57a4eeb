// TMainForm: Find and Find next, and the search state kept between them.
#include <QCheckBox>

#include "app/findf.h"
#include "app/main_form.h"
#include "editor/byte_editor.h"

namespace bm {

namespace {

// Hex codes as typed: letters lower-cased, everything but hex digits dropped,
// a leading "0" added to an odd count; two digits a byte.
std::vector<uint8_t> CodePattern(const std::string& text) {
  std::string digits;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    const char lower = (u >= 'A' && u <= 'Z') ? static_cast<char>(u - 'A' + 'a') : c;
    if ((lower >= '0' && lower <= '9') || (lower >= 'a' && lower <= 'f')) digits.push_back(lower);
  }
  if (digits.size() % 2 != 0) digits.insert(digits.begin(), '0');
  auto value = [](char d) { return d <= '9' ? d - '0' : d - 'a' + 10; };
  std::vector<uint8_t> bytes(digits.size() / 2);
  for (size_t k = 0; k < bytes.size(); ++k)
    bytes[k] = static_cast<uint8_t>(value(digits[2 * k]) * 16 + value(digits[2 * k + 1]));
  return bytes;
}

}  // namespace

void TMainForm::ShowFindResult(int32_t q) {
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
  findPatternLength_ = 0;
  if (!findForm_ || !findForm_->ShowModal()) return;

  const bool codeMode = findForm_->RadioGroup1ItemIndex() == 1;
  findQuery_ = findForm_->Edit1Text();
  if (!codeMode) findQuery_.insert(findQuery_.begin(), findForm_->CheckBox1->isChecked() ? 't' : 'T');
  if (findQuery_.empty()) return;

  std::vector<uint8_t> pattern =
      codeMode ? CodePattern(findQuery_) : std::vector<uint8_t>(findQuery_.begin() + 1, findQuery_.end());
  if (pattern.empty()) return;
  findPattern_ = std::move(pattern);
  findPatternLength_ = static_cast<int32_t>(findPattern_.size());
  findIgnoreCase_ = !codeMode && findQuery_.front() == 'T';

  const int32_t q = ed.FindData(findPattern_.data(), findPatternLength_, ed.CursorPosition(),
                                ed.DataSize() - 1, findIgnoreCase_, !codeMode);
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
  const int32_t q = ed.FindData(findPattern_.data(), findPatternLength_, findLastPos_,
                                ed.DataSize() - 1, findIgnoreCase_, false);
  findLastPos_ = q;
  ShowFindResult(q);
}

}  // namespace bm
