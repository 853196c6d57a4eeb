// TMainForm: the two key schemes (the program's own keys, or those of most
// programs, chosen in the View menu and remembered), shortcut keys while the
// menu bar holds the keys, and Select all.
#include <QAction>
#include <QKeyEvent>
#include <QMenuBar>
#include <QShortcut>

#include "app/key_table.h"
#include "app/main_form.h"
#include "app/settings.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"

namespace bm {

void TMainForm::ApplyKeyScheme(bool standard) {
  standardKeys_ = standard;
  for (const auto& [item, openers] : itemOpeners_) {
    QList<QKeySequence> keys;
    if (const auto fromTable = TableKeys(item->objectName(), standard)) {
      keys = *fromTable;
    } else if (const auto built = builtKeys_.find(item); built != builtKeys_.end()) {
      keys.append(QKeySequence(built->second, QKeySequence::PortableText));
    }

    // The item shows its first key; the keys themselves are taken by
    // window-wide shortcuts, so that they reach the item even while it is
    // disabled (and then do nothing) instead of falling through to the editor.
    item->setShortcuts(keys);
    item->setShortcutContext(Qt::WidgetShortcut);
    std::vector<QShortcut*>& shortcuts = itemShortcuts_[item];
    for (QShortcut* old : shortcuts) delete old;
    shortcuts.clear();
    for (qsizetype i = 0; i < keys.size(); ++i) {
      auto* key = new QShortcut(keys[i], this);
      key->setObjectName(i == 0 ? QStringLiteral("%1Shortcut").arg(item->objectName())
                                : QStringLiteral("%1Shortcut%2").arg(item->objectName()).arg(i + 1));
      key->setContext(Qt::WindowShortcut);
      QAction* target = item;
      connect(key, &QShortcut::activated, this, [this, target] { DispatchShortcut(target); });
      shortcuts.push_back(key);
    }
  }
  if (standardKeys1_) standardKeys1_->setChecked(standard);
}

bool TMainForm::IsShortcutKey(const QKeySequence& key) const {
  for (const auto& [item, shortcuts] : itemShortcuts_)
    for (const QShortcut* shortcut : shortcuts)
      if (shortcut->key() == key) return true;
  return false;
}

bool TMainForm::IsKeyOf(const QAction* item, const QKeyEvent& key) {
  if (!item) return false;
  const QKeySequence pressed(key.keyCombination());
  for (const QKeySequence& own : item->shortcuts())
    if (own == pressed) return true;
  return false;
}

// A menu closed with Esc leaves the menu bar in its keyboard mode, holding the
// focus. The items' shown keys would then match there as well as the
// window's shortcuts, and Qt runs neither of two matches. A shortcut key
// pressed in that mode leaves it first: the focus goes back to the data
// before the key is looked up, so the window's shortcut alone runs. Watched
// application-wide and after ModalReturn, which may first make the window
// active and so give the menu bar the focus back.
bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride && menuBar()->hasFocus()) {
    const auto* key = static_cast<QKeyEvent*>(e);
    if (IsShortcutKey(QKeySequence(key->keyCombination())))
      byteEditor1_->setFocus(Qt::ShortcutFocusReason);
  }
  return QMainWindow::eventFilter(watched, e);
}

void TMainForm::StandardKeys1Click() {
  const bool standard = standardKeys1_->isChecked();
  ApplyKeyScheme(standard);
  settings::SetFlag(settings::kStandardKeys, standard);
}

void TMainForm::SelectAll1Click() {
  TByteEditor& ed = ByteEditor1();
  const int64_t size = ed.DataSize();
  if (size <= 0) return;
  ed.SetSelStart(0);
  ed.SetSelEnd(size - 1);
}

}  // namespace bm
