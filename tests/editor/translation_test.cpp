#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "editor/byte_editor.h"
#include "editor/translation_tables.h"
#include "support/fake_host.h"

namespace bm {
namespace {

TEST(TranslationTables, MacTablesAreInversePermutations) {
  std::array<bool, 128> seen{};
  for (int v = 0x80; v < 0x100; ++v) {
    const uint8_t shown = MacToDisplayTable[v - 0x80];
    ASSERT_GE(shown, 0x80) << std::hex << v;
    EXPECT_FALSE(seen[shown - 0x80]) << "display code used twice: " << std::hex << int(shown);
    seen[shown - 0x80] = true;
    EXPECT_EQ(DisplayToMacTable[shown - 0x80], v) << std::hex << v;
  }
  // Accented letters land on the same letters of the Western layout, and the
  // leftover codes fill the gaps.
  EXPECT_EQ(MacToDisplayTable[0x80 - 0x80], 0xC4);  // Ä
  EXPECT_EQ(MacToDisplayTable[0x8E - 0x80], 0xE9);  // é
  EXPECT_EQ(MacToDisplayTable[0xA5 - 0x80], 0x80);
  EXPECT_EQ(MacToDisplayTable[0xFF - 0x80], 0x9D);
  EXPECT_EQ(DisplayToMacTable[0xC4 - 0x80], 0x80);
  EXPECT_EQ(DisplayToMacTable[0x80 - 0x80], 0xA5);
  EXPECT_EQ(DisplayToMacTable[0xE9 - 0x80], 0x8E);
  EXPECT_EQ(DisplayToMacTable[0x9D - 0x80], 0xFF);
}

TEST(TranslationTables, EbcdicRoundTripAndGaps) {
  int shown = 0;
  for (int b = 0; b < 0x100; ++b) {
    const uint8_t c = EbcdicToDisplayTable[b];
    if (c == 0) continue;
    ++shown;
    EXPECT_EQ(DisplayToEbcdicTable[c], b == 0x51 ? 0x50 : b) << std::hex << b;
  }
  EXPECT_EQ(shown, 92);
  EXPECT_EQ(EbcdicToDisplayTable[0x51], '&');
  EXPECT_EQ(EbcdicToDisplayTable[0x4F], 0xFE);
  EXPECT_EQ(DisplayToEbcdicTable[0xFE], 0x4F);
  EXPECT_EQ(DisplayToEbcdicTable['|'], 0x6A);

  for (int b : {0x00, 0x3F, 0x4A, 0x5F, 0xC0, 0xD0, 0xFA, 0xFF}) EXPECT_EQ(EbcdicToDisplayTable[b], 0) << std::hex << b;
  for (int c = 0; c < 0x20; ++c) EXPECT_EQ(DisplayToEbcdicTable[c], 0);
  for (int c : {0x5B, 0x5D, 0x5E, 0x7B, 0x7D, 0x7F, 0xFF}) EXPECT_EQ(DisplayToEbcdicTable[c], 0) << std::hex << c;
  for (int c = 0x80; c <= 0xFD; ++c) EXPECT_EQ(DisplayToEbcdicTable[c], 0) << std::hex << c;
}

class TranslationTest : public ::testing::Test {
 protected:
  testing::FakeWindowHost host;
  TByteEditor ed{&host};

  std::vector<uint8_t> Convert(TTranslationType set, const std::string& text) {
    std::vector<uint8_t> buf(text.begin(), text.end());
    TByteEditor::TextToDataBytes(set, buf.data(), buf.data(), static_cast<int32_t>(buf.size()));
    return buf;
  }
};

TEST_F(TranslationTest, SettersRepaintOnlyOnChange) {
  host.ClearInvalidations();
  ed.SetTranslation(ttAnsi);
  ed.SetMaskChar('.');
  ed.SetMaskWhiteSpaces(true);
  EXPECT_EQ(host.invalidateAllCount, 0);

  ed.SetTranslation(ttEBCDIC);
  EXPECT_EQ(ed.Translation(), ttEBCDIC);
  EXPECT_EQ(host.invalidateAllCount, 1);
  ed.SetMaskChar('*');
  EXPECT_EQ(ed.MaskChar(), '*');
  EXPECT_EQ(host.invalidateAllCount, 2);
  ed.SetMaskWhiteSpaces(false);
  EXPECT_FALSE(ed.MaskWhiteSpaces());
  EXPECT_EQ(host.invalidateAllCount, 3);
}

TEST_F(TranslationTest, AnsiShowsBytesAndMasksControlCodes) {
  EXPECT_EQ(ed.ByteToDisplayChar(0x00), '.');
  EXPECT_EQ(ed.ByteToDisplayChar(0x1F), '.');
  EXPECT_EQ(ed.ByteToDisplayChar(0x41), 'A');
  EXPECT_EQ(ed.ByteToDisplayChar(0x20), ' ');
  EXPECT_EQ(ed.ByteToDisplayChar(0x7F), 0x7F);
  EXPECT_EQ(ed.ByteToDisplayChar(0xFF), 0xFF);
  ed.SetMaskChar('~');
  EXPECT_EQ(ed.ByteToDisplayChar(0x09), '~');
  ed.SetMaskWhiteSpaces(false);
  EXPECT_EQ(ed.ByteToDisplayChar(0x09), 0x09);

  EXPECT_EQ(ed.CharToDataByte(0x1F), 0);
  EXPECT_EQ(ed.CharToDataByte(' '), ' ');
  EXPECT_EQ(ed.CharToDataByte(0xC0), 0xC0);
}

TEST_F(TranslationTest, Dos8ShowsOemLettersAsAnsiLetters) {
  ed.SetTranslation(ttDos8);
  EXPECT_EQ(ed.ByteToDisplayChar(0x80), 0xC0);  // А
  EXPECT_EQ(ed.ByteToDisplayChar(0xA0), 0xE0);  // а
  EXPECT_EQ(ed.ByteToDisplayChar(0xEF), 0xFF);  // я
  EXPECT_EQ(ed.ByteToDisplayChar(0xF0), 0xA8);  // Ё
  EXPECT_EQ(ed.ByteToDisplayChar(0xC9), '+');
  EXPECT_EQ(ed.ByteToDisplayChar(0x05), '.');
  EXPECT_EQ(ed.ByteToDisplayChar('z'), 'z');

  EXPECT_EQ(ed.CharToDataByte(0xC0), 0x80);
  EXPECT_EQ(ed.CharToDataByte(0xB8), 0xF1);  // ё
  EXPECT_EQ(ed.CharToDataByte('a'), 'a');
  EXPECT_EQ(ed.CharToDataByte(0x0D), 0);
  ed.SetMaskWhiteSpaces(false);  // control codes pass the OEM conversion unchanged
  EXPECT_EQ(ed.ByteToDisplayChar(0x05), 0x05);
  // Every displayed OEM letter types back to its byte.
  for (int v = 0x80; v < 0xB0; ++v) EXPECT_EQ(ed.CharToDataByte(ed.ByteToDisplayChar(uint8_t(v))), v);
  for (int v = 0xE0; v < 0xF8; ++v) EXPECT_EQ(ed.CharToDataByte(ed.ByteToDisplayChar(uint8_t(v))), v);
}

TEST_F(TranslationTest, AsciiMasksUpperHalfAlways) {
  ed.SetTranslation(ttASCII);
  ed.SetMaskWhiteSpaces(false);
  for (int v = 0x80; v < 0x100; ++v) EXPECT_EQ(ed.ByteToDisplayChar(uint8_t(v)), '.') << std::hex << v;
  EXPECT_EQ(ed.ByteToDisplayChar(0x09), 0x09);
  EXPECT_EQ(ed.ByteToDisplayChar('Q'), 'Q');
  EXPECT_EQ(ed.ByteToDisplayChar(0x7F), 0x7F);

  EXPECT_EQ(ed.CharToDataByte('Q'), 'Q');
  EXPECT_EQ(ed.CharToDataByte(0x7F), 0x7F);
  EXPECT_EQ(ed.CharToDataByte(0x80), 0);
  EXPECT_EQ(ed.CharToDataByte(0xC0), 0);
  EXPECT_EQ(ed.CharToDataByte(0x1F), 0);
}

TEST_F(TranslationTest, MacShowsAndTypesThroughTables) {
  ed.SetTranslation(ttMac);
  EXPECT_EQ(ed.ByteToDisplayChar(0x80), 0xC4);
  EXPECT_EQ(ed.ByteToDisplayChar(0xA5), 0x80);
  EXPECT_EQ(ed.ByteToDisplayChar('m'), 'm');
  EXPECT_EQ(ed.ByteToDisplayChar(0x00), '.');
  EXPECT_EQ(ed.CharToDataByte(0xC4), 0x80);
  EXPECT_EQ(ed.CharToDataByte(0x80), 0xA5);
  EXPECT_EQ(ed.CharToDataByte(0x10), 0);
  for (int v = 0x20; v < 0x100; ++v)
    EXPECT_EQ(ed.CharToDataByte(ed.ByteToDisplayChar(uint8_t(v))), v) << std::hex << v;
}

TEST_F(TranslationTest, EbcdicShowsAndTypesThroughTables) {
  ed.SetTranslation(ttEBCDIC);
  ed.SetMaskWhiteSpaces(false);  // masking of missing characters does not depend on it
  EXPECT_EQ(ed.ByteToDisplayChar(0xC1), 'A');
  EXPECT_EQ(ed.ByteToDisplayChar(0x40), ' ');
  EXPECT_EQ(ed.ByteToDisplayChar(0x4A), '.');
  EXPECT_EQ(ed.ByteToDisplayChar(0x00), '.');
  EXPECT_EQ(ed.ByteToDisplayChar(0x51), '&');
  EXPECT_EQ(ed.CharToDataByte('A'), 0xC1);
  EXPECT_EQ(ed.CharToDataByte('['), 0);
  EXPECT_EQ(ed.CharToDataByte('&'), 0x50);
  EXPECT_EQ(ed.CharToDataByte(0x05), 0);
  for (int v = 0; v < 0x100; ++v) {
    const uint8_t shown = ed.ByteToDisplayChar(uint8_t(v));
    if (EbcdicToDisplayTable[v] == 0) {
      EXPECT_EQ(shown, '.') << std::hex << v;
    } else {
      EXPECT_EQ(ed.CharToDataByte(shown), v == 0x51 ? 0x50 : v) << std::hex << v;
    }
  }
}

TEST_F(TranslationTest, TextToDataBytesPerSet) {
  const std::string text = "Ab\xC0\xE0\xA8\xC4";
  EXPECT_EQ(Convert(ttAnsi, text), std::vector<uint8_t>(text.begin(), text.end()));
  const std::vector<uint8_t> oem = {'A', 'b', 0x80, 0xA0, 0xF0, 0x84};
  EXPECT_EQ(Convert(ttDos8, text), oem);
  EXPECT_EQ(Convert(ttASCII, text), oem);  // no 7-bit restriction for searches
  EXPECT_EQ(Convert(ttMac, "A\xC4\x80"), (std::vector<uint8_t>{'A', 0x80, 0xA5}));
  EXPECT_EQ(Convert(ttEBCDIC, "A[&\x01"), (std::vector<uint8_t>{0xC1, 0x00, 0x50, 0x00}));

  // Printable ASCII as IBM code page 037 encodes it.
  const std::string ascii = "HELLO, World 0123456789 (a+b)*c=d; \"x\" 'y' ?_%<>!$#@:/-.`~\\&";
  const std::vector<uint8_t> cp037 = {
      0xC8, 0xC5, 0xD3, 0xD3, 0xD6, 0x6B, 0x40, 0xE6, 0x96, 0x99, 0x93, 0x84, 0x40, 0xF0, 0xF1,
      0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x40, 0x4D, 0x81, 0x4E, 0x82, 0x5D, 0x5C,
      0x83, 0x7E, 0x84, 0x5E, 0x40, 0x7F, 0xA7, 0x7F, 0x40, 0x7D, 0xA8, 0x7D, 0x40, 0x6F, 0x6D,
      0x6C, 0x4C, 0x6E, 0x5A, 0x5B, 0x7B, 0x7C, 0x7A, 0x61, 0x60, 0x4B, 0x79, 0xA1, 0xE0, 0x50};
  EXPECT_EQ(Convert(ttEBCDIC, ascii), cp037);

  // Separate buffers leave the source alone; a length below 1 converts nothing.
  const uint8_t src[] = {0xC0, 'x'};
  uint8_t dst[] = {0, 0, 0x55};
  TByteEditor::TextToDataBytes(ttDos8, src, dst, 2);
  EXPECT_EQ(src[0], 0xC0);
  EXPECT_EQ(dst[0], 0x80);
  EXPECT_EQ(dst[1], 'x');
  EXPECT_EQ(dst[2], 0x55);
  uint8_t untouched[] = {0xC0};
  TByteEditor::TextToDataBytes(ttDos8, untouched, untouched, 0);
  TByteEditor::TextToDataBytes(ttEBCDIC, untouched, untouched, -5);
  EXPECT_EQ(untouched[0], 0xC0);
}

}  // namespace
}  // namespace bm
