// What a control needs of the window that hosts it.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/surface.h"
#include "platform/types.h"

namespace bm {

// A caret shape: width x height colour values (0x00BBGGRR),
// combined with the screen by XOR, so black (0) is transparent.
struct CaretBitmap {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;  // row by row, width * height entries
  Color At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Receives what the host delivers later from its event loop.
class HostClient {
 public:
  virtual ~HostClient() = default;
  virtual void HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;
  virtual void HandleTimer() = 0;
};

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  virtual bool WindowExists() const = 0;
  // Queues a message for the client; delivered later, in posting order.
  virtual void PostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;

  virtual void Invalidate(const Rect& r, bool erase) = 0;
  virtual void InvalidateAll() = 0;
  // Freezes (true) or unfreezes (false) repainting of the window.
  virtual void LockUpdate(bool lock) = 0;
  // The grid's scroll position or size changed: scroll bars follow it.
  virtual void ScrollStateChanged() = 0;

  // State of a virtual key (VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON) as
  // GetKeyState gives it: bit 15 down, bit 0 toggled.
  virtual int16_t KeyState(int vk) const = 0;
  virtual bool HasFocus() const = 0;

  // A surface for measuring text (the control's font is set on it).
  virtual Surface& MeasureSurface() = 0;
  virtual void SetBusyCursor(bool busy) = 0;

  // The caret of the control's window.
  virtual void CreateCaret(const CaretBitmap& shape) = 0;
  virtual void DestroyCaret() = 0;
  virtual void SetCaretPos(int x, int y) = 0;
  virtual void ShowCaret() = 0;
  virtual void HideCaret() = 0;

  // Repeating timer (mouse-drag scrolling); ticks reach HandleTimer.
  virtual void StartTimer(int milliseconds) = 0;
  virtual void StopTimer() = 0;
};

}  // namespace bm
