#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace bm {
namespace {

TEST(CodePage, KnownOemAnsiPairs) {
  struct Pair { uint8_t oem, ansi; };
  // А, Я, а, п, р, я, Ё, ё, Є, Ї, Ў, №, no-break space.
  for (Pair p : {Pair{0x80, 0xC0}, Pair{0x9F, 0xDF}, Pair{0xA0, 0xE0}, Pair{0xAF, 0xEF},
                 Pair{0xE0, 0xF0}, Pair{0xEF, 0xFF}, Pair{0xF0, 0xA8}, Pair{0xF1, 0xB8},
                 Pair{0xF2, 0xAA}, Pair{0xF4, 0xAF}, Pair{0xF6, 0xA1}, Pair{0xFC, 0xB9},
                 Pair{0xFF, 0xA0}}) {
    EXPECT_EQ(OemToAnsi(p.oem), p.ansi) << std::hex << int(p.oem);
    EXPECT_EQ(AnsiToOem(p.ansi), p.oem) << std::hex << int(p.ansi);
  }
}

TEST(CodePage, OemGraphicsGetBestFitCharacters) {
  // Corners, tees and crossings.
  for (uint8_t b : {0xC9, 0xBB, 0xC8, 0xBC, 0xDA, 0xBF, 0xC0, 0xD9, 0xC5, 0xCE, 0xB4, 0xC3, 0xD8})
    EXPECT_EQ(OemToAnsi(b), '+') << std::hex << int(b);
  for (uint8_t b : {0xC4, 0xCD}) EXPECT_EQ(OemToAnsi(b), '-') << std::hex << int(b);
  for (uint8_t b : {0xB3, 0xBA}) EXPECT_EQ(OemToAnsi(b), '|') << std::hex << int(b);
  for (uint8_t b : {0xB0, 0xB1, 0xB2, 0xDB, 0xDC, 0xDF}) EXPECT_EQ(OemToAnsi(b), '#') << std::hex << int(b);

  // ANSI typography without an OEM counterpart.
  EXPECT_EQ(AnsiToOem(0x93), '"');  // left double quotation mark
  EXPECT_EQ(AnsiToOem(0x84), '"');  // low double quotation mark
  EXPECT_EQ(AnsiToOem(0x91), '\'');
  EXPECT_EQ(AnsiToOem(0x96), '-');  // en dash
  EXPECT_EQ(AnsiToOem(0x97), '-');  // em dash
  EXPECT_EQ(AnsiToOem(0x98), '?');  // the undefined code
}

TEST(CodePage, ControlCodesAsciiAndNoZero) {
  for (int b = 0; b < 0x80; ++b) {
    EXPECT_EQ(OemToAnsi(static_cast<uint8_t>(b)), b);
    EXPECT_EQ(AnsiToOem(static_cast<uint8_t>(b)), b);
  }
  for (int b = 1; b < 0x100; ++b) {
    EXPECT_NE(OemToAnsi(static_cast<uint8_t>(b)), 0) << std::hex << b;
    EXPECT_NE(AnsiToOem(static_cast<uint8_t>(b)), 0) << std::hex << b;
  }
}

TEST(CodePage, EveryOemLetterIsTheSameLetterInAnsiAndBack) {
  // CP866 letters and their Unicode code points, independent of the tables.
  std::vector<std::pair<uint8_t, char16_t>> letters;
  for (int i = 0; i < 0x30; ++i) letters.push_back({uint8_t(0x80 + i), char16_t(0x0410 + i)});  // А..п
  for (int i = 0; i < 0x10; ++i) letters.push_back({uint8_t(0xE0 + i), char16_t(0x0440 + i)});  // р..я
  const char16_t extra[] = {0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E};
  for (int i = 0; i < 8; ++i) letters.push_back({uint8_t(0xF0 + i), extra[i]});

  for (auto [oem, unicode] : letters) {
    const uint8_t ansi = OemToAnsi(oem);
    EXPECT_EQ(AnsiToUnicode(ansi), unicode) << std::hex << int(oem);
    EXPECT_EQ(AnsiToOem(ansi), oem) << std::hex << int(oem);
  }
}

TEST(CodePage, BufferConversionWorksInPlace) {
  const std::array<uint8_t, 5> text = {'H', 0xC0, 0xE0, 0xA8, 0x00};
  const std::array<uint8_t, 5> oem = {'H', 0x80, 0xA0, 0xF0, 0x00};
  std::array<uint8_t, 5> out{};
  AnsiToOemBuff(text.data(), out.data(), out.size());
  EXPECT_EQ(out, oem);
  std::array<uint8_t, 5> inPlace = text;
  AnsiToOemBuff(inPlace.data(), inPlace.data(), 3);  // only the counted bytes
  EXPECT_EQ(inPlace, (std::array<uint8_t, 5>{'H', 0x80, 0xA0, 0xA8, 0x00}));
}

TEST(CodePage, UnicodeConversionsAreInverse) {
  for (int b = 0; b < 0x100; ++b) {
    if (b == 0x98) continue;
    EXPECT_EQ(UnicodeToAnsi(AnsiToUnicode(static_cast<uint8_t>(b))), b) << std::hex << b;
  }
  EXPECT_EQ(AnsiToUnicode(0x98), u'\uFFFD');
  EXPECT_EQ(UnicodeToAnsi(0xFFFD), -1);
  EXPECT_EQ(AnsiToUnicode(0x88), u'\u20AC');  // euro
  EXPECT_EQ(AnsiToUnicode(0xB9), u'\u2116');  // numero
  EXPECT_EQ(UnicodeToAnsi(U'Ж'), 0xC6);
  EXPECT_EQ(UnicodeToAnsi(U'я'), 0xFF);
  EXPECT_EQ(UnicodeToAnsi(U'é'), -1);
  EXPECT_EQ(UnicodeToAnsi(U'\u2500'), -1);
  EXPECT_EQ(UnicodeToAnsi(U'\U0001F600'), -1);
  EXPECT_EQ(UnicodeToAnsi(0x10410), -1);  // above the BMP, low bits of А
}

TEST(CodePage, LowerCasingFollowsUnicode) {
  std::array<uint8_t, 256> all{};
  for (int b = 0; b < 256; ++b) all[b] = static_cast<uint8_t>(b);
  std::array<uint8_t, 256> lower = all;
  AnsiLowerBuff(lower.data(), lower.size());

  for (int b = 0; b < 256; ++b) {
    const char16_t u = AnsiToUnicode(static_cast<uint8_t>(b));
    char16_t expected = u;
    if (u >= 'A' && u <= 'Z') expected = u + 0x20;
    else if (u >= 0x0410 && u <= 0x042F) expected = u + 0x20;  // А..Я
    else if (u >= 0x0400 && u <= 0x040F) expected = u + 0x50;  // Ё Ђ Ѓ Є Ѕ І Ї Ј Љ Њ Ћ Ќ Ў Џ
    else if (u == 0x0490) expected = 0x0491;                    // Ґ
    EXPECT_EQ(AnsiToUnicode(lower[b]), expected) << std::hex << b;
  }
  EXPECT_EQ(lower[0xC0], 0xE0);
  EXPECT_EQ(lower[0xA8], 0xB8);

  uint8_t partial[] = {'A', 0xDF, 'B'};
  AnsiLowerBuff(partial, 2);
  EXPECT_EQ(partial[0], 'a');
  EXPECT_EQ(partial[1], 0xFF);
  EXPECT_EQ(partial[2], 'B');
}

}  // namespace
}  // namespace bm
