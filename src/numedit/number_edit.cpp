// TNumberEditRules: conversions, the validity test and the predicted texts.
#include "numedit/number_edit.h"

#include <algorithm>
#include <array>

namespace bm {

namespace {

constexpr std::array<int, 4> kRadix = {16, 10, 8, 2};  // ebHex, ebDec, ebOct, ebBin
constexpr char kDigits[] = "0123456789ABCDEF";

constexpr char kBackspace = 8;
constexpr char kCtrlC = 3;
constexpr char kCtrlV = 22;
constexpr char kCtrlX = 24;

// The value of a digit character, or -1.
int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int RadixOf(TEditBase base) { return kRadix[static_cast<size_t>(base) & 3]; }

void TNumberEditRules::SetNumBase(TEditBase base) {
  const int32_t v = Value();
  numBase_ = base;
  SetValue(v);
}

void TNumberEditRules::SetMinValue(int32_t v) {
  minValue_ = std::max(v, 0);
  SetValue(Value());
}

void TNumberEditRules::SetMaxValue(int32_t v) {
  maxValue_ = std::max(v, 0);
  SetValue(Value());
}

void TNumberEditRules::SetValidate(bool v) {
  validate_ = v;
  SetValue(Value());
}

int32_t TNumberEditRules::TextToValue(std::string_view text) const {
  const size_t count = text.size() % 256;
  const auto radix = static_cast<uint32_t>(Radix());
  uint32_t v = 0;
  for (size_t i = 0; i < count; ++i) {
    // Letters above "9" count from 10; other characters give what their
    // code gives, as the text is only tested when it is typed.
    int d = static_cast<unsigned char>(text[i]) - '0';
    if (d > 10) d -= 7;
    v = v * radix + static_cast<uint32_t>(d);
  }
  return static_cast<int32_t>(v);
}

std::string TNumberEditRules::ValueToText(int32_t v) const {
  const auto radix = static_cast<uint32_t>(Radix());
  auto u = static_cast<uint32_t>(std::max(v, 0));
  std::string text;
  do {
    text.push_back(kDigits[u % radix]);
    u /= radix;
  } while (u != 0);
  std::reverse(text.begin(), text.end());
  return text;
}

int32_t TNumberEditRules::ClampValue(int32_t v) const {
  if (v < 0) v = 0;
  if (!validate_) return v;
  if (v < minValue_) return minValue_;
  if (v > maxValue_) return maxValue_;
  return v;
}

// Every character is tested, however long the text: a text of 256 characters
// must not pass unchecked because its length no longer fits a byte.
bool TNumberEditRules::IsAcceptableText(std::string_view text) const {
  const int radix = Radix();
  for (char c : text) {
    const int d = DigitValue(c);
    if (d < 0 || d >= radix) return false;
  }
  if (validate_) {
    const int32_t v = TextToValue(text);
    if (v < minValue_ || v > maxValue_) return false;
  }
  return true;
}

std::string TNumberEditRules::Head() const {
  const std::string text = Text();
  return text.substr(0, std::clamp<size_t>(static_cast<size_t>(std::max(SelStart(), 0)), 0,
                                           text.size()));
}

std::string TNumberEditRules::Tail(int k) const {
  const std::string text = Text();
  const auto from = static_cast<size_t>(std::max(k, 0));
  return from >= text.size() ? std::string() : text.substr(from);
}

std::string TNumberEditRules::PredictedText(NumberEditAction action, char key,
                                            std::string_view clip) const {
  const int start = std::max(SelStart(), 0);
  const int length = std::max(SelLength(), 0);
  switch (action) {
    case NumberEditAction::Typed:
      return Head() + key + Tail(start + length);
    case NumberEditAction::Backspace:
      if (length > 0) return Head() + Tail(start + length);
      return Text().substr(0, static_cast<size_t>(std::max(start - 1, 0))) + Tail(start);
    case NumberEditAction::Delete:
      if (length > 0) return Head() + Tail(start + length);
      return Head() + Tail(start + 1);
    case NumberEditAction::Cut:
      return Head() + Tail(start + length);
    case NumberEditAction::Paste:
      return Head() + std::string(clip) + Tail(start + length);
    case NumberEditAction::Copy:
      break;
  }
  return Text();
}

bool TNumberEditRules::CanAcceptChar(char key) const {
  if (key == kBackspace) return IsAcceptableText(PredictedText(NumberEditAction::Backspace));
  if (DigitValue(key) < 0) return false;
  return IsAcceptableText(PredictedText(NumberEditAction::Typed, key));
}

bool TNumberEditRules::Allows(NumberEditAction action, Clipboard& clipboard) const {
  switch (action) {
    case NumberEditAction::Copy:
      return true;
    case NumberEditAction::Paste:
      if (!clipboard.HasText()) return false;
      return IsAcceptableText(PredictedText(action, 0, clipboard.Text()));
    default:
      return IsAcceptableText(PredictedText(action));
  }
}

char TNumberEditRules::KeyPress(char code, Clipboard& clipboard) const {
  switch (code) {
    case kCtrlC:
      return Allows(NumberEditAction::Copy, clipboard) ? code : 0;
    case kCtrlV:
      return Allows(NumberEditAction::Paste, clipboard) ? code : 0;
    case kCtrlX:
      return Allows(NumberEditAction::Cut, clipboard) ? code : 0;
    default:
      break;
  }
  if (code >= 'a' && code <= 'z') code = static_cast<char>(code - 'a' + 'A');
  return CanAcceptChar(code) ? code : 0;
}

bool TNumberEditRules::KeyDown(uint16_t key, ShiftState shift, Clipboard& clipboard) const {
  if (shift.shift) {
    if (key == VK_INSERT) return Allows(NumberEditAction::Paste, clipboard);
    if (key == VK_DELETE) return Allows(NumberEditAction::Cut, clipboard);
  } else if (shift.ctrl) {
    if (key == VK_INSERT) return Allows(NumberEditAction::Copy, clipboard);
  } else if (key == VK_DELETE) {
    return Allows(NumberEditAction::Delete, clipboard);
  }
  return true;
}

}  // namespace bm
