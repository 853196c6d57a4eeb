// The value inspector: a dock beside the data that shows what the bytes at
// the cursor mean (inspect/value_codec.h does the decoding) and writes a
// value typed into one of its fields back at the cursor as one change.
#pragma once
#include <QDockWidget>
#include <array>
#include <functional>
#include <string>

#include "inspect/value_codec.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;

namespace bm {

class EditorWidget;
class TByteEditor;

class ValueInspector : public QDockWidget {
  Q_OBJECT
 public:
  ValueInspector(EditorWidget& editor, QWidget* parent);

  // Re-reads the bytes at the cursor; does nothing when they, the byte
  // order, the character set and whether edits are allowed are unchanged.
  void Refresh();
  inspect::ByteOrder Order() const;
  void SetOrder(inspect::ByteOrder order);

  QLineEdit* Field(inspect::Row row) const { return fields_[static_cast<size_t>(row)]; }
  // The reason the last text typed into the row was refused; empty if none.
  QString Reason(inspect::Row row) const;
  // The row's value as the field showed it before the user typed.
  QString Shown(inspect::Row row) const;

  // Puts the keyboard focus in the unsigned 8-bit row.
  void FocusFirstValue();
  // Enter in the row's field: writes the value, moves the cursor for the
  // offset row, or shows why the text is refused. True when something was
  // done.
  bool Commit(inspect::Row row);
  // Esc: the row shows its value again and the focus goes back to the data.
  void Revert(inspect::Row row);

  // Told when writing the bytes fails (the working copy's disk, say).
  std::function<void(const std::string&)> OnError;
  // Told when the user closes the dock with its own button.
  std::function<void()> OnClosed;
  // Whether a key pressed in a field belongs to the document (its Undo and
  // Redo keys): the window's shortcut takes it instead of the field.
  std::function<bool(const QKeyEvent&)> IsDocumentKey;

 protected:
  void closeEvent(QCloseEvent* e) override;
  // A language switch renames the byte orders and shows the values anew.
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  TByteEditor& Editor() const;
  // Edits are refused in a document opened read-only.
  bool Editable() const;
  void ShowReason(inspect::Row row, const QString& reason);
  inspect::CharSet Chars() const;

  // What the shown values were made from.
  struct Snapshot {
    int64_t position = -1;
    inspect::CursorBytes at;
    int order = 0, translation = 0;
    char maskChar = 0;
    bool maskWhiteSpaces = false, editable = false;
    bool operator==(const Snapshot& o) const;
  };

  EditorWidget& editor_;
  QComboBox* order_ = nullptr;
  std::array<QLineEdit*, inspect::kRowCount> fields_{};
  std::array<QLabel*, inspect::kRowCount> reasons_{};
  std::array<QString, inspect::kRowCount> shown_{};
  Snapshot last_;
  bool haveSnapshot_ = false;
};

}  // namespace bm
