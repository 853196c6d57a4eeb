// TNumberEdit: a QLineEdit holding one number in a chosen base. Every key,
// clipboard action and context-menu command is tested by TNumberEditRules
// before the edit sees it; the clipboard is the program's own (Windows-1251
// text), not Qt's. Focus entry selects the text (AutoSelect), focus exit
// re-writes it from its number.
#pragma once
#include <QLineEdit>

class QMenu;

#include "numedit/number_edit.h"
#include "platform/clipboard.h"

namespace bm {

class TNumberEdit : public QLineEdit, public TNumberEditRules {
  Q_OBJECT
 public:
  TNumberEdit(Clipboard& clipboard, QWidget* parent = nullptr);

  std::string Text() const override;
  void SetText(const std::string& text) override;
  int SelStart() const override;
  int SelLength() const override;

  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool on) { autoSelect_ = on; }

  // The clipboard commands, tested first; each does nothing when refused.
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void DeleteSelected();

  // The edit's context menu: the clipboard commands, each enabled only when
  // its test passes, and Select all. There is no Undo, which could bring
  // back a text the base no longer accepts.
  QMenu* CreateContextMenu();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  // Lets the edit handle a key the rules have no test for, and undoes it
  // when the text it leaves is not acceptable (word and line deletions).
  void BaseKeyChecked(QKeyEvent* e);

  Clipboard& clipboard_;
  bool autoSelect_ = true;
};

}  // namespace bm
