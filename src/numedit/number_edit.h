// TNumberEditRules: what a number edit accepts. One non-negative number in a
// chosen base, written in a single-line edit; every keystroke and clipboard
// action is tested on the text it would leave, and refused when that text
// is not a number of the base (or, with Validate, leaves MinValue..MaxValue).
//
// The rules see the edit only through the four members a concrete control
// provides (its text and its selection), so they run headless as well as on
// a toolkit's edit.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/editor_types.h"
#include "platform/clipboard.h"
#include "platform/keys.h"

namespace bm {

// Radix of each base, indexed by TEditBase.
int RadixOf(TEditBase base);

// The clipboard and key actions whose outcome is tested.
enum class NumberEditAction { Typed, Backspace, Delete, Cut, Paste, Copy };

class TNumberEditRules {
 public:
  virtual ~TNumberEditRules() = default;

  // The edit as the rules see it: its text (digits are ASCII, so a byte
  // string) and the selection, SelStart being the lower end.
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual int SelStart() const = 0;
  virtual int SelLength() const = 0;

  TEditBase NumBase() const { return numBase_; }
  int32_t MinValue() const { return minValue_; }
  int32_t MaxValue() const { return maxValue_; }
  bool Validate() const { return validate_; }
  int Radix() const { return RadixOf(numBase_); }

  // The setters re-write the text from its number, so the number stays and
  // is shown in the new base or clamped into the new range.
  void SetNumBase(TEditBase base);
  void SetMinValue(int32_t v);
  void SetMaxValue(int32_t v);
  void SetValidate(bool v);

  int32_t Value() const { return TextToValue(Text()); }
  void SetValue(int32_t v) { SetText(ValueToText(ClampValue(v))); }

  // Digits left to right in 32-bit arithmetic that wraps; only the first
  // (length mod 256) characters count, the length being kept in a byte.
  int32_t TextToValue(std::string_view text) const;
  // v >= 0 in the base, upper-case digits, no leading zeros.
  std::string ValueToText(int32_t v) const;
  int32_t ClampValue(int32_t v) const;
  // Every character a digit of the base; with Validate, the number in range.
  bool IsAcceptableText(std::string_view text) const;

  // The text an action would leave. key: the typed character; clip: the
  // clipboard text for Paste.
  std::string PredictedText(NumberEditAction action, char key = 0,
                            std::string_view clip = {}) const;

  // The typed-character test: Backspace (8) by its outcome, a digit
  // character by the text it would leave, anything else refused.
  virtual bool CanAcceptChar(char key) const;

  // The key-press stage. code: the typed character (3 Ctrl+C, 22 Ctrl+V,
  // 24 Ctrl+X, 8 Backspace, ...). Returns the character to hand on to the
  // edit, upper-cased, or 0 when it is refused.
  char KeyPress(char code, Clipboard& clipboard) const;
  // The key-down stage (Shift+Insert paste, Shift+Delete cut, Ctrl+Insert
  // copy, Delete). False: the key is refused and must not reach the edit.
  bool KeyDown(uint16_t key, ShiftState shift, Clipboard& clipboard) const;
  // The clipboard actions of a menu or a key: copy is always allowed, paste
  // needs text on the clipboard.
  bool Allows(NumberEditAction action, Clipboard& clipboard) const;

 private:
  std::string Head() const;
  std::string Tail(int k) const;  // from character k + 1 on, 1-based

  TEditBase numBase_ = ebHex;
  int32_t minValue_ = 0;
  int32_t maxValue_ = 0;
  bool validate_ = false;
};

}  // namespace bm
