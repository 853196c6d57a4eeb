// The numbers typed into the input boxes: one reader for every width.
#include "app/number_syntax.h"

namespace bm {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// How hexadecimal digits of a 64-bit number are read.
enum class HexReading { Unsigned, Pattern };

std::optional<int64_t> Parse64(const std::string& input, HexReading hex, size_t maxHexDigits = 16) {
  std::string text = input;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.replace(0, 2, "$");

  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i == text.size()) return std::nullopt;

  if (text[i] == '$') {
    ++i;
    const size_t digits = text.size() - i;
    if (digits < 1 || digits > maxHexDigits) return std::nullopt;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
      const int d = HexDigit(text[i]);
      if (d < 0) return std::nullopt;
      value = value << 4 | static_cast<uint64_t>(d);
    }
    if (hex == HexReading::Unsigned) {
      if (value > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
      return static_cast<int64_t>(value);
    }
    if (digits <= 8) return static_cast<int32_t>(static_cast<uint32_t>(value));
    return static_cast<int64_t>(value);
  }

  bool negative = false;
  if (text[i] == '+' || text[i] == '-') {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  // Gathered as a negative number, whose range reaches one further.
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    if (value < (INT64_MIN + (c - '0')) / 10) return std::nullopt;
    value = value * 10 - (c - '0');
  }
  if (negative) return value;
  if (value == INT64_MIN) return std::nullopt;
  return -value;
}

}  // namespace

std::optional<int32_t> ParseInputNumber(const std::string& input) {
  const std::optional<int64_t> value = Parse64(input, HexReading::Pattern, 8);
  if (!value || *value > INT32_MAX || *value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(*value);
}

std::optional<int64_t> ParseInputPosition(const std::string& text) {
  return Parse64(text, HexReading::Unsigned);
}

std::optional<int64_t> ParseInputStep(const std::string& text) {
  return Parse64(text, HexReading::Pattern);
}

}  // namespace bm
