// The face of the Find and Replace dialogs.
#pragma once
#include <QFont>

#include "platform/qt/qt_surface.h"

namespace bm {

// "MS Sans Serif" for the dialog; the bold "System" face of the buttons and
// the groups has no counterpart here, so it is the same face in bold.
inline QFont DialogFont(int pixels, bool bold) {
  QFont font(ResolveFontFamily("MS Sans Serif"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace bm
