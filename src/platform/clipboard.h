// The plain-text clipboard.
#pragma once
#include <string>

namespace bm {

// Text is bytes of the ANSI code page, up to the first zero byte.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual bool HasText() = 0;
  virtual std::string Text() = 0;
  virtual void SetText(const std::string& ansi) = 0;
  virtual void Clear() = 0;
};

}  // namespace bm
