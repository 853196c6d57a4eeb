// The ten row markers of TByteEditor.
#include "editor/byte_editor.h"

namespace bm {

void TByteEditor::SetMarker(uint8_t index, int64_t row) {
  if (index > 9) throw EEditorError("SetMarker : Invalid marker index");
  if (markers_[index] == row) return;
  markers_[index] = row;
  if (Host()) Host()->InvalidateAll();
}

int64_t TByteEditor::GetMarker(int index) const {
  if (index < 0 || index > 9) return Row();
  const int64_t m = markers_[static_cast<size_t>(index)];
  return m == -1 ? Row() : m;
}

int TByteEditor::FindMarker(int64_t row) const {
  for (int i = 0; i < 10; ++i)
    if (markers_[static_cast<size_t>(i)] == row) return i;
  return -1;
}

}  // namespace bm
