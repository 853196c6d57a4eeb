#include "editor/editor_types.h"

namespace bm {

std::string IntToOctal(int64_t n) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + (n & 7)));
    n >>= 3;
  } while (n > 0);
  return "0" + digits;
}

std::string PadLeft(char fill, const std::string& text, size_t width) {
  if (text.size() >= width) return text;
  return std::string(width - text.size(), fill) + text;
}

std::string IntToHex(int64_t n, int minDigits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[n & 15]);
    n >>= 4;
  } while (n > 0);
  return PadLeft('0', digits, static_cast<size_t>(minDigits < 1 ? 1 : minDigits));
}

}  // namespace bm
