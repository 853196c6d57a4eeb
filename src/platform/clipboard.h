// The clipboard: plain text for every program, and the exact bytes beside it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace bm {

// Bytes on the clipboard, shared with whoever holds them so that a large
// copy or paste does not duplicate them.
struct ClipboardBytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
  std::shared_ptr<const void> owner;
};

// Text is bytes of the ANSI code page, up to the first zero byte.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual bool HasText() = 0;
  virtual std::string Text() = 0;
  virtual void SetText(const std::string& ansi) = 0;
  virtual void Clear() = 0;
  // Offers bytes exactly, zero bytes included, under a binary type, and
  // their text up to the first zero byte for programs that take text only.
  virtual void SetBytes(std::shared_ptr<const std::string> bytes) = 0;
  virtual bool HasBytes() = 0;
  // The exact bytes, when the clipboard holds them (size 0 and no owner
  // otherwise).
  virtual ClipboardBytes Bytes() = 0;
};

}  // namespace bm
