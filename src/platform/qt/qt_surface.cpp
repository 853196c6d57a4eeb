#include "platform/qt/qt_surface.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QHash>
#include <QPaintEngine>
#include <QRawFont>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QVarLengthArray>
#include <array>
#include <unordered_map>

#include "platform/codepage.h"
#include "platform/colors.h"

namespace bm {

namespace {

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

bool FamilyInstalled(const QString& family) {
  static QHash<QString, bool> known;
  const QString key = family.toLower();
  auto it = known.constFind(key);
  if (it != known.constEnd()) return it.value();
  bool found = false;
  for (const QString& f : QFontDatabase::families()) {
    if (f.compare(family, Qt::CaseInsensitive) == 0) {
      found = true;
      break;
    }
  }
  known.insert(key, found);
  return found;
}

QString FirstInstalled(std::initializer_list<const char*> families, QFontDatabase::SystemFont last) {
  for (const char* f : families) {
    const QString name = QString::fromLatin1(f);
    if (FamilyInstalled(name)) return name;
  }
  return QFontDatabase::systemFont(last).family();
}

}  // namespace

QColor ToQColor(Color c) {
  const Color v = ResolveColor(c);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

QString ResolveFontFamily(const std::string& name) {
  static QHash<QString, QString> resolved;
  const QString requested = QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(name.size()));
  auto it = resolved.constFind(requested);
  if (it != resolved.constEnd()) return it.value();

  QString family;
  const QString lower = requested.toLower();
  if (requested.isEmpty()) {
    family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  } else if (FamilyInstalled(requested)) {
    family = requested;
  } else if (lower == "courier new" || lower == "courier new cyr" || lower == "courier") {
    family = FirstInstalled({"Liberation Mono", "DejaVu Sans Mono"}, QFontDatabase::FixedFont);
  } else if (lower == "arial") {
    family = FirstInstalled({"Liberation Sans", "DejaVu Sans"}, QFontDatabase::GeneralFont);
  } else if (lower == "ms sans serif") {
    family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  } else {
    // Unknown face: let the font matcher find its nearest substitute.
    family = requested;
  }
  resolved.insert(requested, family);
  return family;
}

QFont ToQFont(const FontDesc& font) {
  QFont f(ResolveFontFamily(font.name));
  if (font.pixelHeight > 0) {
    f.setPixelSize(font.pixelHeight);
  } else {
    f.setPointSize(font.pointSize > 0 ? font.pointSize : 12);
  }
  f.setWeight(font.bold ? QFont::Bold : QFont::Normal);
  if (font.fixedPitch) {
    f.setFixedPitch(true);
    f.setStyleHint(QFont::TypeWriter);
  }
  f.setStyleStrategy(QFont::NoAntialias);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

QString AnsiToQString(std::string_view text) {
  QString s(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  QChar* out = s.data();
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = QChar(AnsiToUnicode(static_cast<uint8_t>(text[i])));
  return s;
}

// The glyphs of one font on one device resolution, for the cells' single
// characters: drawing a cached glyph skips text layout and shaping.
struct GlyphCache {
  QRawFont raw;
  std::array<bool, 256> known{};
  std::array<std::optional<QGlyphRun>, 256> runs;  // empty: no glyph in the font
  std::array<QRect, 256> ink;                      // relative to the baseline origin
  // Whole cells, by colours, character and size.
  struct CellKey {
    uint64_t colors;
    uint32_t shape;
    bool operator==(const CellKey&) const = default;
  };
  struct CellKeyHash {
    size_t operator()(const CellKey& k) const {
      return std::hash<uint64_t>()(k.colors * 0x9E3779B97F4A7C15ull ^ k.shape);
    }
  };
  std::unordered_map<CellKey, QImage, CellKeyHash> cells;
};

namespace {

QHash<QString, std::shared_ptr<GlyphCache>>& GlyphCaches() {
  static QHash<QString, std::shared_ptr<GlyphCache>> caches;
  static const bool cleanup = [] {
    // Glyphs hold font engines, which must go before the application does.
    qAddPostRoutine([] { GlyphCaches().clear(); });
    return true;
  }();
  (void)cleanup;
  return caches;
}

std::shared_ptr<GlyphCache> GlyphCacheFor(const QFont& font, int dpi) {
  auto& caches = GlyphCaches();
  const QString key = font.key() + QLatin1Char('@') + QString::number(dpi);
  auto it = caches.constFind(key);
  if (it != caches.constEnd()) return it.value();
  if (caches.size() >= 32) caches.clear();
  auto cache = std::make_shared<GlyphCache>();
  cache->raw = QRawFont::fromFont(font);
  caches.insert(key, cache);
  return cache;
}

}  // namespace

QtSurface::QtSurface(QPainter* painter) : painter_(painter), qfont_(ToQFont(font_)) {}

void QtSurface::SetPainter(QPainter* painter) {
  painter_ = painter;
  metrics_.reset();
  glyphs_.reset();
  fontOnPainter_ = false;
}

void QtSurface::SetFont(const FontDesc& font) {
  if (font == font_ && metrics_) return;
  const bool faceChanged = !(font.name == font_.name && font.pixelHeight == font_.pixelHeight &&
                             font.pointSize == font_.pointSize && font.bold == font_.bold &&
                             font.fixedPitch == font_.fixedPitch);
  font_ = font;
  if (faceChanged || !metrics_) {
    qfont_ = ToQFont(font_);
    metrics_.reset();
    glyphs_.reset();
    fontOnPainter_ = false;
  }
}

const QFontMetrics& QtSurface::Metrics() {
  if (!metrics_) {
    if (painter_ && painter_->device())
      metrics_.emplace(qfont_, painter_->device());
    else
      metrics_.emplace(qfont_);
  }
  return *metrics_;
}

GlyphCache& QtSurface::Glyphs() {
  if (!glyphs_) {
    QPaintDevice* device = painter_ ? painter_->device() : nullptr;
    if (device)
      glyphs_ = GlyphCacheFor(QFont(qfont_, device), device->logicalDpiY());
    else
      glyphs_ = GlyphCacheFor(qfont_, 0);
  }
  return *glyphs_;
}

namespace {

constexpr char16_t kNoCharacter = 0xFFFD;

// Fills in the glyph of one byte; false when the font has none for it. A byte
// with no character in the code page gets the font's own missing-glyph box
// (glyph 0), which is as narrow as the font's other glyphs, instead of a
// replacement glyph from a wider fallback font.
bool HasGlyph(GlyphCache& g, uint8_t ch) {
  if (!g.raw.isValid()) return false;
  if (!g.known[ch]) {
    g.known[ch] = true;
    const QChar c(AnsiToUnicode(ch));
    quint32 index = 0;
    int count = 1;
    const bool undefined = c.unicode() == kNoCharacter;
    if (undefined ||
        (g.raw.glyphIndexesForChars(&c, 1, &index, &count) && count == 1 && index != 0)) {
      QGlyphRun run;
      run.setRawFont(g.raw);
      run.setGlyphIndexes({index});
      run.setPositions({QPointF(0, 0)});
      g.runs[ch] = run;
      g.ink[ch] = g.raw.boundingRect(index).toAlignedRect();
    }
  }
  return g.runs[ch].has_value();
}

}  // namespace

bool QtSurface::DrawCachedChar(int x, int y, const Rect& clip, uint8_t ch) {
  // Printers and recordings take the ordinary text path.
  QPaintEngine* engine = painter_->paintEngine();
  if (!engine || engine->type() != QPaintEngine::Raster) return false;
  GlyphCache& g = Glyphs();
  if (!HasGlyph(g, ch)) return false;
  const QPoint origin(x, y + Metrics().ascent());
  const QRect ink = g.ink[ch].translated(origin);
  if (!ink.isEmpty() && !ToQRect(clip).contains(ink)) return false;
  painter_->setPen(text_);
  painter_->drawGlyphRun(origin, *g.runs[ch]);
  return true;
}

bool QtSurface::DrawCachedCell(const Rect& cell, uint8_t ch) {
  constexpr int kMaxCell = 255;
  constexpr size_t kMaxCells = 8192;
  const int w = cell.Width(), h = cell.Height();
  if (w > kMaxCell || h > kMaxCell) return false;
  QPaintEngine* engine = painter_->paintEngine();
  if (!engine || engine->type() != QPaintEngine::Raster) return false;
  if (painter_->device()->devicePixelRatio() != 1.0) return false;
  if (painter_->worldTransform().type() > QTransform::TxTranslate) return false;
  if (painter_->compositionMode() != QPainter::CompositionMode_SourceOver) return false;
  if (painter_->opacity() != 1.0) return false;

  GlyphCache& g = Glyphs();
  const GlyphCache::CellKey key{(uint64_t{text_.rgb()} << 32) | back_.rgb(),
                                static_cast<uint32_t>(ch) | static_cast<uint32_t>(w) << 8 |
                                    static_cast<uint32_t>(h) << 16};
  auto it = g.cells.find(key);
  if (it == g.cells.end()) {
    // A cell is drawn the way the direct path draws it: fill, then the glyph
    // on its baseline, cut at the cell's edges.
    if (!HasGlyph(g, ch)) return false;
    if (g.cells.size() >= kMaxCells) g.cells.clear();
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(back_);
    {
      QPainter p(&image);
      p.setPen(text_);
      p.drawGlyphRun(QPointF(0, Metrics().ascent()), *g.runs[ch]);
    }
    it = g.cells.emplace(key, std::move(image)).first;
  }
  painter_->drawImage(QPoint(cell.left, cell.top), it->second);
  return true;
}

int QtSurface::TextWidth(std::string_view text) {
  if (text.empty()) return 0;
  AnsiToQString(text).swap(scratch_);
  return Metrics().horizontalAdvance(scratch_);
}

int QtSurface::TextHeight(std::string_view) { return Metrics().height(); }

void QtSurface::SetTextColor(Color c) {
  if (c == textValue_) return;
  textValue_ = c;
  text_ = ToQColor(c);
}

void QtSurface::SetBkColor(Color c) {
  if (c == backValue_) return;
  backValue_ = c;
  back_ = ToQColor(c);
}

void QtSurface::TextOutOpaqueClipped(int x, int y, const Rect& clip, std::string_view text) {
  if (!painter_ || clip.IsEmpty()) return;
  if (text.size() == 1 && x == clip.left && y == clip.top &&
      DrawCachedCell(clip, static_cast<uint8_t>(text[0])))
    return;
  const QRect clipRect = ToQRect(clip);
  painter_->fillRect(clipRect, back_);
  if (text.empty()) return;
  if (text.size() == 1 && DrawCachedChar(x, y, clip, static_cast<uint8_t>(text[0]))) return;
  if (!fontOnPainter_) {
    painter_->setFont(qfont_);
    fontOnPainter_ = true;
  }
  AnsiToQString(text).swap(scratch_);
  const QFontMetrics& fm = Metrics();
  painter_->setPen(text_);
  // The painter's own clip is only ours when the caller did not set one.
  const bool callerClip = painter_->hasClipping();
  if (callerClip) {
    painter_->save();
    painter_->setClipRect(clipRect, Qt::IntersectClip);
  } else {
    painter_->setClipRect(clipRect);
  }
  const QPoint origin(x, y + fm.ascent());
  const qsizetype undefined = scratch_.indexOf(QChar(kNoCharacter));
  if (undefined < 0) {
    painter_->drawText(origin, scratch_);
  } else {
    // Bytes without a character: a blank keeps the text's own advances, and
    // the font's missing-glyph box is drawn in its place.
    const QString shown = QString(scratch_).replace(QChar(kNoCharacter), QLatin1Char(' '));
    painter_->drawText(origin, shown);
    GlyphCache& g = Glyphs();
    if (g.raw.isValid()) {
      QGlyphRun box;
      box.setRawFont(g.raw);
      box.setGlyphIndexes({0});
      box.setPositions({QPointF(0, 0)});
      for (qsizetype i = undefined; i < scratch_.size(); ++i)
        if (scratch_[i].unicode() == kNoCharacter)
          painter_->drawGlyphRun(origin + QPoint(fm.horizontalAdvance(shown.left(i)), 0), box);
    }
  }
  if (callerClip) {
    painter_->restore();
  } else {
    painter_->setClipping(false);
  }
}

void QtSurface::TextOut(int x, int y, const Rect& clip, std::string_view text) {
  if (!painter_ || clip.IsEmpty() || text.empty()) return;
  if (!fontOnPainter_) {
    painter_->setFont(qfont_);
    fontOnPainter_ = true;
  }
  AnsiToQString(text).swap(scratch_);
  const QFontMetrics& fm = Metrics();
  painter_->setPen(text_);
  // Cut only where the text reaches beyond the area.
  const bool inside = x >= clip.left && y >= clip.top &&
                      x + fm.horizontalAdvance(scratch_) <= clip.right &&
                      y + fm.height() <= clip.bottom;
  if (!inside) {
    painter_->save();
    painter_->setClipRect(ToQRect(clip), Qt::IntersectClip);
  }
  painter_->drawText(QPoint(x, y + fm.ascent()), scratch_);
  if (!inside) painter_->restore();
}

void QtSurface::FrameRect(const Rect& r, Color pen) {
  if (!painter_ || r.IsEmpty()) return;
  const QColor c = ToQColor(pen);
  const int w = r.Width(), h = r.Height();
  painter_->fillRect(QRect(r.left, r.top, w, 1), c);
  if (h > 1) painter_->fillRect(QRect(r.left, r.bottom - 1, w, 1), c);
  if (h > 2) {
    painter_->fillRect(QRect(r.left, r.top + 1, 1, h - 2), c);
    if (w > 1) painter_->fillRect(QRect(r.right - 1, r.top + 1, 1, h - 2), c);
  }
}

void QtSurface::DrawFocusRect(const Rect& r) {
  if (!painter_ || r.IsEmpty()) return;
  // Every other pixel of the outline (a checkerboard anchored at the origin),
  // each pixel once, inverted: drawing the same frame again restores it.
  QVarLengthArray<QPoint, 256> points;
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) points.append(QPoint(x, y));
  };
  const int right = r.right - 1, bottom = r.bottom - 1;
  for (int x = r.left; x <= right; ++x) {
    dot(x, r.top);
    if (bottom != r.top) dot(x, bottom);
  }
  for (int y = r.top + 1; y < bottom; ++y) {
    dot(r.left, y);
    if (right != r.left) dot(right, y);
  }
  if (points.isEmpty()) return;
  painter_->save();
  painter_->setRenderHint(QPainter::Antialiasing, false);
  painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_->setPen(QPen(Qt::white, 1));
  painter_->drawPoints(points.constData(), static_cast<int>(points.size()));
  painter_->restore();
}

void QtSurface::FillRect(const Rect& r, Color c) {
  if (!painter_ || r.IsEmpty()) return;
  painter_->fillRect(ToQRect(r), ToQColor(c));
}

}  // namespace bm
