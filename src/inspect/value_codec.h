// The rows of the value inspector: what the bytes at the cursor mean as
// numbers, a character, a code point or a time, and the bytes a typed text
// stands for. Texts are UTF-8.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace bm::inspect {

enum class Row {
  Offset, Bin, Oct, I8, U8, I16, U16, I32, U32, I64, U64, F32, F64, Char, Utf8, Time32, Time64
};
inline constexpr int kRowCount = 17;
inline constexpr int kMaxRowBytes = 8;

enum class ByteOrder { Little, Big };

// The text of a row without a value: past the end of the data, no data, or
// bytes that are no valid UTF-8.
inline constexpr const char* kNoValue = "\u2014";

// The row's part of object names ("u32" for Row::U32).
const char* RowKey(Row row);
// The caption shown beside the row's field.
const char* RowCaption(Row row);
// Bytes the row reads at the cursor: 0 for the offset, 1 to 8 for the
// numbers, 1 for the character; the UTF-8 row reads as many as its lead
// byte asks for (at most 4).
int RowWidth(Row row);

// The character set of the character row: a data byte to the character
// shown for it (Windows-1251), and a typed character (Windows-1251) to the
// data byte stored for it (below 0x20: cannot be entered).
struct CharSet {
  std::function<uint8_t(uint8_t)> toDisplay;
  std::function<uint8_t(uint8_t)> toData;
};

// What the cursor stands on: its position and up to 8 bytes from there
// (fewer near the end of the data, none in an empty document).
struct CursorBytes {
  int64_t position = 0;
  std::array<uint8_t, kMaxRowBytes> bytes{};
  int count = 0;
};

std::string DecodeRow(Row row, const CursorBytes& at, ByteOrder order, const CharSet& chars);

// The outcome of a typed text: the bytes to write at the cursor (for the
// offset row: the position to go to), or the reason it is refused.
struct Encoded {
  bool ok = false;
  std::vector<uint8_t> bytes;
  int64_t position = 0;
  std::string reason;
};

Encoded EncodeRow(Row row, std::string_view text, ByteOrder order, const CharSet& chars);

// An integer as typed into the program: decimal, or hexadecimal after "$"
// or "0x", with an optional sign and blanks around it.
enum class IntegerText { Ok, NotANumber, TooLarge };
IntegerText ParseInteger(std::string_view text, bool& negative, uint64_t& magnitude);

}  // namespace bm::inspect
