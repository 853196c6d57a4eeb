// Reading hex text, C arrays and Python bytes back into bytes.
#include "bytetools/hex_text.h"

#include <algorithm>
#include <cstddef>

namespace bm {

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

HexTextResult Fail(size_t index, char c) {
  HexTextResult r;
  r.ok = false;
  r.errorIndex = static_cast<int64_t>(index);
  r.errorChar = c;
  return r;
}

// Hex digits in groups between separators, over text[from, to).
HexTextResult ParseGroups(std::string_view text, size_t from, size_t to) {
  HexTextResult result;
  result.bytes.reserve((to - from) / 2);
  size_t i = from;
  while (i < to) {
    const char c = text[i];
    if (IsBlank(c) || c == ',' || c == ';') {
      ++i;
      continue;
    }
    // A group: "0x" then digits, or digits alone, up to the next separator.
    size_t start = i;
    if (c == '0' && i + 1 < to && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
      start = i + 2;
      if (start >= to || DigitValue(text[start]) < 0)
        return Fail(start < to ? start : i + 1, start < to ? text[start] : text[i + 1]);
    }
    size_t end = start;
    while (end < to && DigitValue(text[end]) >= 0) ++end;
    if (end < to && !IsBlank(text[end]) && text[end] != ',' && text[end] != ';')
      return Fail(end, text[end]);
    if ((end - start) % 2 != 0) return Fail(end - 1, text[end - 1]);
    for (size_t k = start; k < end; k += 2)
      result.bytes.push_back(static_cast<uint8_t>(DigitValue(text[k]) * 16 + DigitValue(text[k + 1])));
    i = end;
  }
  return result;
}

// The body of b'...' or b"..." over text[from, to), its quote given.
HexTextResult ParsePythonBody(std::string_view text, size_t from, size_t to, char quote) {
  HexTextResult result;
  result.bytes.reserve((to - from) / 4 + 1);
  for (size_t i = from; i < to;) {
    const char c = text[i];
    if (c == quote) return Fail(i, c);
    if (c != '\\') {
      const auto u = static_cast<unsigned char>(c);
      if (u < 0x20 || u >= 0x7F) return Fail(i, c);
      result.bytes.push_back(u);
      ++i;
      continue;
    }
    if (i + 1 >= to) return Fail(i, c);
    const char e = text[i + 1];
    uint8_t value = 0;
    size_t used = 2;
    switch (e) {
      case 'x': {
        // A digit missing at the closing quote points at the quote.
        for (size_t k = i + 2; k < i + 4; ++k) {
          if (k < to && DigitValue(text[k]) >= 0) continue;
          const size_t at = std::min(k, text.size() - 1);
          return Fail(at, text[at]);
        }
        const int hi = DigitValue(text[i + 2]);
        const int lo = DigitValue(text[i + 3]);
        value = static_cast<uint8_t>(hi * 16 + lo);
        used = 4;
        break;
      }
      case 'n': value = '\n'; break;
      case 'r': value = '\r'; break;
      case 't': value = '\t'; break;
      case '0': value = 0; break;
      case '\\': value = '\\'; break;
      case '\'': value = '\''; break;
      case '"': value = '"'; break;
      default: return Fail(i + 1, e);
    }
    result.bytes.push_back(value);
    i += used;
  }
  return result;
}

size_t SkipBlanks(std::string_view text, size_t i, size_t to) {
  while (i < to && IsBlank(text[i])) ++i;
  return i;
}

size_t TrimEnd(std::string_view text, size_t from, size_t to) {
  while (to > from && IsBlank(text[to - 1])) --to;
  return to;
}

}  // namespace

HexTextResult ParseHexText(std::string_view text) {
  const size_t first = SkipBlanks(text, 0, text.size());
  const size_t last = TrimEnd(text, first, text.size());

  // Python bytes: b'...' or b"...".
  if (last - first >= 3 && (text[first] == 'b' || text[first] == 'B') &&
      (text[first + 1] == '\'' || text[first + 1] == '"')) {
    const char quote = text[first + 1];
    if (text[last - 1] != quote) return Fail(last - 1, text[last - 1]);
    return ParsePythonBody(text, first + 2, last - 1, quote);
  }

  // A C array: a declaration ending in "=", the values between braces, and
  // nothing but ";" after them.
  const size_t open = text.find('{', first);
  if (open != std::string_view::npos && open < last) {
    size_t beforeOpen = TrimEnd(text, first, open);
    if (beforeOpen == first || text[beforeOpen - 1] != '=')
      return ParseGroups(text, first, last);  // reports the first stray character
    const size_t close = text.rfind('}', last);
    if (close == std::string_view::npos || close < open) return Fail(open, '{');
    for (size_t k = close + 1; k < last; ++k)
      if (text[k] != ';' && !IsBlank(text[k])) return Fail(k, text[k]);
    return ParseGroups(text, open + 1, close);
  }
  return ParseGroups(text, first, last);
}

}  // namespace bm
