// The system's code pages: ANSI is Windows-1251, OEM is CP866.
#pragma once
#include <cstddef>
#include <cstdint>

namespace bm {

uint8_t OemToAnsi(uint8_t oem);   // OemToCharA on one character
uint8_t AnsiToOem(uint8_t ansi);  // CharToOemA on one character
void AnsiToOemBuff(const uint8_t* src, uint8_t* dst, size_t length);  // CharToOemBuffA
void AnsiLowerBuff(uint8_t* buffer, size_t length);                   // CharLowerBuffA

// Windows-1251 byte to Unicode (undefined code 0x98 gives U+FFFD).
char16_t AnsiToUnicode(uint8_t ansi);
// Unicode to Windows-1251; -1 when the character has no byte there.
int UnicodeToAnsi(char32_t ch);

}  // namespace bm
