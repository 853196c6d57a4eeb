// The toolbar glyphs and the window icon, drawn at start-up.
#pragma once
#include <QIcon>

namespace bm {

enum class ToolbarGlyph { Open, Save, Print, Find, FindNext, Undo, StepBack, StepForward };

// A 16 x 16 glyph with its normal and its disabled (grey) image.
QIcon ToolbarIcon(ToolbarGlyph glyph);

// The program's icon: hex digits on a navy tile, in several sizes.
QIcon ApplicationIcon();

}  // namespace bm
