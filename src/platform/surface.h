// A drawing surface: what painting and measuring need of a device context.
#pragma once
#include <string_view>

#include "platform/types.h"

namespace bm {

// Text is passed as bytes of the ANSI code page (Windows-1251); the surface
// turns them into characters for drawing. Colours may be system colours; the
// surface resolves them (ResolveColor).
class Surface {
 public:
  virtual ~Surface() = default;

  virtual void SetFont(const FontDesc& font) = 0;
  virtual const FontDesc& Font() const = 0;
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight(std::string_view text) = 0;

  virtual void SetTextColor(Color c) = 0;
  virtual void SetBkColor(Color c) = 0;
  // Fills clip with the background colour and draws text at (x, y) in the text
  // colour, cut at clip's edges (ExtTextOut with ETO_OPAQUE | ETO_CLIPPED).
  virtual void TextOutOpaqueClipped(int x, int y, const Rect& clip, std::string_view text) = 0;
  // One-pixel outline of r in pen colour, interior untouched.
  virtual void FrameRect(const Rect& r, Color pen) = 0;
  // Dotted frame drawn by inverting pixels; drawing it twice removes it.
  virtual void DrawFocusRect(const Rect& r) = 0;
  virtual void FillRect(const Rect& r, Color c) = 0;
  // Draws text at (x, y) over the current background colour, cut at clip's
  // edges; only the text's own box is painted. Page drawing uses it.
  virtual void TextOut(int x, int y, const Rect& clip, std::string_view text) {
    Rect box{x, y, x + TextWidth(text), y + TextHeight(text)};
    box.left = box.left > clip.left ? box.left : clip.left;
    box.top = box.top > clip.top ? box.top : clip.top;
    box.right = box.right < clip.right ? box.right : clip.right;
    box.bottom = box.bottom < clip.bottom ? box.bottom : clip.bottom;
    if (!box.IsEmpty()) TextOutOpaqueClipped(x, y, box, text);
  }
};

}  // namespace bm
