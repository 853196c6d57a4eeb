#include "platform/qt/qt_surface.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGlyphRun>
#include <QRawFont>
#include <QImage>
#include <QPainter>

#include "platform/qt/qt_keys.h"

namespace bm {
namespace {

QImage Canvas(int w, int h, QColor fill = QColor(10, 20, 30)) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(fill);
  return img;
}

int CountColor(const QImage& img, const QRect& r, QColor c) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (img.pixelColor(x, y) == c) ++n;
  return n;
}

TEST(QtFonts, MissingFacesFallBackToMetricCompatibleOnes) {
  EXPECT_EQ(ResolveFontFamily("Courier New"), "Liberation Mono");
  EXPECT_EQ(ResolveFontFamily("Courier New Cyr"), "Liberation Mono");
  EXPECT_EQ(ResolveFontFamily("courier"), "Liberation Mono");
  EXPECT_EQ(ResolveFontFamily("Arial"), "Liberation Sans");
  EXPECT_FALSE(ResolveFontFamily("MS Sans Serif").isEmpty());
  // An installed face is used as asked.
  EXPECT_EQ(ResolveFontFamily("DejaVu Sans"), "DejaVu Sans");

  FontDesc d;
  d.name = "Courier New";
  d.pixelHeight = 13;
  d.bold = true;
  QFont f = ToQFont(d);
  EXPECT_EQ(QFontInfo(f).family(), "Liberation Mono");
  EXPECT_EQ(f.pixelSize(), 13);
  EXPECT_EQ(f.weight(), QFont::Bold);
  d.pixelHeight = 0;
  d.pointSize = 10;
  d.bold = false;
  f = ToQFont(d);
  EXPECT_EQ(f.pointSize(), 10);
  EXPECT_EQ(f.weight(), QFont::Normal);
}

TEST(QtSurface, MeasuresWithTheFontsMetrics) {
  QtSurface s;
  FontDesc d;
  d.name = "Courier New";
  d.pixelHeight = 16;
  s.SetFont(d);
  const QFontMetrics fm(ToQFont(d));
  EXPECT_EQ(s.TextWidth("w"), fm.horizontalAdvance('w'));
  EXPECT_EQ(s.TextWidth("wwww"), 4 * s.TextWidth("w"));  // monospace
  EXPECT_EQ(s.TextHeight("yY"), fm.height());
  // Windows-1251 bytes are measured as the characters they stand for.
  EXPECT_EQ(s.TextWidth("\xC0\xC1"), fm.horizontalAdvance(QString::fromUtf8("АБ")));
  d.pixelHeight = 24;
  s.SetFont(d);
  EXPECT_GT(s.TextHeight("yY"), fm.height());
}

TEST(QtSurface, TextIsOpaqueClippedAndDecodedFromTheAnsiCodePage) {
  QImage img = Canvas(120, 40);
  FontDesc d;
  d.name = "Courier New";
  d.pixelHeight = 16;
  {
    QPainter p(&img);
    QtSurface s(&p);
    s.SetFont(d);
    s.SetTextColor(0x0000FF);  // red
    s.SetBkColor(clWindow);    // resolves to white
    // Four wide letters in a clip one and a half letters wide.
    const int cw = s.TextWidth("W");
    s.TextOutOpaqueClipped(10, 5, Rect{10, 5, 10 + cw + cw / 2, 5 + s.TextHeight("W")}, "WWWW");
  }
  QtSurface m;
  m.SetFont(d);
  const int cw = m.TextWidth("W"), h = m.TextHeight("W");
  const QRect clip(10, 5, cw + cw / 2, h);
  EXPECT_GT(CountColor(img, clip, Qt::red), 0);
  EXPECT_GT(CountColor(img, clip, Qt::white), 0);
  // Inside the clip only text and background; outside it nothing changed.
  EXPECT_EQ(CountColor(img, clip, Qt::red) + CountColor(img, clip, Qt::white), clip.width() * clip.height());
  const QRect right(clip.right() + 1, 0, img.width() - clip.right() - 1, img.height());
  EXPECT_EQ(CountColor(img, right, QColor(10, 20, 30)), right.width() * right.height());

  // Byte 0xC0 draws the Cyrillic A, exactly as Qt draws that character.
  QImage a = Canvas(40, 30), b = Canvas(40, 30);
  {
    QPainter p(&a);
    QtSurface s(&p);
    s.SetFont(d);
    s.SetTextColor(0);
    s.SetBkColor(0xFFFFFF);
    s.TextOutOpaqueClipped(2, 3, Rect{0, 0, 40, 30}, "\xC0");
  }
  {
    QPainter p(&b);
    p.fillRect(0, 0, 40, 30, Qt::white);
    p.setFont(ToQFont(d));
    p.setPen(Qt::black);
    p.drawText(QPoint(2, 3 + QFontMetrics(ToQFont(d)).ascent()), QString::fromUtf8("А"));
  }
  EXPECT_EQ(a, b);
  EXPECT_GT(CountColor(a, a.rect(), Qt::black), 0);

  // A character drawn at its cell's corner (the cached-cell path) looks the
  // same, twice in a row and in other colours.
  const QFontMetrics fm(ToQFont(d));
  const int cellW = fm.horizontalAdvance('W'), cellH = fm.height();
  for (const char* text : {"\xC0", "g", "g"}) {
    QImage c = Canvas(3 * cellW, cellH), e = Canvas(3 * cellW, cellH);
    {
      QPainter p(&c);
      QtSurface s(&p);
      s.SetFont(d);
      s.SetTextColor(0x800000);
      s.SetBkColor(0xA8FFFF);
      s.TextOutOpaqueClipped(cellW, 0, Rect{cellW, 0, 2 * cellW, cellH}, text);
    }
    {
      QPainter p(&e);
      p.fillRect(cellW, 0, cellW, cellH, QColor(255, 255, 0xA8));
      p.setClipRect(cellW, 0, cellW, cellH);
      p.setFont(ToQFont(d));
      p.setPen(QColor(0, 0, 128));
      p.drawText(QPoint(cellW, fm.ascent()), AnsiToQString(text));
    }
    EXPECT_EQ(c, e) << text;
  }
}

// A byte with no character in the code page (0x98 in Windows-1251) shows the
// font's own missing-glyph box inside its cell, alone or within a text, and a
// cell never draws over its neighbours.
TEST(QtSurface, BytesWithoutACharacterStayInsideTheirCell) {
  FontDesc d;
  d.name = "Courier New";
  d.pixelHeight = 13;
  d.bold = true;
  const QFont font = ToQFont(d);
  const QFontMetrics fm(font);
  const int cellW = fm.horizontalAdvance('w'), cellH = fm.height();
  const QColor outside(10, 20, 30), back(0, 0, 128), ink(0, 255, 255);

  // The box as the font draws its glyph 0.
  QImage expected = Canvas(3 * cellW, cellH);
  {
    QPainter p(&expected);
    p.fillRect(cellW, 0, cellW, cellH, back);
    p.setClipRect(cellW, 0, cellW, cellH);
    QGlyphRun box;
    box.setRawFont(QRawFont::fromFont(font));
    box.setGlyphIndexes({0});
    box.setPositions({QPointF(0, 0)});
    p.setPen(ink);
    p.drawGlyphRun(QPointF(cellW, fm.ascent()), box);
  }
  const QRect left(0, 0, cellW, cellH), middle(cellW, 0, cellW, cellH),
      right(2 * cellW, 0, cellW, cellH);
  ASSERT_GT(CountColor(expected, middle, ink), 0) << "the font's box has ink";

  // As one cell, by the cached path and by the direct one (the text starting
  // off the cell's corner).
  for (int dx : {0, 1}) {
    QImage img = Canvas(3 * cellW, cellH);
    {
      QPainter p(&img);
      QtSurface s(&p);
      s.SetFont(d);
      s.SetTextColor(0xFFFF00);
      s.SetBkColor(0x800000);
      s.TextOutOpaqueClipped(cellW + dx, 0, Rect{cellW, 0, 2 * cellW, cellH}, "\x98");
    }
    EXPECT_EQ(CountColor(img, left, outside), cellW * cellH) << dx;
    EXPECT_EQ(CountColor(img, right, outside), cellW * cellH) << dx;
    if (dx == 0) EXPECT_EQ(img, expected);
    else EXPECT_GT(CountColor(img, middle, ink), 0);
  }

  // Within a text: the following characters keep their places.
  QImage run = Canvas(3 * cellW, cellH), plain = Canvas(3 * cellW, cellH);
  for (auto [image, text] : {std::pair{&run, "A\x98" "B"}, std::pair{&plain, "A B"}}) {
    QPainter p(image);
    QtSurface s(&p);
    s.SetFont(d);
    s.SetTextColor(0xFFFF00);
    s.SetBkColor(0x800000);
    s.TextOutOpaqueClipped(0, 0, Rect{0, 0, 3 * cellW, cellH}, text);
  }
  EXPECT_EQ(run.copy(left), plain.copy(left));
  EXPECT_EQ(run.copy(right), plain.copy(right));
  EXPECT_EQ(run.copy(middle), expected.copy(middle));
}

TEST(QtSurface, FrameFillAndFocusRectTouchExactlyTheirPixels) {
  const QColor base(10, 20, 30);
  QImage img = Canvas(30, 30, base);
  {
    QPainter p(&img);
    QtSurface s(&p);
    s.FrameRect(Rect{5, 5, 15, 12}, 0x00FF00);
    s.FillRect(Rect{20, 20, 23, 22}, 0xFF0000);  // blue
  }
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool edge = (x >= 5 && x <= 14 && y >= 5 && y <= 11) &&
                        (x == 5 || x == 14 || y == 5 || y == 11);
      const bool fill = x >= 20 && x < 23 && y >= 20 && y < 22;
      const QColor want = edge ? QColor(0, 255, 0) : fill ? QColor(0, 0, 255) : base;
      ASSERT_EQ(img.pixelColor(x, y), want) << x << "," << y;
    }

  const QImage before = img;
  {
    QPainter p(&img);
    QtSurface s(&p);
    s.DrawFocusRect(Rect{2, 2, 12, 9});
  }
  int inverted = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const QColor was = before.pixelColor(x, y), now = img.pixelColor(x, y);
      if (was == now) continue;
      ++inverted;
      const bool onOutline = x >= 2 && x <= 11 && y >= 2 && y <= 8 && (x == 2 || x == 11 || y == 2 || y == 8);
      EXPECT_TRUE(onOutline) << x << "," << y;
      EXPECT_EQ(now, QColor(255 - was.red(), 255 - was.green(), 255 - was.blue()));
      EXPECT_EQ((x + y) % 2, 0);
    }
  EXPECT_EQ(inverted, 15);  // every other pixel of the 30-pixel outline
  {
    QPainter p(&img);
    QtSurface s(&p);
    s.DrawFocusRect(Rect{2, 2, 12, 9});
  }
  EXPECT_EQ(img, before);
}

TEST(QtKeys, KeysMapToVirtualKeysByTheKeyNotTheText) {
  const auto none = Qt::NoModifier;
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Backtab, Qt::ShiftModifier, 0, ScanCodes::Unknown), VK_TAB);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Alt, Qt::AltModifier, 0, ScanCodes::Unknown), VK_MENU);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F12, none, 0, ScanCodes::Unknown), VK_F1 + 11);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_T, Qt::ControlModifier, 0, ScanCodes::Unknown), 'T');
  // Shift turned the 1 key into "!": still the 1 key.
  const auto cs = Qt::ControlModifier | Qt::ShiftModifier;
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Exclam, cs, 0, ScanCodes::Unknown), '1');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_ParenRight, cs, 0, ScanCodes::Unknown), '0');
  // With evdev codes the physical key decides: the top-row key of 3 on a
  // layout where it gives a quote, and the T key on a Cyrillic layout.
  EXPECT_EQ(VirtualKeyOf(Qt::Key_QuoteDbl, cs, 12, ScanCodes::Evdev), '3');
  EXPECT_EQ(VirtualKeyOf(0x0415 /* Cyrillic IE */, Qt::ControlModifier, 28, ScanCodes::Evdev), 'T');
  // Keypad digits are the numpad keys; keypad navigation stays navigation.
  EXPECT_EQ(VirtualKeyOf(Qt::Key_7, Qt::KeypadModifier, 0, ScanCodes::Unknown), VK_NUMPAD0 + 7);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Left, Qt::KeypadModifier, 0, ScanCodes::Unknown), VK_LEFT);
  EXPECT_EQ(KeypadDigit(Qt::Key_Left, Qt::KeypadModifier), 4);
  EXPECT_EQ(KeypadDigit(Qt::Key_4, none), -1);
}

}  // namespace
}  // namespace bm
