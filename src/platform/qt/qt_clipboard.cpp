#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>

#include "platform/codepage.h"
#include "platform/qt/qt_surface.h"

namespace bm {

namespace {

// Windows-1251 leaves 0x98 without a character; on the clipboard it stands
// for the control character U+0098, so every byte survives a round trip.
constexpr uint8_t kUnassigned = 0x98;

QString AnsiTextToUnicode(std::string_view ansi) {
  const size_t zero = ansi.find('\0');
  const std::string_view text = ansi.substr(0, zero == std::string_view::npos ? ansi.size() : zero);
  QString unicode = AnsiToQString(text);
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<uint8_t>(text[i]) == kUnassigned)
      unicode[static_cast<qsizetype>(i)] = QChar(kUnassigned);
  }
  return unicode;
}

// The exact bytes and, made only when a program asks for it, their text.
// The bytes are handed out without a copy.
class BytesMimeData : public QMimeData {
 public:
  explicit BytesMimeData(std::shared_ptr<const std::string> bytes) : bytes_(std::move(bytes)) {}

  const std::shared_ptr<const std::string>& bytes() const { return bytes_; }

  QStringList formats() const override {
    return {QString::fromLatin1(kBytesMimeType), QStringLiteral("text/plain")};
  }

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
    if (mimeType == QLatin1String(kBytesMimeType))
      return QByteArray::fromRawData(bytes_->data(), static_cast<qsizetype>(bytes_->size()));
    if (mimeType == QLatin1String("text/plain")) {
      const QString text = AnsiTextToUnicode(*bytes_);
      if (type.id() == QMetaType::QByteArray) return text.toUtf8();
      return text;
    }
    return {};
  }

 private:
  std::shared_ptr<const std::string> bytes_;
};

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
  QGuiApplication::clipboard()->setText(AnsiTextToUnicode(ansi));
}

void QtClipboard::Clear() { QGuiApplication::clipboard()->clear(); }

void QtClipboard::SetBytes(std::shared_ptr<const std::string> bytes) {
  if (!bytes) bytes = std::make_shared<const std::string>();
  QGuiApplication::clipboard()->setMimeData(new BytesMimeData(std::move(bytes)));
}

bool QtClipboard::HasBytes() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasFormat(QLatin1String(kBytesMimeType));
}

ClipboardBytes QtClipboard::Bytes() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return {};
  // Our own copy is read where it lies; another program's arrives as one array.
  if (const auto* own = dynamic_cast<const BytesMimeData*>(data)) {
    const std::shared_ptr<const std::string>& bytes = own->bytes();
    return {reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size(), bytes};
  }
  if (!data->hasFormat(QLatin1String(kBytesMimeType))) return {};
  auto array = std::make_shared<const QByteArray>(data->data(QLatin1String(kBytesMimeType)));
  return {reinterpret_cast<const uint8_t*>(array->constData()), static_cast<size_t>(array->size()),
          array};
}

}  // namespace bm
