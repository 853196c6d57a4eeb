// Seconds since 1970-01-01 00:00:00 UTC and calendar dates of the proleptic
// Gregorian calendar, both ways, for the time rows of the value inspector.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bm::inspect {

struct CivilTime {
  int64_t year = 1970;
  int month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

CivilTime ToCivil(int64_t seconds);
int64_t FromCivil(const CivilTime& t);

// "2026-12-09 14:05:00"; nullopt for a year outside 1 to 9999.
std::optional<std::string> FormatUtc(int64_t seconds);
// Parses "YYYY-MM-DD", "YYYY-MM-DD HH:MM" or "YYYY-MM-DD HH:MM:SS" (a "T"
// may stand for the blank) with a four-digit year; nullopt for anything else
// or a date that does not exist.
std::optional<int64_t> ParseUtc(std::string_view text);

}  // namespace bm::inspect
