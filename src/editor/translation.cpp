// TByteEditor: the five character sets of the character field.
#include <cstring>

#include "editor/byte_editor.h"
#include "editor/translation_tables.h"
#include "platform/codepage.h"

namespace bm {

void TByteEditor::SetTranslation(TTranslationType value) {
  if (translation_ == value) return;
  translation_ = value;
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::SetMaskChar(char value) {
  if (maskChar_ == value) return;
  maskChar_ = value;
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::SetMaskWhiteSpaces(bool value) {
  if (maskWhiteSpaces_ == value) return;
  maskWhiteSpaces_ = value;
  if (Host()) Host()->InvalidateAll();
}

uint8_t TByteEditor::ByteToDisplayChar(uint8_t v) const {
  const uint8_t mask = static_cast<uint8_t>(maskChar_);
  uint8_t c = v;
  switch (translation_) {
    case ttAnsi:
      break;
    case ttDos8:
      c = OemToAnsi(v);
      break;
    case ttASCII:
      c = v > 0x7F ? mask : OemToAnsi(v);
      break;
    case ttMac:
      c = v < 0x80 ? v : MacToDisplayTable[v - 0x80];
      break;
    case ttEBCDIC:
      c = EbcdicToDisplayTable[v];
      if (c == 0) c = mask;
      break;
  }
  // Control codes only; 0x7F and 0xFF are shown as the font draws them.
  if (maskWhiteSpaces_ && c < 0x20) c = mask;
  return c;
}

uint8_t TByteEditor::CharToDataByte(uint8_t c) const {
  switch (translation_) {
    case ttAnsi:
      return c < 0x20 ? 0 : c;
    case ttDos8:
      return c < 0x20 ? 0 : AnsiToOem(c);
    case ttASCII:
      return (c < 0x20 || c >= 0x80) ? 0 : AnsiToOem(c);
    case ttMac:
      if (c < 0x20) return 0;
      return c < 0x80 ? c : DisplayToMacTable[c - 0x80];
    case ttEBCDIC:
      return DisplayToEbcdicTable[c];
  }
  return c < 0x20 ? 0 : c;
}

void TByteEditor::TextToDataBytes(TTranslationType set, const uint8_t* source, uint8_t* destination,
                                  int64_t length) {
  if (length < 1) return;
  const size_t n = static_cast<size_t>(length);
  switch (set) {
    case ttDos8:
    case ttASCII:
      AnsiToOemBuff(source, destination, n);
      return;
    case ttMac:
      for (size_t i = 0; i < n; ++i) {
        const uint8_t b = source[i];
        destination[i] = b < 0x80 ? b : DisplayToMacTable[b - 0x80];
      }
      return;
    case ttEBCDIC:
      for (size_t i = 0; i < n; ++i) destination[i] = DisplayToEbcdicTable[source[i]];
      return;
    case ttAnsi:
      break;
  }
  if (source != destination) std::memmove(destination, source, n);
}

}  // namespace bm
