// The column ruler above the editor's data: for each visible digit and
// character column, the text over it and its x position, worked out from the
// editor's geometry so that the ruler lines up with the cells.
#pragma once
#include <string>
#include <vector>

#include "editor/editor_types.h"

namespace bm {

class TByteEditor;

struct RulerCell {
  int col = 0;     // the grid column it stands over
  int left = 0;    // client x of the column's left edge
  int width = 0;   // the column's width
  std::string text;
  bool current = false;  // the column shows the cursor's byte
};

// The label over byte index of a line: two digits in the style of the
// offsets (hexadecimal where they are hidden), the low two where the index
// needs more.
std::string RulerByteLabel(int index, TOffsetDisplayStyle style);
// The one digit over character column index: the label's low digit.
std::string RulerCharLabel(int index, TOffsetDisplayStyle style);

// The cells of the ruler for the editor as it is scrolled and laid out now:
// each digit column carries one character of its byte's label, each
// character column its low digit; the offset, marker and separator columns
// carry none.
std::vector<RulerCell> ColumnRulerCells(const TByteEditor& editor);

}  // namespace bm
