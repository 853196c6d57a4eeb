#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace bm {

namespace {

constexpr int kGlyphSize = 16;

// The colours of one image: the disabled image draws every part in greys.
struct Ink {
  bool enabled;
  QColor pick(QColor normal, QColor grey = QColor(128, 128, 128)) const {
    return enabled ? normal : grey;
  }
  QColor outline() const { return enabled ? QColor(32, 32, 32) : QColor(128, 128, 128); }
  QColor light() const { return enabled ? QColor(255, 255, 255) : QColor(224, 224, 224); }
};

void DrawArrowHead(QPainter& p, QPointF tip, bool pointsLeft, qreal size, const QColor& c) {
  const qreal dx = pointsLeft ? size : -size;
  QPolygonF head;
  head << tip << QPointF(tip.x() + dx, tip.y() - size) << QPointF(tip.x() + dx, tip.y() + size);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPolygon(head);
}

void DrawOpen(QPainter& p, const Ink& ink) {
  p.setPen(QPen(ink.outline(), 1));
  p.setBrush(ink.pick(QColor(232, 184, 40), QColor(192, 192, 192)));
  // Back of the folder with its tab.
  QPolygonF back;
  back << QPointF(1.5, 3.5) << QPointF(6.5, 3.5) << QPointF(7.5, 5.5) << QPointF(13.5, 5.5)
       << QPointF(13.5, 13.5) << QPointF(1.5, 13.5);
  p.drawPolygon(back);
  // The open flap in front.
  p.setBrush(ink.pick(QColor(252, 220, 110), QColor(216, 216, 216)));
  QPolygonF flap;
  flap << QPointF(1.5, 13.5) << QPointF(4.5, 7.5) << QPointF(15.5, 7.5) << QPointF(12.5, 13.5);
  p.drawPolygon(flap);
}

void DrawSave(QPainter& p, const Ink& ink) {
  p.setPen(QPen(ink.outline(), 1));
  p.setBrush(ink.pick(QColor(40, 80, 176)));
  QPolygonF body;
  body << QPointF(1.5, 1.5) << QPointF(13.5, 1.5) << QPointF(14.5, 2.5) << QPointF(14.5, 14.5)
       << QPointF(1.5, 14.5);
  p.drawPolygon(body);
  p.setBrush(ink.light());
  p.drawRect(QRectF(3.5, 1.5, 9, 5));  // label
  p.setBrush(ink.pick(QColor(200, 200, 200), QColor(176, 176, 176)));
  p.drawRect(QRectF(4.5, 9.5, 7, 5));  // shutter
  p.setPen(Qt::NoPen);
  p.setBrush(ink.outline());
  p.drawRect(QRectF(9, 10.5, 1.5, 3));
}

void DrawPrint(QPainter& p, const Ink& ink) {
  p.setPen(QPen(ink.outline(), 1));
  p.setBrush(ink.light());
  p.drawRect(QRectF(4.5, 1.5, 7, 6));  // paper
  p.setBrush(ink.pick(QColor(160, 160, 160), QColor(176, 176, 176)));
  p.drawRect(QRectF(1.5, 6.5, 13, 6));  // body
  p.setBrush(ink.light());
  p.drawRect(QRectF(4.5, 10.5, 7, 4));  // printed sheet
  p.setPen(Qt::NoPen);
  p.setBrush(ink.pick(QColor(0, 176, 0)));
  p.drawRect(QRectF(12, 8, 1.5, 1.5));  // lamp
}

void DrawLens(QPainter& p, const Ink& ink) {
  p.setPen(QPen(ink.pick(QColor(96, 64, 32)), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
  p.setPen(QPen(ink.outline(), 1.5));
  p.setBrush(ink.pick(QColor(200, 232, 255), QColor(232, 232, 232)));
  p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
}

void DrawFind(QPainter& p, const Ink& ink) { DrawLens(p, ink); }

void DrawFindNext(QPainter& p, const Ink& ink) {
  p.save();
  p.translate(-1, -1);
  p.scale(0.85, 0.85);
  DrawLens(p, ink);
  p.restore();
  // A small arrow: "once more".
  const QColor c = ink.pick(QColor(0, 144, 0));
  p.setPen(QPen(c, 2));
  p.drawLine(QPointF(9, 13), QPointF(13, 13));
  DrawArrowHead(p, QPointF(16, 13), false, 3, c);
}

void DrawUndo(QPainter& p, const Ink& ink) {
  const QColor c = ink.pick(QColor(32, 96, 192));
  QPainterPath path;
  path.moveTo(4.5, 6.5);
  path.lineTo(9.5, 6.5);
  path.cubicTo(16, 6.5, 16, 14, 9.5, 14);
  path.lineTo(6, 14);
  p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  DrawArrowHead(p, QPointF(0.5, 6.5), true, 4.5, c);
}

void DrawStep(QPainter& p, const Ink& ink, bool back) {
  const QColor c = ink.pick(QColor(0, 128, 128));
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  // A bar and a double arrow.
  const qreal bar = back ? 1.5 : 12.5;
  p.drawRect(QRectF(bar, 3, 2, 10));
  const qreal first = back ? 3.5 : 12.5;
  const qreal second = back ? 9 : 7;
  DrawArrowHead(p, QPointF(first, 8), back, 5, c);
  DrawArrowHead(p, QPointF(second, 8), back, 5, c);
}

QPixmap GlyphPixmap(ToolbarGlyph glyph, bool enabled) {
  QPixmap pm(kGlyphSize, kGlyphSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  const Ink ink{enabled};
  switch (glyph) {
    case ToolbarGlyph::Open: DrawOpen(p, ink); break;
    case ToolbarGlyph::Save: DrawSave(p, ink); break;
    case ToolbarGlyph::Print: DrawPrint(p, ink); break;
    case ToolbarGlyph::Find: DrawFind(p, ink); break;
    case ToolbarGlyph::FindNext: DrawFindNext(p, ink); break;
    case ToolbarGlyph::Undo: DrawUndo(p, ink); break;
    case ToolbarGlyph::StepBack: DrawStep(p, ink, true); break;
    case ToolbarGlyph::StepForward: DrawStep(p, ink, false); break;
  }
  return pm;
}

QPixmap ApplicationPixmap(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  const qreal s = size / 64.0;
  p.scale(s, s);
  p.setPen(QPen(QColor(0, 0, 64), 2));
  p.setBrush(QColor(0, 0, 128));
  p.drawRoundedRect(QRectF(3, 3, 58, 58), 9, 9);
  // A yellow cursor cell behind the first digit pair.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 0));
  p.drawRect(QRectF(9, 12, 22, 18));
  QFont font(QStringLiteral("Monospace"));
  font.setStyleHint(QFont::TypeWriter);
  font.setBold(true);
  font.setPixelSize(17);
  p.setFont(font);
  p.setPen(QColor(255, 0, 0));
  p.drawText(QRectF(9, 12, 22, 18), Qt::AlignCenter, QStringLiteral("4D"));
  p.setPen(QColor(0, 255, 255));
  p.drawText(QRectF(33, 12, 22, 18), Qt::AlignCenter, QStringLiteral("6F"));
  p.setPen(QColor(192, 192, 192));
  p.drawText(QRectF(9, 34, 22, 18), Qt::AlignCenter, QStringLiteral("6F"));
  p.setPen(QColor(0, 255, 255));
  p.drawText(QRectF(33, 34, 22, 18), Qt::AlignCenter, QStringLiteral("72"));
  return pm;
}

}  // namespace

QIcon ToolbarIcon(ToolbarGlyph glyph) {
  QIcon icon;
  icon.addPixmap(GlyphPixmap(glyph, true), QIcon::Normal);
  icon.addPixmap(GlyphPixmap(glyph, false), QIcon::Disabled);
  return icon;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(ApplicationPixmap(size));
  return icon;
}

}  // namespace bm
