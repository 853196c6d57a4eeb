// The system's code pages: OEM CP866 and ANSI Windows-1251, by fixed tables.
#include "platform/codepage.h"

#include <algorithm>
#include <array>

namespace bm {
namespace {
#include "platform/codepage_tables.inc"

// The upper half of Windows-1251 sorted by Unicode, for UnicodeToAnsi. The
// undefined 0x98 is left out: it holds no character.
struct UnicodeByte {
  char16_t unicode;
  uint8_t ansi;
};
constexpr int kDefinedUpper = 127;

constexpr std::array<UnicodeByte, kDefinedUpper> MakeUnicodeToAnsi() {
  std::array<UnicodeByte, kDefinedUpper> pairs{};
  int n = 0;
  for (int b = 0x80; b < 0x100; ++b) {
    if (b == 0x98) continue;
    pairs[n++] = {kAnsiToUnicode[b], static_cast<uint8_t>(b)};
  }
  std::sort(pairs.begin(), pairs.end(),
            [](const UnicodeByte& a, const UnicodeByte& b) { return a.unicode < b.unicode; });
  return pairs;
}
constexpr auto kUnicodeToAnsi = MakeUnicodeToAnsi();

}  // namespace

uint8_t OemToAnsi(uint8_t oem) { return kOemToAnsi[oem]; }

uint8_t AnsiToOem(uint8_t ansi) { return kAnsiToOem[ansi]; }

void AnsiToOemBuff(const uint8_t* src, uint8_t* dst, size_t length) {
  // Byte by byte, so src and dst may be the same buffer.
  for (size_t i = 0; i < length; ++i) dst[i] = kAnsiToOem[src[i]];
}

void AnsiLowerBuff(uint8_t* buffer, size_t length) {
  for (size_t i = 0; i < length; ++i) buffer[i] = kAnsiLower[buffer[i]];
}

char16_t AnsiToUnicode(uint8_t ansi) { return kAnsiToUnicode[ansi]; }

int UnicodeToAnsi(char32_t ch) {
  if (ch < 0x80) return static_cast<int>(ch);
  if (ch > 0xFFFF) return -1;
  auto it = std::lower_bound(
      kUnicodeToAnsi.begin(), kUnicodeToAnsi.end(), ch,
      [](const UnicodeByte& p, char32_t value) { return p.unicode < value; });
  if (it == kUnicodeToAnsi.end() || it->unicode != ch) return -1;
  return it->ansi;
}

}  // namespace bm
