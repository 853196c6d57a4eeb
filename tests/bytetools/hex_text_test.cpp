// Reading pasted hex text: what it accepts and where it says the text fails.
#include <gtest/gtest.h>

#include "bytetools/hex_text.h"

namespace bm {
namespace {

std::vector<uint8_t> B(std::initializer_list<int> v) {
  std::vector<uint8_t> bytes;
  for (int b : v) bytes.push_back(static_cast<uint8_t>(b));
  return bytes;
}

TEST(HexTextTest, SeparatorsPrefixesAndCodeForms) {
  EXPECT_EQ(ParseHexText("4d 5A\r\n90,00").bytes, B({0x4D, 0x5A, 0x90, 0x00}));
  EXPECT_EQ(ParseHexText("0x4D, 0X5a;\t0x9000").bytes, B({0x4D, 0x5A, 0x90, 0x00}));
  EXPECT_EQ(ParseHexText("  DEADBEEF  ").bytes, B({0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_EQ(ParseHexText("static const uint8_t x[] =\n{0x01,0x02};\n").bytes, B({1, 2}));
  EXPECT_EQ(ParseHexText("b'MZ\\x90\\x00\\n\\\\'").bytes, B({'M', 'Z', 0x90, 0, '\n', '\\'}));
  EXPECT_EQ(ParseHexText("b\"\\x41'\"").bytes, B({0x41, '\''}));
  EXPECT_TRUE(ParseHexText(" \n ").ok);
  EXPECT_TRUE(ParseHexText("").bytes.empty());
}

TEST(HexTextTest, TheFirstOffendingCharacterAndItsIndex) {
  struct Case {
    const char* text;
    int64_t index;
    char c;
  };
  const Case cases[] = {
      {"ABC", 2, 'C'},              // odd digit count: the digit without a pair
      {"4D 5G", 4, 'G'},
      {"4D 5", 3, '5'},
      {"0x", 1, 'x'},
      {"0x 4D", 2, ' '},
      {"TVqQAA==", 0, 'T'},        // Base64 is not guessed
      {"4D-5A", 2, '-'},
      {"data = { 0x01 } x", 16, 'x'},
      {"int a { 1 }", 0, 'i'},     // braces without a declaration
      {"b'\\x4'", 5, '\''},
      {"b'\\q'", 3, 'q'},
      {"b'ab", 3, 'b'},
  };
  for (const Case& c : cases) {
    const HexTextResult r = ParseHexText(c.text);
    EXPECT_FALSE(r.ok) << c.text;
    EXPECT_EQ(r.errorIndex, c.index) << c.text;
    EXPECT_EQ(r.errorChar, c.c) << c.text;
    EXPECT_TRUE(r.bytes.empty()) << c.text;
  }
}

}  // namespace
}  // namespace bm
