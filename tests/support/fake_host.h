// Deterministic fakes of the window host and the drawing surface.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/window_host.h"

namespace bm::testing {

// A surface with fixed metrics: every character is 8 pixels wide and any text
// is 14 pixels high, so "w" measures 8 and "yY" 14. It records what is drawn.
class FakeSurface : public Surface {
 public:
  struct TextCall {
    int x, y;
    Rect clip;
    std::string text;
    Color textColor, backColor;
    FontDesc font;
  };
  struct RectCall {
    enum Kind { Frame, Focus, Fill } kind;
    Rect rect;
    Color color;
  };

  int charWidth = 8;
  int textHeight = 14;

  void SetFont(const FontDesc& font) override { font_ = font; }
  const FontDesc& Font() const override { return font_; }
  int TextWidth(std::string_view text) override { return charWidth * static_cast<int>(text.size()); }
  int TextHeight(std::string_view) override { return textHeight; }
  void SetTextColor(Color c) override { text_ = c; }
  void SetBkColor(Color c) override { back_ = c; }
  void TextOutOpaqueClipped(int x, int y, const Rect& clip, std::string_view text) override {
    texts.push_back({x, y, clip, std::string(text), text_, back_, font_});
  }
  void FrameRect(const Rect& r, Color pen) override { rects.push_back({RectCall::Frame, r, pen}); }
  void DrawFocusRect(const Rect& r) override { rects.push_back({RectCall::Focus, r, 0}); }
  void FillRect(const Rect& r, Color c) override { rects.push_back({RectCall::Fill, r, c}); }

  void Clear() { texts.clear(); rects.clear(); }
  // The last text drawn with clip == rect, or nullptr.
  const TextCall* TextAt(const Rect& rect) const;

  std::vector<TextCall> texts;
  std::vector<RectCall> rects;

 private:
  FontDesc font_;
  Color text_ = 0, back_ = 0xFFFFFF;
};

// A window host whose message queue, invalidations, key states, focus, caret
// and timer are plain fields the test reads and sets.
class FakeWindowHost : public WindowHost {
 public:
  struct Message { uint32_t msg; uintptr_t wParam; intptr_t lParam; };

  bool exists = true;
  bool focused = false;
  std::map<int, int16_t> keyStates;
  std::deque<Message> queue;
  std::vector<Rect> invalidated;
  int invalidateAllCount = 0;
  int lockDepth = 0;
  int lockCalls = 0;
  int scrollChanges = 0;
  bool busy = false;
  int busyCalls = 0;
  bool caretExists = false;
  bool caretVisible = false;
  Point caretPos{-1000, -1000};
  CaretBitmap caretShape;
  bool timerRunning = false;
  int timerInterval = 0;
  FakeSurface measure;
  HostClient* client = nullptr;

  bool WindowExists() const override { return exists; }
  void PostMessage(uint32_t msg, uintptr_t w, intptr_t l) override { queue.push_back({msg, w, l}); }
  void Invalidate(const Rect& r, bool) override { invalidated.push_back(r); }
  void InvalidateAll() override { ++invalidateAllCount; }
  void LockUpdate(bool lock) override { lockDepth += lock ? 1 : -1; ++lockCalls; }
  void ScrollStateChanged() override { ++scrollChanges; }
  int16_t KeyState(int vk) const override {
    auto it = keyStates.find(vk);
    return it == keyStates.end() ? 0 : it->second;
  }
  bool HasFocus() const override { return focused; }
  Surface& MeasureSurface() override { return measure; }
  void SetBusyCursor(bool b) override { busy = b; ++busyCalls; }
  void CreateCaret(const CaretBitmap& shape) override { caretShape = shape; caretExists = true; caretVisible = false; }
  void DestroyCaret() override { caretExists = false; caretVisible = false; }
  void SetCaretPos(int x, int y) override { caretPos = {x, y}; }
  void ShowCaret() override { if (caretExists) caretVisible = true; }
  void HideCaret() override { caretVisible = false; }
  void StartTimer(int ms) override { timerRunning = true; timerInterval = ms; }
  void StopTimer() override { timerRunning = false; }

  void SetKeyDown(int vk, bool down) { keyStates[vk] = down ? static_cast<int16_t>(0x8000) : 0; }
  // Delivers every queued message to client (or the given one), in order;
  // returns how many were delivered.
  int Deliver(HostClient* to = nullptr);
  void ClearInvalidations() { invalidated.clear(); invalidateAllCount = 0; }
};

}  // namespace bm::testing
