// The numbers typed into the program's input boxes: decimal, or hexadecimal
// after "$" or "0x".
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace bm {

// A leading "0x" (either case) stands for "$". Leading blanks are skipped;
// then an optional sign and decimal digits within the signed 32-bit range, or
// "$" and one to eight hexadecimal digits giving the 32-bit pattern. Nothing
// may follow the digits. nullopt when the text is not such a number.
std::optional<int32_t> ParseInputNumber(const std::string& text);

// A byte position: the same forms, with decimal digits within the signed
// 64-bit range and one to sixteen hexadecimal digits read as an unsigned
// number, which must not pass the largest signed 64-bit value.
std::optional<int64_t> ParseInputPosition(const std::string& text);

// A step amount, which may be negative: up to eight hexadecimal digits give
// the 32-bit pattern as ParseInputNumber reads it ("$FFFFFFF0" is -16), nine
// to sixteen the 64-bit pattern; decimal digits within the signed 64-bit range.
std::optional<int64_t> ParseInputStep(const std::string& text);

}  // namespace bm
