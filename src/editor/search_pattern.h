// A search pattern as the find commands build it: its bytes and, for hex
// codes with "??", which of them stand for any byte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace bm {

struct SearchPattern {
  std::vector<uint8_t> bytes;
  // Empty, or one flag a byte: 1 where any data byte matches.
  std::vector<uint8_t> any;

  bool Empty() const { return bytes.empty(); }
  int32_t Length() const { return static_cast<int32_t>(bytes.size()); }
  bool HasWildcards() const;
  // The flags for the search engine: null when every byte is fixed.
  const uint8_t* AnyFlags() const { return HasWildcards() ? any.data() : nullptr; }
};

// Hex codes as typed. Without "??": letters lower-cased, everything but hex
// digits dropped, a leading "0" added to an odd count, two digits a byte.
// With "??": each "??" is one byte that matches anything, and blanks (and the
// wildcards) separate runs of digits, each read as above on its own, so
// "4D 5A ?? 5 45" is 4D 5A, any, 05, 45. Other characters are dropped.
SearchPattern ParseCodePattern(const std::string& text);

// What a Find or Replace field holds: hex codes (codeMode), else the text's
// own bytes.
SearchPattern TypedPattern(const std::string& text, bool codeMode);

// Bytes of hex codes for a replacement: the rule without wildcards.
std::vector<uint8_t> ParseHexCodes(const std::string& text);

}  // namespace bm
