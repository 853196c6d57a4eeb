// The colour set of the editor control.
#pragma once
#include "platform/types.h"

namespace bm {

// What a colour set tells the control that owns it.
class TColorsOwner {
 public:
  virtual ~TColorsOwner() = default;
  // background: the Background colour changed (the control's own colour
  // follows it and the control repaints at once); otherwise repaint later.
  virtual void ColorsChanged(bool background) = 0;
};

Color InvertColor(Color c);

class TColors {
 public:
  explicit TColors(TColorsOwner* owner);

  Color Offset() const { return offset_; }
  Color OddColumn() const { return oddColumn_; }
  Color OddColumnInverse() const { return oddColumnInverse_; }
  Color EvenColumn() const { return evenColumn_; }
  Color EvenColumnInverse() const { return evenColumnInverse_; }
  Color PositionBackground() const { return positionBackground_; }
  Color CursorFrame() const { return cursorFrame_; }
  Color Background() const { return background_; }
  Color ChangedText() const { return changedText_; }
  Color PositionText() const { return positionText_; }
  Color ChangedBackground() const { return changedBackground_; }
  // Bytes that differ from the compared document.
  Color DiffText() const { return diffText_; }
  Color DiffBackground() const { return diffBackground_; }

  void SetOffset(Color c);
  void SetOddColumn(Color c);
  void SetEvenColumn(Color c);
  void SetPositionBackground(Color c);
  void SetCursorFrame(Color c);
  void SetBackground(Color c);
  void SetChangedText(Color c);
  void SetPositionText(Color c);
  void SetChangedBackground(Color c);
  void SetDiffText(Color c);
  void SetDiffBackground(Color c);

 private:
  void Changed(Color& field, Color value);

  Color offset_ = 0x000000;
  Color oddColumn_ = 0xFF0000;
  Color oddColumnInverse_;
  Color evenColumn_ = 0x800000;
  Color evenColumnInverse_;
  TColorsOwner* owner_;
  Color positionBackground_ = 0x000080;
  Color cursorFrame_ = 0x800000;
  Color background_ = clWindow;
  Color changedText_ = 0x000080;
  Color positionText_ = 0xFFFFFF;
  Color changedBackground_ = 0xA8FFFF;
  Color diffText_ = 0x000000;
  Color diffBackground_ = 0x90EE90;  // light green
};

}  // namespace bm
