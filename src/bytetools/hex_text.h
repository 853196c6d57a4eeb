// Text to bytes: hex digits as people paste them from datasheets, logs and
// source code, with the position of the first character that is not.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace bm {

struct HexTextResult {
  std::vector<uint8_t> bytes;
  bool ok = true;
  // The first offending character and its index in the text (0-based), when
  // not ok. An odd count of digits points at the digit left without a pair.
  int64_t errorIndex = -1;
  char errorChar = 0;
};

// Reads pairs of hex digits separated or not by blanks, line breaks, commas
// or semicolons, each group optionally after "0x"; a C array
// ("... data[4] = { 0x4D, 0x5A };") and Python bytes (b'\x4d\x5a', with
// literal characters and the common escapes) are taken as the bytes they
// hold. Base64 is not guessed.
HexTextResult ParseHexText(std::string_view text);

}  // namespace bm
