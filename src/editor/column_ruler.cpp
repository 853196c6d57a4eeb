// Texts and positions of the column ruler over the editor's grid.
#include "editor/column_ruler.h"

#include "editor/byte_editor.h"

namespace bm {

namespace {

const char kDigits[] = "0123456789ABCDEF";

int Radix(TOffsetDisplayStyle style) {
  switch (style) {
    case odDec: return 10;
    case odOctal: return 8;
    case odHex:
    case odNone: break;
  }
  return 16;
}

}  // namespace

std::string RulerByteLabel(int index, TOffsetDisplayStyle style) {
  const int radix = Radix(style);
  const int low = index % (radix * radix);
  return {kDigits[low / radix], kDigits[low % radix]};
}

std::string RulerCharLabel(int index, TOffsetDisplayStyle style) {
  return {kDigits[index % Radix(style)]};
}

std::vector<RulerCell> ColumnRulerCells(const TByteEditor& ed) {
  std::vector<RulerCell> cells;
  const int separator = ed.SeparatorColumn();
  const int firstChar = ed.FirstCharColumn();
  const int line = ed.GridLineWidth();
  const int clientWidth = ed.ClientWidth();
  auto extent = [&](int c) { return ed.ColWidths(c) > 0 ? ed.ColWidths(c) + line : 0; };

  // The cursor's byte within its line, from whichever field it is in.
  const int cursorCol = ed.Col();
  const int cursorIndex = cursorCol >= firstChar ? cursorCol - firstChar : (cursorCol - 2) / 2;

  int x = 0;
  for (int c = 0; c < ed.FixedCols() && c < ed.ColCount(); ++c) x += extent(c);
  for (int c = ed.LeftCol(); c < ed.ColCount() && x < clientWidth; ++c) {
    const int width = ed.ColWidths(c);
    if (width > 0 && c >= 2 && c != separator) {
      RulerCell cell;
      cell.col = c;
      cell.left = x;
      cell.width = width;
      if (c >= firstChar) {
        const int index = c - firstChar;
        cell.text = RulerCharLabel(index, ed.OffsetDisplay());
        cell.current = index == cursorIndex;
      } else {
        const int index = (c - 2) / 2;
        cell.text = RulerByteLabel(index, ed.OffsetDisplay()).substr((c - 2) % 2, 1);
        cell.current = index == cursorIndex;
      }
      cells.push_back(cell);
    }
    x += extent(c);
  }
  return cells;
}

}  // namespace bm
