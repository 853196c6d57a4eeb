// Reading hex codes into search patterns, with "??" for any byte.
#include "editor/search_pattern.h"

#include <algorithm>

namespace bm {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits two to a byte, with a leading 0 for an odd count.
void AppendDigits(std::string digits, SearchPattern& out) {
  if (digits.size() % 2 != 0) digits.insert(digits.begin(), '0');
  for (size_t k = 0; k < digits.size(); k += 2) {
    out.bytes.push_back(static_cast<uint8_t>(HexValue(digits[k]) * 16 + HexValue(digits[k + 1])));
    out.any.push_back(0);
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool SearchPattern::HasWildcards() const {
  return std::find(any.begin(), any.end(), uint8_t{1}) != any.end();
}

SearchPattern TypedPattern(const std::string& text, bool codeMode) {
  if (codeMode) return ParseCodePattern(text);
  SearchPattern pattern;
  pattern.bytes.assign(text.begin(), text.end());
  return pattern;
}

std::vector<uint8_t> ParseHexCodes(const std::string& text) {
  std::string digits;
  for (char c : text)
    if (HexValue(c) >= 0) digits.push_back(c);
  SearchPattern out;
  AppendDigits(digits, out);
  return out.bytes;
}

SearchPattern ParseCodePattern(const std::string& text) {
  SearchPattern out;
  if (text.find("??") == std::string::npos) {
    out.bytes = ParseHexCodes(text);
    return out;
  }
  std::string run;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '?' && i + 1 < text.size() && text[i + 1] == '?') {
      AppendDigits(std::move(run), out);
      run.clear();
      out.bytes.push_back(0);
      out.any.push_back(1);
      ++i;
    } else if (IsBlank(c)) {
      AppendDigits(std::move(run), out);
      run.clear();
    } else if (HexValue(c) >= 0) {
      run.push_back(c);
    }
  }
  AppendDigits(std::move(run), out);
  return out;
}

}  // namespace bm
