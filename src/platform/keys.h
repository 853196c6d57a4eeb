// Virtual-key codes and modifier sets, in the numbering the editor's key
// tables use.
#pragma once
#include <cstdint>

namespace bm {

enum VirtualKey : uint16_t {
  VK_LBUTTON = 0x01,
  VK_RBUTTON = 0x02,
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_ESCAPE = 0x1B,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  // '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
  VK_NUMPAD0 = 0x60,
  VK_NUMPAD9 = 0x69,
  VK_F1 = 0x70,
};

// Modifier set passed with keys and mouse events.
struct ShiftState {
  bool shift = false;
  bool alt = false;
  bool ctrl = false;
  bool left = false;    // left mouse button
  bool right = false;   // right mouse button
  bool middle = false;  // middle mouse button
  bool dbl = false;     // double click

  bool operator==(const ShiftState&) const = default;
  // True when no keyboard modifier is held (mouse members are not counted).
  bool NoKeys() const { return !shift && !alt && !ctrl; }
  bool OnlyShift() const { return shift && !alt && !ctrl; }
  bool OnlyCtrl() const { return ctrl && !alt && !shift; }
  bool OnlyCtrlShift() const { return ctrl && shift && !alt; }
};

enum class MouseButton { Left, Right, Middle };

}  // namespace bm
