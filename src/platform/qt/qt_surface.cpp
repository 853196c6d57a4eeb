#include "platform/qt/qt_surface.h"

#include <QFontDatabase>
#include <QHash>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QVarLengthArray>

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

QtSurface::QtSurface(QPainter* painter) : painter_(painter), qfont_(ToQFont(font_)) {}

void QtSurface::SetPainter(QPainter* painter) {
  painter_ = painter;
  metrics_.reset();
  fontOnPainter_ = false;
}

void QtSurface::SetFont(const FontDesc& font) {
  if (font == font_ && metrics_) return;
  const bool faceChanged = !(font.name == font_.name && font.pixelHeight == font_.pixelHeight &&
                             font.pointSize == font_.pointSize && font.bold == font_.bold);
  font_ = font;
  if (faceChanged || !metrics_) {
    qfont_ = ToQFont(font_);
    metrics_.reset();
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

int QtSurface::TextWidth(std::string_view text) {
  if (text.empty()) return 0;
  AnsiToQString(text).swap(scratch_);
  return Metrics().horizontalAdvance(scratch_);
}

int QtSurface::TextHeight(std::string_view) { return Metrics().height(); }

void QtSurface::SetTextColor(Color c) { text_ = ToQColor(c); }
void QtSurface::SetBkColor(Color c) { back_ = ToQColor(c); }

void QtSurface::TextOutOpaqueClipped(int x, int y, const Rect& clip, std::string_view text) {
  if (!painter_ || clip.IsEmpty()) return;
  const QRect clipRect = ToQRect(clip);
  painter_->fillRect(clipRect, back_);
  if (text.empty()) return;
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
  painter_->drawText(QPoint(x, y + fm.ascent()), scratch_);
  if (callerClip) {
    painter_->restore();
  } else {
    painter_->setClipping(false);
  }
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
