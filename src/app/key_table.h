// The keys of the menu items in the program's two key schemes: its own
// (classic) keys, and those of most desktop programs (Ctrl+O, Ctrl+S, ...).
// One row an item; an item without a row keeps the key it was built with.
#pragma once
#include <QKeySequence>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

namespace bm {

struct ItemKeys {
  const char* item;  // object name of the menu item
  // Keys in Qt's portable text; the first of each list is the one the menu shows.
  std::vector<const char*> classic;
  std::vector<const char*> standard;
};

const std::vector<ItemKeys>& KeyTable();

// The keys of item in the chosen scheme; none when the table has no row for it.
std::optional<QList<QKeySequence>> TableKeys(const QString& item, bool standard);

}  // namespace bm
