#include "platform/qt/qt_keys.h"

#include <QGuiApplication>

namespace bm {

namespace {

// Virtual-key codes beyond the ones the editor names.
constexpr uint16_t kVkClear = 0x0C, kVkPause = 0x13, kVkCapital = 0x14, kVkSpace = 0x20,
                   kVkSnapshot = 0x2C, kVkLWin = 0x5B, kVkApps = 0x5D, kVkMultiply = 0x6A,
                   kVkAdd = 0x6B, kVkSubtract = 0x6D, kVkDecimal = 0x6E, kVkDivide = 0x6F,
                   kVkNumLock = 0x90, kVkScroll = 0x91;

// Evdev key codes + 8 of the digit row (1..9, 0) and of the letters.
int EvdevDigit(quint32 code) {
  if (code >= 10 && code <= 18) return static_cast<int>(code - 10) + 1;
  if (code == 19) return 0;
  return -1;
}

char EvdevLetter(quint32 code) {
  static const char kRow1[] = "QWERTYUIOP";  // 24..33
  static const char kRow2[] = "ASDFGHJKL";   // 38..46
  static const char kRow3[] = "ZXCVBNM";     // 52..58
  if (code >= 24 && code <= 33) return kRow1[code - 24];
  if (code >= 38 && code <= 46) return kRow2[code - 38];
  if (code >= 52 && code <= 58) return kRow3[code - 52];
  return 0;
}

// The US layout's punctuation keys (both levels) and shifted digits.
uint16_t UsSymbolKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Equal: case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period: case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash: case Qt::Key_Question: return 0xBF;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 0xDE;
    default: return 0;
  }
}

}  // namespace

ScanCodes PlatformScanCodes() {
  const QString name = QGuiApplication::platformName();
  return name == "xcb" || name.startsWith("wayland") ? ScanCodes::Evdev : ScanCodes::Unknown;
}

uint16_t VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode,
                      ScanCodes scanCodes) {
  const bool keypad = modifiers & Qt::KeypadModifier;
  if (keypad) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return VK_NUMPAD0 + (qtKey - Qt::Key_0);
    switch (qtKey) {
      case Qt::Key_Asterisk: return kVkMultiply;
      case Qt::Key_Plus: return kVkAdd;
      case Qt::Key_Minus: return kVkSubtract;
      case Qt::Key_Period: case Qt::Key_Comma: return kVkDecimal;
      case Qt::Key_Slash: return kVkDivide;
      default: break;  // navigation keys of the keypad map as the main ones
    }
  }
  switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Meta: return kVkLWin;
    case Qt::Key_Menu: return kVkApps;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return kVkSpace;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Clear: return kVkClear;
    case Qt::Key_Pause: return kVkPause;
    case Qt::Key_CapsLock: return kVkCapital;
    case Qt::Key_Print: return kVkSnapshot;
    case Qt::Key_NumLock: return kVkNumLock;
    case Qt::Key_ScrollLock: return kVkScroll;
    default: break;
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + (qtKey - Qt::Key_F1);
  if (scanCodes == ScanCodes::Evdev) {
    const int digit = EvdevDigit(nativeScanCode);
    if (digit >= 0) return static_cast<uint16_t>('0' + digit);
  }
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<uint16_t>('0' + (qtKey - Qt::Key_0));
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<uint16_t>('A' + (qtKey - Qt::Key_A));
  if (scanCodes == ScanCodes::Evdev) {
    if (const char letter = EvdevLetter(nativeScanCode)) return static_cast<uint16_t>(letter);
  }
  return UsSymbolKey(qtKey);
}

ShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers) {
  ShiftState s;
  s.shift = modifiers & Qt::ShiftModifier;
  s.ctrl = modifiers & Qt::ControlModifier;
  s.alt = modifiers & Qt::AltModifier;
  return s;
}

int KeypadDigit(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (!(modifiers & Qt::KeypadModifier)) return -1;
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey - Qt::Key_0;
  switch (qtKey) {
    case Qt::Key_Insert: return 0;
    case Qt::Key_End: return 1;
    case Qt::Key_Down: return 2;
    case Qt::Key_PageDown: return 3;
    case Qt::Key_Left: return 4;
    case Qt::Key_Clear: return 5;
    case Qt::Key_Right: return 6;
    case Qt::Key_Home: return 7;
    case Qt::Key_Up: return 8;
    case Qt::Key_PageUp: return 9;
    default: return -1;
  }
}

}  // namespace bm
