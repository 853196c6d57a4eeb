// Qt key events in the editor's terms: virtual-key codes, modifier sets and
// the digits of Alt codes typed on the numeric keypad.
#pragma once
#include <QtGlobal>
#include <Qt>
#include <cstdint>

#include "platform/keys.h"

namespace bm {

// How a platform numbers its native scan codes.
enum class ScanCodes { Unknown, Evdev };  // Evdev: X11 and Wayland key codes (evdev + 8)

// The virtual-key code of a key, 0 when it has none. Digit-row and letter
// keys are named by their physical key where the scan codes are known, so
// Ctrl+Shift+1 is '1' even where Shift turns the key into "!" and Ctrl+T is
// 'T' on a Cyrillic layout; otherwise the Qt key decides, with the shifted
// symbols of the US layout taken back to their keys.
uint16_t VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode,
                      ScanCodes scanCodes);

// The numbering the running platform uses.
ScanCodes PlatformScanCodes();

ShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers);

// The digit a numeric-keypad key stands for in an Alt code (with or without
// NumLock: Insert is 0, End 1, Down 2 ... PageUp 9), or -1.
int KeypadDigit(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace bm
