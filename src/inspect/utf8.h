// UTF-8 sequences: one code point from bytes, and a code point to bytes.
#pragma once
#include <cstdint>
#include <string>

namespace bm::inspect {

// The code point the bytes start with: its length (1 to 4) with cp set, 0
// when they are not a valid sequence (stray continuation, overlong form,
// surrogate, beyond U+10FFFF), -1 when the sequence runs past available.
int DecodeUtf8(const uint8_t* bytes, int available, char32_t& cp);
// The sequence of a code point; empty for a surrogate or one beyond U+10FFFF.
std::string EncodeUtf8(char32_t cp);

}  // namespace bm::inspect
