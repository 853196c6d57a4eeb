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

}  // namespace bm
