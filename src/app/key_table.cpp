// The key table of the menu items (see key_table.h).
#include "app/key_table.h"

namespace bm {

const std::vector<ItemKeys>& KeyTable() {
  // Where a key of most programs takes a classic key (F3, Ctrl+S, Ctrl+V,
  // Ctrl+Q, Ctrl+A), the item that had it goes without; the other classic
  // keys stay in force beside the standard ones. Esc no longer exits then.
  static const std::vector<ItemKeys> kTable = {
      {"Neu1", {"Shift+Ctrl+F3"}, {"Ctrl+N", "Shift+Ctrl+F3"}},
      {"ffnen1", {"F3"}, {"Ctrl+O"}},
      {"Speichern1", {"F2"}, {"Ctrl+S", "F2"}},
      {"Speichernunter1", {"Shift+Ctrl+F2"}, {"Ctrl+Shift+S", "Shift+Ctrl+F2"}},
      {"Compare1", {"Ctrl+K"}, {"Ctrl+K"}},
      {"N9", {"Ctrl+Q"}, {}},
      {"Printsetup1", {"Ctrl+S"}, {}},
      {"Print1", {"Ctrl+P"}, {"Ctrl+P"}},
      {"Printpreview1", {"Ctrl+V"}, {}},
      {"Beenden1", {"Esc"}, {"Ctrl+Q"}},
      {"Rckgngig1", {"Alt+Backspace", "Ctrl+Z"}, {"Ctrl+Z", "Alt+Backspace"}},
      {"Redo1", {"Ctrl+Y", "Shift+Alt+Backspace"}, {"Ctrl+Y", "Ctrl+Shift+Z", "Shift+Alt+Backspace"}},
      {"Ausschneiden1", {"Shift+Del"}, {"Ctrl+X", "Shift+Del"}},
      {"Kopieren1", {"Ctrl+Ins"}, {"Ctrl+C", "Ctrl+Ins"}},
      {"Einfgen1", {"Shift+Ins"}, {"Ctrl+V", "Shift+Ins"}},
      {"SelectAll1", {}, {"Ctrl+A"}},
      {"Goto1", {"Ctrl+A"}, {"Ctrl+G"}},
      {"Jumpforward1", {"F4"}, {"F4"}},
      {"Jumpbackward1", {"F5"}, {"F5"}},
      {"Find1", {"F7"}, {"Ctrl+F", "F7"}},
      {"FindNext1", {"F8"}, {"F3", "F8"}},
      {"FindPrev1", {"Shift+F8"}, {"Shift+F3", "Shift+F8"}},
      {"Replace1", {"Ctrl+R"}, {"Ctrl+H", "Ctrl+R"}},
      {"NextDiff1", {"F11"}, {"F11"}},
      {"PrevDiff1", {"Shift+F11"}, {"Shift+F11"}},
      {"N8", {"F6"}, {"F6"}},
      {"PasteHex1", {"Ctrl+Shift+V"}, {"Ctrl+Shift+V"}},
      {"Checksums1", {"Ctrl+M"}, {"Ctrl+M"}},
      {"ValueInspector1", {"F9"}, {"F9"}},
      {"AllowInsert1", {}, {}},
      {"Info1", {"F1"}, {"F1"}},
  };
  return kTable;
}

std::optional<QList<QKeySequence>> TableKeys(const QString& item, bool standard) {
  for (const ItemKeys& row : KeyTable()) {
    if (item != QLatin1String(row.item)) continue;
    QList<QKeySequence> keys;
    for (const char* key : standard ? row.standard : row.classic)
      keys.append(QKeySequence(QString::fromLatin1(key), QKeySequence::PortableText));
    return keys;
  }
  return std::nullopt;
}

}  // namespace bm
