// Bytes to text and text to bytes for each row of the value inspector.
#include "inspect/value_codec.h"

#include <cctype>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>

#include "inspect/civil_time.h"
#include "inspect/utf8.h"
#include "platform/codepage.h"

namespace bm::inspect {

namespace {

struct RowInfo {
  const char* key;
  const char* caption;
  int width;
};

constexpr RowInfo kRows[kRowCount] = {
    {"offset", "Смещение", 0},    {"bin", "Двоичное", 1},       {"oct", "Восьмеричное", 1},
    {"i8", "int8", 1},            {"u8", "uint8", 1},           {"i16", "int16", 2},
    {"u16", "uint16", 2},         {"i32", "int32", 4},          {"u32", "uint32", 4},
    {"i64", "int64", 8},          {"u64", "uint64", 8},         {"f32", "float32", 4},
    {"f64", "float64", 8},        {"char", "Символ", 1},        {"utf8", "UTF-8", 1},
    {"time32", "time32 (UTC)", 4}, {"time64", "time64 (UTC)", 8},
};

const RowInfo& Info(Row row) { return kRows[static_cast<int>(row)]; }

uint64_t Load(const uint8_t* p, int n, ByteOrder order) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) {
    const int k = order == ByteOrder::Little ? n - 1 - i : i;
    v = v << 8 | p[k];
  }
  return v;
}

std::vector<uint8_t> Store(uint64_t v, int n, ByteOrder order) {
  std::vector<uint8_t> out(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const auto b = static_cast<uint8_t>(v >> (8 * i));
    out[static_cast<size_t>(order == ByteOrder::Little ? i : n - 1 - i)] = b;
  }
  return out;
}

int64_t SignExtend(uint64_t v, int n) {
  if (n >= 8) return static_cast<int64_t>(v);
  const uint64_t sign = uint64_t{1} << (8 * n - 1);
  return static_cast<int64_t>((v ^ sign) - sign);
}

std::string_view Trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsSigned(Row row) {
  return row == Row::I8 || row == Row::I16 || row == Row::I32 || row == Row::I64;
}

template <typename F>
std::string FloatText(F v) {
  if (std::isnan(v)) return std::signbit(v) ? "-NaN" : "NaN";
  if (std::isinf(v)) return v < 0 ? "-Infinity" : "Infinity";
  char text[64];
  const auto r = std::to_chars(text, text + sizeof text, v);
  return std::string(text, r.ptr);
}

bool EqualsNoCase(std::string_view a, const char* b) {
  const size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return true;
}

// A float of type F from text; a comma counts as the decimal point.
template <typename F>
Encoded ParseFloat(std::string_view text, ByteOrder order, const char* rangeReason) {
  Encoded e;
  std::string s(Trim(text));
  bool negative = false;
  std::string_view body = s;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  F v{};
  if (EqualsNoCase(body, "nan")) {
    v = std::numeric_limits<F>::quiet_NaN();
    if (negative) v = -v;
  } else if (EqualsNoCase(body, "inf") || EqualsNoCase(body, "infinity")) {
    v = negative ? -std::numeric_limits<F>::infinity() : std::numeric_limits<F>::infinity();
  } else {
    std::string digits(body);
    for (char& c : digits)
      if (c == ',') c = '.';
    if (digits.empty() || digits.front() == '+' || digits.front() == '-') {
      e.reason = "Ожидается число";
      return e;
    }
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
      e.reason = rangeReason;
      return e;
    }
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) {
      e.reason = "Ожидается число";
      return e;
    }
    if (negative) v = -v;
  }
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof v);
  e.ok = true;
  e.bytes = Store(bits, static_cast<int>(sizeof v), order);
  return e;
}

Encoded Refused(const char* reason) {
  Encoded e;
  e.reason = reason;
  return e;
}

Encoded Bytes(std::vector<uint8_t> bytes) {
  Encoded e;
  e.ok = true;
  e.bytes = std::move(bytes);
  return e;
}

Encoded EncodeInteger(Row row, std::string_view text, ByteOrder order) {
  const int n = RowWidth(row);
  bool negative = false;
  uint64_t magnitude = 0;
  const IntegerText parsed = ParseInteger(text, negative, magnitude);
  if (parsed == IntegerText::NotANumber) return Refused("Ожидается целое число");
  const int bits = 8 * n;
  uint64_t value = 0;
  bool fits = false;
  if (IsSigned(row)) {
    const uint64_t limit = uint64_t{1} << (bits - 1);  // |min|; max is one less
    fits = negative ? magnitude <= limit : magnitude < limit;
    value = negative ? ~magnitude + 1 : magnitude;
  } else {
    const uint64_t max = bits == 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1;
    fits = (!negative || magnitude == 0) && magnitude <= max;
    value = magnitude;
  }
  if (parsed == IntegerText::TooLarge || !fits) {
    static const char* const kRange[] = {
        "Вне диапазона: от -128 до 127",
        "Вне диапазона: от 0 до 255",
        "Вне диапазона: от -32768 до 32767",
        "Вне диапазона: от 0 до 65535",
        "Вне диапазона: от -2147483648 до 2147483647",
        "Вне диапазона: от 0 до 4294967295",
        "Вне диапазона: от -9223372036854775808 до 9223372036854775807",
        "Вне диапазона: от 0 до 18446744073709551615",
    };
    return Refused(kRange[static_cast<int>(row) - static_cast<int>(Row::I8)]);
  }
  return Bytes(Store(value, n, order));
}

// One code point typed as itself, or as "U+XXXX" (optionally followed by a
// blank and that character, as the row shows it).
bool TypedCodePoint(std::string_view text, char32_t& cp) {
  const auto* p = reinterpret_cast<const uint8_t*>(text.data());
  const int n = static_cast<int>(text.size());
  if (n >= 3 && (text[0] == 'U' || text[0] == 'u') && text[1] == '+') {
    size_t i = 2;
    uint32_t v = 0;
    while (i < text.size() && i < 10 && std::isxdigit(static_cast<unsigned char>(text[i]))) {
      const char c = text[i];
      v = v * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
      ++i;
    }
    if (i == 2 || i - 2 > 6) return false;
    if (i < text.size()) {
      char32_t shown = 0;
      if (text[i] != ' ' || DecodeUtf8(p + i + 1, n - static_cast<int>(i) - 1, shown) !=
                                n - static_cast<int>(i) - 1 || shown != v)
        return false;
    }
    cp = v;
    return true;
  }
  return n > 0 && DecodeUtf8(p, n, cp) == n;
}

}  // namespace

const char* RowKey(Row row) { return Info(row).key; }
const char* RowCaption(Row row) { return Info(row).caption; }
int RowWidth(Row row) { return Info(row).width; }

IntegerText ParseInteger(std::string_view text, bool& negative, uint64_t& magnitude) {
  text = Trim(text);
  negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return IntegerText::NotANumber;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (r.ptr != text.data() + text.size()) return IntegerText::NotANumber;
  if (r.ec == std::errc::result_out_of_range) return IntegerText::TooLarge;
  return r.ec == std::errc() ? IntegerText::Ok : IntegerText::NotANumber;
}

std::string DecodeRow(Row row, const CursorBytes& at, ByteOrder order, const CharSet& chars) {
  if (at.count <= 0) return kNoValue;
  char text[64];
  if (row == Row::Offset) {
    std::snprintf(text, sizeof text, "0x%08" PRIX64 " (%" PRId64 ")",
                  static_cast<uint64_t>(at.position), at.position);
    return text;
  }
  const int n = RowWidth(row);
  if (n > at.count) return kNoValue;
  const uint8_t* p = at.bytes.data();
  const uint64_t v = Load(p, n, order);
  switch (row) {
    case Row::Bin:
      for (int i = 0; i < 8; ++i) text[i] = (p[0] >> (7 - i)) & 1 ? '1' : '0';
      return std::string(text, 8);
    case Row::Oct:
      std::snprintf(text, sizeof text, "%03o", static_cast<unsigned>(p[0]));
      return text;
    case Row::I8: case Row::I16: case Row::I32: case Row::I64:
      return std::to_string(SignExtend(v, n));
    case Row::U8: case Row::U16: case Row::U32: case Row::U64:
      return std::to_string(v);
    case Row::F32: {
      float f;
      const auto bits = static_cast<uint32_t>(v);
      std::memcpy(&f, &bits, sizeof f);
      return FloatText(f);
    }
    case Row::F64: {
      double d;
      std::memcpy(&d, &v, sizeof d);
      return FloatText(d);
    }
    case Row::Char: {
      const uint8_t shown = chars.toDisplay ? chars.toDisplay(p[0]) : p[0];
      return EncodeUtf8(AnsiToUnicode(shown));
    }
    case Row::Utf8: {
      char32_t cp = 0;
      if (DecodeUtf8(p, at.count, cp) <= 0) return kNoValue;
      std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
      std::string out = text;
      // Control characters have no picture of their own.
      if (cp >= 0x20 && !(cp >= 0x7F && cp <= 0x9F)) out += " " + EncodeUtf8(cp);
      return out;
    }
    case Row::Time32:
    case Row::Time64:
      return FormatUtc(SignExtend(v, n)).value_or(kNoValue);
    case Row::Offset:
      break;
  }
  return kNoValue;
}

Encoded EncodeRow(Row row, std::string_view text, ByteOrder order, const CharSet& chars) {
  switch (row) {
    case Row::Offset: {
      bool negative = false;
      uint64_t magnitude = 0;
      const IntegerText parsed = ParseInteger(text, negative, magnitude);
      if (parsed == IntegerText::NotANumber) return Refused("Ожидается целое число");
      if (parsed == IntegerText::TooLarge || (negative && magnitude != 0))
        return Refused("Вне данных");
      if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return Refused("Вне данных");
      Encoded e;
      e.ok = true;
      e.position = static_cast<int64_t>(magnitude);
      return e;
    }
    case Row::Bin: {
      const std::string_view s = Trim(text);
      if (s.empty() || s.size() > 8) return Refused("Ожидается от 1 до 8 двоичных цифр");
      unsigned v = 0;
      for (char c : s) {
        if (c != '0' && c != '1') return Refused("Ожидается от 1 до 8 двоичных цифр");
        v = v << 1 | static_cast<unsigned>(c - '0');
      }
      return Bytes({static_cast<uint8_t>(v)});
    }
    case Row::Oct: {
      const std::string_view s = Trim(text);
      unsigned v = 0;
      bool any = false;
      for (char c : s) {
        if (c < '0' || c > '7') return Refused("Ожидается восьмеричное число от 0 до 377");
        v = v * 8 + static_cast<unsigned>(c - '0');
        any = true;
        if (v > 255) return Refused("Вне диапазона: от 0 до 377");
      }
      if (!any) return Refused("Ожидается восьмеричное число от 0 до 377");
      return Bytes({static_cast<uint8_t>(v)});
    }
    case Row::I8: case Row::U8: case Row::I16: case Row::U16:
    case Row::I32: case Row::U32: case Row::I64: case Row::U64:
      return EncodeInteger(row, text, order);
    case Row::F32:
      return ParseFloat<float>(text, order, "Вне диапазона float32: до ±3.4028235e+38");
    case Row::F64:
      return ParseFloat<double>(text, order, "Вне диапазона float64: до ±1.7976931348623157e+308");
    case Row::Char: {
      char32_t cp = 0;
      const auto* p = reinterpret_cast<const uint8_t*>(text.data());
      const int n = static_cast<int>(text.size());
      if (n == 0 || DecodeUtf8(p, n, cp) != n) return Refused("Ожидается один символ");
      const int ansi = UnicodeToAnsi(cp);
      const int data = ansi < 0 ? 0 : (chars.toData ? chars.toData(static_cast<uint8_t>(ansi)) : ansi);
      if (data < 0x20) return Refused("Символа нет в этой кодировке");
      return Bytes({static_cast<uint8_t>(data)});
    }
    case Row::Utf8: {
      char32_t cp = 0;
      if (!TypedCodePoint(text, cp)) return Refused("Ожидается один символ или U+XXXX");
      const std::string bytes = EncodeUtf8(cp);
      if (bytes.empty()) return Refused("Нет такого символа Юникода");
      return Bytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    case Row::Time32:
    case Row::Time64: {
      const auto seconds = ParseUtc(text);
      if (!seconds) return Refused("Ожидается дата ГГГГ-ММ-ДД ЧЧ:ММ:СС");
      if (row == Row::Time32 && (*seconds < std::numeric_limits<int32_t>::min() ||
                                 *seconds > std::numeric_limits<int32_t>::max()))
        return Refused("Вне диапазона: от 1901-12-13 20:45:52 до 2038-01-19 03:14:07");
      return Bytes(Store(static_cast<uint64_t>(*seconds), RowWidth(row), order));
    }
  }
  return Refused("Ожидается число");
}

}  // namespace bm::inspect
