// Bytes to text in each of the clipboard forms.
#include "bytetools/text_forms.h"

#include <string>

namespace bm {

namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr char kLowerHex[] = "0123456789abcdef";
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Values a line of the C array.
constexpr int64_t kArrayPerLine = 12;

std::string ArrayHead(int64_t count) {
  return "unsigned char data[" + std::to_string(count) + "] = {";
}

}  // namespace

int64_t TextLength(TextForm form, int64_t count) {
  if (count <= 0) {
    switch (form) {
      case TextForm::CArray: return static_cast<int64_t>(ArrayHead(0).size()) + 3;  // " };"
      case TextForm::PythonBytes: return 3;
      default: return 0;
    }
  }
  switch (form) {
    case TextForm::HexSpaced: return count * 3 - 1;
    case TextForm::HexPlain: return count * 2;
    case TextForm::CArray: {
      // " 0x4D," each, the last without its comma; a line break and two
      // blanks before each line, " };" at the end.
      const int64_t lines = (count + kArrayPerLine - 1) / kArrayPerLine;
      if (count <= kArrayPerLine)
        return static_cast<int64_t>(ArrayHead(count).size()) + count * 6 - 1 + 3;
      return static_cast<int64_t>(ArrayHead(count).size()) + lines * 3 + count * 6 - 1 -
             lines + 3;
    }
    case TextForm::PythonBytes: return 3 + count * 4;
    case TextForm::Base64: return (count + 2) / 3 * 4;
    case TextForm::Characters: return count;
  }
  return 0;
}

TextFormWriter::TextFormWriter(TextForm form, int64_t count, const std::array<char, 256>* chars)
    : form_(form), count_(count < 0 ? 0 : count), chars_(chars) {
  text_.reserve(static_cast<size_t>(TextLength(form_, count_)));
  if (form_ == TextForm::CArray) text_ += ArrayHead(count_);
  if (form_ == TextForm::PythonBytes) text_ += "b'";
}

void TextFormWriter::AppendBase64Group(const uint8_t* g, int n) {
  const uint32_t v = (uint32_t{g[0]} << 16) | (n > 1 ? uint32_t{g[1]} << 8 : 0) |
                     (n > 2 ? uint32_t{g[2]} : 0);
  text_ += kBase64[(v >> 18) & 63];
  text_ += kBase64[(v >> 12) & 63];
  text_ += n > 1 ? kBase64[(v >> 6) & 63] : '=';
  text_ += n > 2 ? kBase64[v & 63] : '=';
}

void TextFormWriter::Append(const uint8_t* bytes, int64_t n) {
  if (n > count_ - written_) n = count_ - written_;
  for (int64_t i = 0; i < n; ++i, ++written_) {
    const uint8_t b = bytes[i];
    switch (form_) {
      case TextForm::HexSpaced:
        if (written_ > 0) text_ += ' ';
        text_ += kUpperHex[b >> 4];
        text_ += kUpperHex[b & 15];
        break;
      case TextForm::HexPlain:
        text_ += kUpperHex[b >> 4];
        text_ += kUpperHex[b & 15];
        break;
      case TextForm::CArray:
        // Short arrays stay on the line of their head.
        if (count_ > kArrayPerLine && written_ % kArrayPerLine == 0) text_ += "\n  ";
        else text_ += ' ';
        text_ += "0x";
        text_ += kUpperHex[b >> 4];
        text_ += kUpperHex[b & 15];
        if (written_ + 1 < count_) text_ += ',';
        break;
      case TextForm::PythonBytes:
        text_ += "\\x";
        text_ += kLowerHex[b >> 4];
        text_ += kLowerHex[b & 15];
        break;
      case TextForm::Base64:
        pending_[pendingCount_++] = b;
        if (pendingCount_ == 3) {
          AppendBase64Group(pending_, 3);
          pendingCount_ = 0;
        }
        break;
      case TextForm::Characters:
        text_ += chars_ ? (*chars_)[b] : static_cast<char>(b);
        break;
    }
  }
}

std::string TextFormWriter::Finish() {
  if (form_ == TextForm::Base64 && pendingCount_ > 0) {
    AppendBase64Group(pending_, pendingCount_);
    pendingCount_ = 0;
  }
  if (form_ == TextForm::CArray) text_ += count_ > kArrayPerLine ? "\n};" : " };";
  if (form_ == TextForm::PythonBytes) text_ += '\'';
  return std::move(text_);
}

std::string BytesToText(TextForm form, const uint8_t* bytes, int64_t count,
                        const std::array<char, 256>* chars) {
  TextFormWriter writer(form, count, chars);
  writer.Append(bytes, count);
  return writer.Finish();
}

}  // namespace bm
