// The clipboard on Qt: text travels as Windows-1251 bytes on the program's
// side and as Unicode text on the system's; exact bytes as
// application/octet-stream.
#pragma once
#include "platform/clipboard.h"

namespace bm {

// The binary type the exact bytes are offered and looked for under.
inline constexpr const char* kBytesMimeType = "application/octet-stream";

class QtClipboard : public Clipboard {
 public:
  bool HasText() override;
  // The clipboard's text in Windows-1251, up to its first zero character;
  // characters the code page lacks become "?".
  std::string Text() override;
  // Stores the bytes up to the first zero byte as text; nothing else.
  void SetText(const std::string& ansi) override;
  void Clear() override;
  void SetBytes(std::shared_ptr<const std::string> bytes) override;
  bool HasBytes() override;
  ClipboardBytes Bytes() override;
};

}  // namespace bm
