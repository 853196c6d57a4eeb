// Bytes as text in each clipboard form, and back through the hex reader.
#include <gtest/gtest.h>

#include <random>

#include "bytetools/hex_text.h"
#include "bytetools/text_forms.h"

namespace bm {
namespace {

const uint8_t kMz[] = {0x4D, 0x5A, 0x90, 0x00};

TEST(TextFormsTest, TheFormsOfFourBytes) {
  EXPECT_EQ(BytesToText(TextForm::HexSpaced, kMz, 4), "4D 5A 90 00");
  EXPECT_EQ(BytesToText(TextForm::HexPlain, kMz, 4), "4D5A9000");
  EXPECT_EQ(BytesToText(TextForm::CArray, kMz, 4),
            "unsigned char data[4] = { 0x4D, 0x5A, 0x90, 0x00 };");
  EXPECT_EQ(BytesToText(TextForm::PythonBytes, kMz, 4), "b'\\x4d\\x5a\\x90\\x00'");
  EXPECT_EQ(BytesToText(TextForm::Base64, kMz, 4), "TVqQAA==");
  EXPECT_EQ(BytesToText(TextForm::Base64, kMz, 3), "TVqQ");
  EXPECT_EQ(BytesToText(TextForm::Base64, kMz, 2), "TVo=");
  std::array<char, 256> chars;
  for (int i = 0; i < 256; ++i) chars[static_cast<size_t>(i)] = i < 0x20 ? '.' : static_cast<char>(i);
  EXPECT_EQ(BytesToText(TextForm::Characters, kMz, 4, &chars), "MZ\x90.");
}

// Twelve values a line; the thirteenth starts a line of its own.
TEST(TextFormsTest, LongArraysBreakAfterTwelveValues) {
  std::vector<uint8_t> bytes(13);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(BytesToText(TextForm::CArray, bytes.data(), 13),
            "unsigned char data[13] = {\n"
            "  0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,\n"
            "  0x0C\n};");
}

// The room taken at the start is exactly the text, and text built from
// pieces equals text built at once; every form but Base64 and characters
// reads back as the same bytes.
TEST(TextFormsTest, LengthsPiecesAndRoundTrips) {
  std::mt19937 random(7);
  for (int count : {1, 2, 3, 11, 12, 13, 24, 25, 100, 4099}) {
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    for (TextForm form : {TextForm::HexSpaced, TextForm::HexPlain, TextForm::CArray,
                          TextForm::PythonBytes, TextForm::Base64, TextForm::Characters}) {
      const std::string whole = BytesToText(form, bytes.data(), count);
      EXPECT_EQ(static_cast<int64_t>(whole.size()), TextLength(form, count))
          << "form " << static_cast<int>(form) << ", " << count << " bytes";
      TextFormWriter writer(form, count);
      for (int done = 0; done < count;) {
        const int n = std::min(count - done, static_cast<int>(random() % 17 + 1));
        writer.Append(bytes.data() + done, n);
        done += n;
      }
      EXPECT_EQ(writer.Finish(), whole) << "form " << static_cast<int>(form);
      if (form == TextForm::Base64 || form == TextForm::Characters) continue;
      const HexTextResult back = ParseHexText(whole);
      ASSERT_TRUE(back.ok) << whole.substr(0, 80) << " at " << back.errorIndex;
      EXPECT_EQ(back.bytes, bytes) << "form " << static_cast<int>(form);
    }
  }
}

}  // namespace
}  // namespace bm
