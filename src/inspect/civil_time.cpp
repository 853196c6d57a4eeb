// Calendar dates of Unix times (the days-from-civil arithmetic of the
// proleptic Gregorian calendar, exact for any 64-bit day count we meet).
#include "inspect/civil_time.h"

#include <cstdio>

namespace bm::inspect {

namespace {

constexpr int64_t kDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int64_t y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Reads exactly n decimal digits at text[pos].
bool Digits(std::string_view text, size_t& pos, size_t n, int64_t& value) {
  if (pos + n > text.size()) return false;
  value = 0;
  for (size_t i = 0; i < n; ++i) {
    const char c = text[pos + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  pos += n;
  return true;
}

bool Expect(std::string_view text, size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

}  // namespace

CivilTime ToCivil(int64_t seconds) {
  const int64_t days = FloorDiv(seconds, kDay);
  const int64_t rest = seconds - days * kDay;
  const int64_t z = days + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  CivilTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = yoe + era * 400 + (t.month <= 2);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

int64_t FromCivil(const CivilTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * kDay + t.hour * 3600 + t.minute * 60 + t.second;
}

std::optional<std::string> FormatUtc(int64_t seconds) {
  // Beyond these the day count would overflow; they are far outside 1..9999.
  constexpr int64_t kLimit = int64_t{1} << 50;
  if (seconds > kLimit || seconds < -kLimit) return std::nullopt;
  const CivilTime t = ToCivil(seconds);
  if (t.year < 1 || t.year > 9999) return std::nullopt;
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", static_cast<int>(t.year),
                t.month, t.day, t.hour, t.minute, t.second);
  return std::string(text);
}

std::optional<int64_t> ParseUtc(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  size_t pos = 0;
  int64_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!Digits(text, pos, 4, year) || !Expect(text, pos, '-') || !Digits(text, pos, 2, month) ||
      !Expect(text, pos, '-') || !Digits(text, pos, 2, day))
    return std::nullopt;
  if (pos < text.size()) {
    if (!Expect(text, pos, ' ') && !Expect(text, pos, 'T')) return std::nullopt;
    if (!Digits(text, pos, 2, hour) || !Expect(text, pos, ':') || !Digits(text, pos, 2, minute))
      return std::nullopt;
    if (pos < text.size() && (!Expect(text, pos, ':') || !Digits(text, pos, 2, second)))
      return std::nullopt;
    if (pos != text.size()) return std::nullopt;
  }
  if (year < 1 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, static_cast<int>(month)) || hour > 23 || minute > 59 || second > 59)
    return std::nullopt;
  return FromCivil(CivilTime{year, static_cast<int>(month), static_cast<int>(day),
                             static_cast<int>(hour), static_cast<int>(minute),
                             static_cast<int>(second)});
}

}  // namespace bm::inspect
