// TByteEditor: telling those who refer to the editor that it is going away.
#include <algorithm>

#include "editor/byte_editor.h"

namespace bm {

void TByteEditor::AddFreeNotification(const void* key, std::function<void()> onFree) {
  RemoveFreeNotification(key);
  freeNotifications_.emplace_back(key, std::move(onFree));
}

void TByteEditor::RemoveFreeNotification(const void* key) {
  std::erase_if(freeNotifications_, [key](const auto& entry) { return entry.first == key; });
}

}  // namespace bm
