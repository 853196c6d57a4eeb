// The value inspector's rows: known vectors both ways in both byte orders,
// the rows without a value, refused texts, and the calendar and UTF-8
// helpers against plain models.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inspect/civil_time.h"
#include "inspect/utf8.h"
#include "inspect/value_codec.h"

namespace bm::inspect {
namespace {

const CharSet kAnsi{};  // data bytes are Windows-1251 characters

CursorBytes At(const std::vector<uint8_t>& bytes, int64_t position = 0) {
  CursorBytes at;
  at.position = position;
  at.count = static_cast<int>(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) at.bytes[i] = bytes[i];
  return at;
}

// The n little-endian bytes of v.
std::vector<uint8_t> LE(uint64_t v, int n) {
  std::vector<uint8_t> out;
  for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return out;
}

struct Vector {
  Row row;
  std::vector<uint8_t> little;  // the value's bytes, little-endian
  std::string text;
};

TEST(ValueCodec, KnownVectorsDecodeAndEncodeInBothByteOrders) {
  const std::vector<Vector> vectors = {
      {Row::Bin, {0x48}, "01001000"}, {Row::Bin, {0xFF}, "11111111"},
      {Row::Oct, {0xFF}, "377"}, {Row::Oct, {0x08}, "010"},
      {Row::I8, {0x80}, "-128"}, {Row::I8, {0x7F}, "127"}, {Row::I8, {0xFF}, "-1"},
      {Row::U8, {0xFF}, "255"}, {Row::U8, {0x00}, "0"},
      {Row::I16, {0x00, 0x80}, "-32768"}, {Row::I16, {0xFF, 0x7F}, "32767"},
      {Row::U16, {0xFF, 0xFF}, "65535"}, {Row::U16, {0x34, 0x12}, "4660"},
      {Row::I32, LE(0x80000000, 4), "-2147483648"}, {Row::I32, LE(0x7FFFFFFF, 4), "2147483647"},
      {Row::U32, {0x78, 0x56, 0x34, 0x12}, "305419896"}, {Row::U32, LE(~0u, 4), "4294967295"},
      {Row::I64, LE(uint64_t{1} << 63, 8), "-9223372036854775808"},
      {Row::I64, LE(~0ull >> 1, 8), "9223372036854775807"}, {Row::I64, LE(~0ull, 8), "-1"},
      {Row::U64, LE(~0ull, 8), "18446744073709551615"}, {Row::U64, LE(0, 8), "0"},
      {Row::F32, {0x00, 0x00, 0xC0, 0x3F}, "1.5"}, {Row::F32, LE(0xC2F60000, 4), "-123"},
      {Row::F32, LE(0x7F7FFFFF, 4), "3.4028235e+38"}, {Row::F32, LE(0x00000001, 4), "1e-45"},
      {Row::F32, LE(0x7F800000, 4), "Infinity"}, {Row::F32, LE(0xFF800000, 4), "-Infinity"},
      {Row::F32, LE(0x7FC00000, 4), "NaN"},
      {Row::F64, LE(0x3FF8000000000000, 8), "1.5"}, {Row::F64, LE(0x3FB999999999999A, 8), "0.1"},
      {Row::F64, LE(0x7FEFFFFFFFFFFFFF, 8), "1.7976931348623157e+308"},
      {Row::F64, LE(0xFFF0000000000000, 8), "-Infinity"},
      {Row::F64, LE(0x7FF8000000000000, 8), "NaN"},
      {Row::Time32, LE(0, 4), "1970-01-01 00:00:00"},
      {Row::Time32, LE(0xFFFFFFFF, 4), "1969-12-31 23:59:59"},
      {Row::Time32, LE(0x80000000, 4), "1901-12-13 20:45:52"},
      {Row::Time32, LE(0x7FFFFFFF, 4), "2038-01-19 03:14:07"},
      {Row::Time32, LE(1796825100, 4), "2026-12-09 14:05:00"},
      {Row::Time32, LE(static_cast<uint32_t>(-301233600), 4), "1960-06-15 12:00:00"},
      {Row::Time64, LE(static_cast<uint64_t>(-62135596800), 8), "0001-01-01 00:00:00"},
      {Row::Time64, LE(253402300799, 8), "9999-12-31 23:59:59"},
      {Row::Time64, LE(951782400, 8), "2000-02-29 00:00:00"},
  };
  for (const Vector& v : vectors) {
    SCOPED_TRACE(std::string(RowKey(v.row)) + " " + v.text);
    const std::vector<uint8_t> big(v.little.rbegin(), v.little.rend());
    EXPECT_EQ(DecodeRow(v.row, At(v.little), ByteOrder::Little, kAnsi), v.text);
    EXPECT_EQ(DecodeRow(v.row, At(big), ByteOrder::Big, kAnsi), v.text);
    const Encoded le = EncodeRow(v.row, v.text, ByteOrder::Little, kAnsi);
    const Encoded be = EncodeRow(v.row, v.text, ByteOrder::Big, kAnsi);
    ASSERT_TRUE(le.ok) << le.reason;
    ASSERT_TRUE(be.ok) << be.reason;
    // A NaN is written as the quiet NaN; the rest come back byte for byte.
    EXPECT_EQ(le.bytes, v.little);
    EXPECT_EQ(be.bytes, big);
  }
}

TEST(ValueCodec, CharactersCodePointsAndOffsets) {
  EXPECT_EQ(DecodeRow(Row::Char, At({0x41}), ByteOrder::Little, kAnsi), "A");
  EXPECT_EQ(DecodeRow(Row::Char, At({0xC0}), ByteOrder::Little, kAnsi), "А");  // Cyrillic
  EXPECT_EQ(EncodeRow(Row::Char, "Ж", ByteOrder::Big, kAnsi).bytes, std::vector<uint8_t>{0xC6});
  // Through the character set: an EBCDIC-like one where 0xC1 is 'A'.
  const CharSet ebcdic{[](uint8_t v) { return v == 0xC1 ? uint8_t{'A'} : uint8_t{'.'}; },
                       [](uint8_t c) { return c == 'A' ? uint8_t{0xC1} : uint8_t{0}; }};
  EXPECT_EQ(DecodeRow(Row::Char, At({0xC1}), ByteOrder::Little, ebcdic), "A");
  EXPECT_EQ(EncodeRow(Row::Char, "A", ByteOrder::Little, ebcdic).bytes, std::vector<uint8_t>{0xC1});
  EXPECT_FALSE(EncodeRow(Row::Char, "B", ByteOrder::Little, ebcdic).ok);
  EXPECT_FALSE(EncodeRow(Row::Char, "中", ByteOrder::Little, kAnsi).ok);
  EXPECT_FALSE(EncodeRow(Row::Char, "AB", ByteOrder::Little, kAnsi).ok);

  // UTF-8 reads as many bytes as the lead byte asks for, in any byte order.
  EXPECT_EQ(DecodeRow(Row::Utf8, At({0x41, 0x42}), ByteOrder::Big, kAnsi), "U+0041 A");
  EXPECT_EQ(DecodeRow(Row::Utf8, At({0xD0, 0x96}), ByteOrder::Big, kAnsi), "U+0416 Ж");
  EXPECT_EQ(DecodeRow(Row::Utf8, At({0xF0, 0x9F, 0x98, 0x80}), ByteOrder::Little, kAnsi),
            "U+1F600 😀");
  EXPECT_EQ(DecodeRow(Row::Utf8, At({0x0A}), ByteOrder::Little, kAnsi), "U+000A");
  for (const std::vector<uint8_t>& bad :
       {std::vector<uint8_t>{0x80}, {0xC0, 0x80}, {0xE0, 0x80, 0x80}, {0xED, 0xA0, 0x80},
        {0xF4, 0x90, 0x80, 0x80}, {0xF5, 0x80, 0x80, 0x80}, {0xC3, 0x41}, {0xE2, 0x82}})
    EXPECT_EQ(DecodeRow(Row::Utf8, At(bad), ByteOrder::Little, kAnsi), kNoValue);
  const std::vector<uint8_t> smiley{0xF0, 0x9F, 0x98, 0x80};
  EXPECT_EQ(EncodeRow(Row::Utf8, "U+1F600", ByteOrder::Big, kAnsi).bytes, smiley);
  EXPECT_EQ(EncodeRow(Row::Utf8, "U+1F600 😀", ByteOrder::Big, kAnsi).bytes, smiley);
  EXPECT_EQ(EncodeRow(Row::Utf8, "😀", ByteOrder::Big, kAnsi).bytes, smiley);
  for (const char* bad : {"U+D800", "U+110000", "AB", "U+", "U+41 B", ""})
    EXPECT_FALSE(EncodeRow(Row::Utf8, bad, ByteOrder::Big, kAnsi).ok) << bad;

  EXPECT_EQ(DecodeRow(Row::Offset, At({1}, 300), ByteOrder::Big, kAnsi), "0x0000012C (300)");
  EXPECT_EQ(EncodeRow(Row::Offset, " 0x10 ", ByteOrder::Big, kAnsi).position, 16);
  EXPECT_EQ(EncodeRow(Row::Offset, "$ff", ByteOrder::Big, kAnsi).position, 255);
  EXPECT_FALSE(EncodeRow(Row::Offset, "-1", ByteOrder::Big, kAnsi).ok);
}

TEST(ValueCodec, RowsWithoutAValue) {
  // Three bytes before the end: the 8- and 16-bit rows have values, the
  // wider ones do not; an empty document has none, offset included.
  const CursorBytes three = At({1, 2, 3});
  EXPECT_EQ(DecodeRow(Row::U16, three, ByteOrder::Little, kAnsi), "513");
  for (Row row : {Row::I32, Row::U32, Row::F32, Row::Time32, Row::I64, Row::U64, Row::F64,
                  Row::Time64})
    EXPECT_EQ(DecodeRow(row, three, ByteOrder::Little, kAnsi), kNoValue) << RowKey(row);
  EXPECT_EQ(DecodeRow(Row::Utf8, At({0xE2, 0x82}), ByteOrder::Little, kAnsi), kNoValue);
  for (int r = 0; r < kRowCount; ++r)
    EXPECT_EQ(DecodeRow(static_cast<Row>(r), CursorBytes{}, ByteOrder::Little, kAnsi), kNoValue);
  // Times beyond the years 1 to 9999 and a negative NaN.
  EXPECT_EQ(DecodeRow(Row::Time64, At(LE(~0ull >> 1, 8)), ByteOrder::Little, kAnsi), kNoValue);
  EXPECT_EQ(DecodeRow(Row::Time64, At(LE(253402300800, 8)), ByteOrder::Little, kAnsi), kNoValue);
  EXPECT_EQ(DecodeRow(Row::F32, At(LE(0xFFC00000, 4)), ByteOrder::Little, kAnsi), "-NaN");
}

TEST(ValueCodec, RefusedTexts) {
  struct Case {
    Row row;
    const char* text;
    const char* reason;
  };
  const Case cases[] = {
      {Row::U8, "256", "Вне диапазона: от 0 до 255"},
      {Row::U8, "-1", "Вне диапазона: от 0 до 255"},
      {Row::I8, "-129", "Вне диапазона: от -128 до 127"},
      {Row::I8, "0x80", "Вне диапазона: от -128 до 127"},
      {Row::U16, "65536", "Вне диапазона: от 0 до 65535"},
      {Row::I32, "2147483648", "Вне диапазона: от -2147483648 до 2147483647"},
      {Row::U64, "18446744073709551616", "Вне диапазона: от 0 до 18446744073709551615"},
      {Row::I64, "-9223372036854775809",
       "Вне диапазона: от -9223372036854775808 до 9223372036854775807"},
      {Row::U32, "12a", "Ожидается целое число"},
      {Row::U32, "", "Ожидается целое число"},
      {Row::U32, "0x", "Ожидается целое число"},
      {Row::U32, "1 2", "Ожидается целое число"},
      {Row::F32, "1e39", "Вне диапазона float32: до ±3.4028235e+38"},
      {Row::F64, "1e309", "Вне диапазона float64: до ±1.7976931348623157e+308"},
      {Row::F32, "1.5.5", "Ожидается число"},
      {Row::F64, "--1", "Ожидается число"},
      {Row::Bin, "2", "Ожидается от 1 до 8 двоичных цифр"},
      {Row::Bin, "101010101", "Ожидается от 1 до 8 двоичных цифр"},
      {Row::Oct, "400", "Вне диапазона: от 0 до 377"},
      {Row::Oct, "8", "Ожидается восьмеричное число от 0 до 377"},
      {Row::Time32, "2038-01-19 03:14:08",
       "Вне диапазона: от 1901-12-13 20:45:52 до 2038-01-19 03:14:07"},
      {Row::Time32, "2026-02-29", "Ожидается дата ГГГГ-ММ-ДД ЧЧ:ММ:СС"},
      {Row::Time64, "2026-12-09 24:00", "Ожидается дата ГГГГ-ММ-ДД ЧЧ:ММ:СС"},
      {Row::Time64, "99-12-09", "Ожидается дата ГГГГ-ММ-ДД ЧЧ:ММ:СС"},
  };
  for (const Case& c : cases) {
    const Encoded e = EncodeRow(c.row, c.text, ByteOrder::Little, kAnsi);
    EXPECT_FALSE(e.ok) << RowKey(c.row) << " " << c.text;
    EXPECT_EQ(e.reason, c.reason) << RowKey(c.row) << " " << c.text;
  }
  // The forms that are accepted besides the shown ones.
  EXPECT_EQ(EncodeRow(Row::U32, " 0x12345678 ", ByteOrder::Little, kAnsi).bytes, LE(0x12345678, 4));
  EXPECT_EQ(EncodeRow(Row::I8, "-0x80", ByteOrder::Little, kAnsi).bytes, LE(0x80, 1));
  EXPECT_EQ(EncodeRow(Row::U8, "$fF", ByteOrder::Little, kAnsi).bytes, LE(0xFF, 1));
  EXPECT_EQ(EncodeRow(Row::F32, "1,5", ByteOrder::Little, kAnsi).bytes, LE(0x3FC00000, 4));
  EXPECT_EQ(EncodeRow(Row::F32, "-inf", ByteOrder::Little, kAnsi).bytes, LE(0xFF800000, 4));
  EXPECT_EQ(EncodeRow(Row::Time32, "1970-01-01T00:01", ByteOrder::Big, kAnsi).bytes,
            (std::vector<uint8_t>{0, 0, 0, 60}));
}

TEST(CivilTime, AgreesWithCountingDaysOneByOne) {
  // From 0001-01-01 to 9999-12-31, day by day with a plain calendar.
  int64_t year = 1, month = 1, day = 1;
  auto daysIn = [](int64_t y, int64_t m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
  };
  for (int64_t seconds = -62135596800; year <= 9999; seconds += 86400) {
    const CivilTime t = ToCivil(seconds + 3723);  // 01:02:03 into the day
    ASSERT_TRUE(t.year == year && t.month == month && t.day == day && t.hour == 1 &&
                t.minute == 2 && t.second == 3)
        << year << "-" << month << "-" << day;
    ASSERT_EQ(FromCivil(t), seconds + 3723);
    if (++day > daysIn(year, month)) {
      day = 1;
      if (++month > 12) month = 1, ++year;
    }
  }
}

TEST(Utf8, EveryCodePointRoundTrips) {
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    const std::string bytes = EncodeUtf8(cp);
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      ASSERT_TRUE(bytes.empty());
      continue;
    }
    char32_t back = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const int n = static_cast<int>(bytes.size());
    ASSERT_EQ(DecodeUtf8(p, n, back), n) << std::hex << static_cast<uint32_t>(cp);
    ASSERT_EQ(static_cast<uint32_t>(back), static_cast<uint32_t>(cp));
    // One byte short is a truncated sequence, not an invalid one.
    if (n > 1) {
      ASSERT_EQ(DecodeUtf8(p, n - 1, back), -1);
    }
  }
}

}  // namespace
}  // namespace bm::inspect
