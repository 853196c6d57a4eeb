// The drawing surface over a QPainter, and the font and colour conversions
// the Qt side shares (widget, printing, preview).
#pragma once
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/surface.h"
#include "platform/types.h"

class QPainter;

namespace bm {

struct GlyphCache;

// A colour value (system colours resolved first) as a Qt colour.
QColor ToQColor(Color c);

// The family Qt should use for a requested face: the face itself when the
// machine has it, else a metric-compatible one ("Courier New", "Courier New
// Cyr" and "Courier" become "Liberation Mono", "Arial" becomes "Liberation
// Sans", "MS Sans Serif" the system's sans-serif face).
QString ResolveFontFamily(const std::string& name);

// FontDesc to QFont: resolved family, pixel height or point size, weight,
// antialiasing off so cells are drawn crisp and the same on every run.
QFont ToQFont(const FontDesc& font);

// Windows-1251 bytes to a QString.
QString AnsiToQString(std::string_view text);

// A Surface drawing through a QPainter. Without a painter it only measures
// (the screen's metrics), which is what a window host's MeasureSurface needs.
class QtSurface : public Surface {
 public:
  explicit QtSurface(QPainter* painter = nullptr);

  QPainter* Painter() const { return painter_; }
  void SetPainter(QPainter* painter);

  void SetFont(const FontDesc& font) override;
  const FontDesc& Font() const override { return font_; }
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;

  void SetTextColor(Color c) override;
  void SetBkColor(Color c) override;
  void TextOutOpaqueClipped(int x, int y, const Rect& clip, std::string_view text) override;
  void FrameRect(const Rect& r, Color pen) override;
  void DrawFocusRect(const Rect& r) override;
  void FillRect(const Rect& r, Color c) override;
  // Text over the page's background, which the caller has filled already.
  void TextOut(int x, int y, const Rect& clip, std::string_view text) override;

 private:
  const QFontMetrics& Metrics();
  GlyphCache& Glyphs();
  // Draws one character from the glyph cache on raster devices; false when
  // it cannot (another device, no glyph in the font, or ink beyond clip),
  // and the caller draws it as text.
  bool DrawCachedChar(int x, int y, const Rect& clip, uint8_t ch);
  // Draws a whole cell (background and character) as one cached image, on
  // raster devices where that gives the same pixels; false when it cannot.
  bool DrawCachedCell(const Rect& cell, uint8_t ch);

  QPainter* painter_;
  FontDesc font_;
  QFont qfont_;
  std::optional<QFontMetrics> metrics_;
  std::shared_ptr<GlyphCache> glyphs_;
  bool fontOnPainter_ = false;
  QColor text_{Qt::black};
  QColor back_{Qt::white};
  Color textValue_ = 0x000000;
  Color backValue_ = 0xFFFFFF;
  QString scratch_;
};

}  // namespace bm
