#include "platform/colors.h"

#include <array>

namespace bm {

namespace {
// COLOR_SCROLLBAR (0) .. COLOR_MENUBAR (30) of the classic scheme, as 0x00BBGGRR.
constexpr std::array<Color, 31> kClassicScheme = {
    0xC8C8C8, 0xA56E3A, 0x6A240A, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x6A240A, 0xFFFFFF, 0xC0C0C0,
    0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x404040, 0xC0C0C0, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xD77800, 0xC0C0C0,
};
}  // namespace

Color ResolveColor(Color c) {
  if ((c & kSystemColorFlag) == 0) return c & 0x00FFFFFFu;
  const uint32_t index = c & 0xFFu;
  return index < kClassicScheme.size() ? kClassicScheme[index] : 0x000000u;
}

}  // namespace bm
