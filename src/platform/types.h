// Small value types shared by the platform layer and the editor.
#pragma once
#include <cstdint>
#include <string>

namespace bm {

// 0x00BBGGRR for an explicit colour, or a system colour index with the top bit set.
using Color = uint32_t;

inline constexpr Color kSystemColorFlag = 0x80000000u;
inline constexpr Color clWindow = 0x80000005u;      // window background
inline constexpr Color clWindowText = 0x80000008u;  // window text
inline constexpr Color clBtnFace = 0x8000000Fu;

inline constexpr Color RGBColor(int r, int g, int b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Intersects(const Rect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

// Screen resolution the layout is expressed in; point sizes convert at this rate.
inline constexpr int kPixelsPerInch = 96;

// A font as the editor asks for it: a pixel height, or a point size when the
// pixel height is 0.
struct FontDesc {
  std::string name = "Courier";
  int pixelHeight = 0;
  int pointSize = 12;
  bool bold = false;
  Color color = clWindowText;
  bool fixedPitch = false;  // ask for a fixed-pitch face when the named one is missing

  // Size in points (a pixel height converts at 96 pixels per inch, rounded).
  int Size() const {
    return pixelHeight > 0 ? (pixelHeight * 72 + kPixelsPerInch / 2) / kPixelsPerInch : pointSize;
  }
  void SetSize(int points) { pointSize = points; pixelHeight = 0; }
  void SetHeight(int pixels) { pixelHeight = pixels; }
  bool operator==(const FontDesc&) const = default;
};

}  // namespace bm
