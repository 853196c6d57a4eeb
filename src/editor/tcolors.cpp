#include "editor/tcolors.h"

namespace bm {

Color InvertColor(Color c) {
  const Color r = 255 - (c & 0xFF);
  const Color g = 255 - ((c >> 8) & 0xFF);
  const Color b = 255 - ((c >> 16) & 0xFF);
  return r | (g << 8) | (b << 16);
}

TColors::TColors(TColorsOwner* owner)
    : oddColumnInverse_(InvertColor(0xFF0000)), evenColumnInverse_(InvertColor(0x800000)), owner_(owner) {}

void TColors::Changed(Color& field, Color value) {
  if (field == value) return;
  field = value;
  if (owner_) owner_->ColorsChanged(false);
}

void TColors::SetOffset(Color c) { Changed(offset_, c); }
void TColors::SetPositionBackground(Color c) { Changed(positionBackground_, c); }
void TColors::SetCursorFrame(Color c) { Changed(cursorFrame_, c); }
void TColors::SetChangedText(Color c) { Changed(changedText_, c); }
void TColors::SetPositionText(Color c) { Changed(positionText_, c); }
void TColors::SetChangedBackground(Color c) { Changed(changedBackground_, c); }
void TColors::SetDiffText(Color c) { Changed(diffText_, c); }
void TColors::SetDiffBackground(Color c) { Changed(diffBackground_, c); }

void TColors::SetOddColumn(Color c) {
  if (c == oddColumn_) return;
  oddColumnInverse_ = InvertColor(c);
  Changed(oddColumn_, c);
}

void TColors::SetEvenColumn(Color c) {
  if (c == evenColumn_) return;
  evenColumnInverse_ = InvertColor(c);
  Changed(evenColumn_, c);
}

void TColors::SetBackground(Color c) {
  if (c == background_) return;
  background_ = c;
  if (owner_) owner_->ColorsChanged(true);
}

}  // namespace bm
