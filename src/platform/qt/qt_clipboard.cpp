#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/codepage.h"
#include "platform/qt/qt_surface.h"

namespace bm {

namespace {

// Windows-1251 leaves 0x98 without a character; on the clipboard it stands
// for the control character U+0098, so every byte survives a round trip.
constexpr uint8_t kUnassigned = 0x98;

}  // namespace

bool QtClipboard::HasText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasText();
}

std::string QtClipboard::Text() {
  const QString text = QGuiApplication::clipboard()->text();
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (char32_t ch : text.toUcs4()) {
    if (ch == 0) break;
    const int b = ch == kUnassigned ? kUnassigned : UnicodeToAnsi(ch);
    bytes.push_back(b >= 0 ? static_cast<char>(b) : '?');
  }
  return bytes;
}

void QtClipboard::SetText(const std::string& ansi) {
  const size_t zero = ansi.find('\0');
  const std::string_view text(ansi.data(), zero == std::string::npos ? ansi.size() : zero);
  QString unicode = AnsiToQString(text);
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<uint8_t>(text[i]) == kUnassigned)
      unicode[static_cast<qsizetype>(i)] = QChar(kUnassigned);
  }
  QGuiApplication::clipboard()->setText(unicode);
}

void QtClipboard::Clear() { QGuiApplication::clipboard()->clear(); }

}  // namespace bm
