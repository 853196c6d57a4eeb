#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/codepage.h"
#include "platform/qt/qt_surface.h"

namespace bm {

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
    const int b = UnicodeToAnsi(ch);
    bytes.push_back(b >= 0 ? static_cast<char>(b) : '?');
  }
  return bytes;
}

void QtClipboard::SetText(const std::string& ansi) {
  const size_t zero = ansi.find('\0');
  const std::string_view text(ansi.data(), zero == std::string::npos ? ansi.size() : zero);
  QGuiApplication::clipboard()->setText(AnsiToQString(text));
}

void QtClipboard::Clear() { QGuiApplication::clipboard()->clear(); }

}  // namespace bm
