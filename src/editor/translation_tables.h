// Conversion tables of the Macintosh and EBCDIC character sets. The display
// side is the ANSI code page.
#pragma once
#include <array>
#include <cstdint>

namespace bm {

// Displayed code of each Macintosh data byte 0x80..0xFF (index v - 0x80);
// codes below 0x80 are ASCII in both. A one-to-one mapping onto 0x80..0xFF.
extern const std::array<uint8_t, 128> MacToDisplayTable;
// Macintosh data byte of each displayed code 0x80..0xFF (index c - 0x80);
// the exact inverse of MacToDisplayTable.
extern const std::array<uint8_t, 128> DisplayToMacTable;

// Displayed code of each EBCDIC byte; 0 where the byte has no character.
extern const std::array<uint8_t, 256> EbcdicToDisplayTable;
// EBCDIC byte of each displayed code; 0 where the character has no EBCDIC
// code. The ampersand goes to 0x50 only (EBCDIC 0x51 shows one as well).
extern const std::array<uint8_t, 256> DisplayToEbcdicTable;

}  // namespace bm
