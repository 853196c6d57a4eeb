// The Replace dialog: what to find (text or hex codes, with the case
// option), what to put instead (text or hex codes), and the buttons that
// find, replace one, replace all and count while the dialog stays open.
// Created on first use and reused, so it keeps its last state.
#pragma once
#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace bm {

class TReplaceForm : public QDialog {
  Q_OBJECT
 public:
  explicit TReplaceForm(QWidget* parent = nullptr);

  // Shows the dialog modally until "Закрыть" or Escape.
  void ShowModal();

  // 0 text ("Строка"), 1 hex codes ("Код"), of what to find and of the
  // replacement.
  int FindMode() const;
  void SetFindMode(int mode);
  int ReplaceMode() const;
  void SetReplaceMode(int mode);
  bool CaseSensitive() const;
  // The texts as bytes of the ANSI code page ("?" for a character without one).
  std::string FindText() const;
  std::string ReplaceText() const;
  // A line under the fields: "Найдено: N", "Заменено: N" and the like.
  void ShowStatus(const QString& text);

  // The commands, run while the dialog stays open.
  std::function<void()> OnFindNext, OnReplace, OnReplaceAll, OnFindAll;

  QLineEdit* Edit1 = nullptr;  // what to find
  QLineEdit* Edit2 = nullptr;  // the replacement
  QRadioButton* FindItems[2] = {nullptr, nullptr};
  QRadioButton* ReplaceItems[2] = {nullptr, nullptr};
  QCheckBox* CheckBox1 = nullptr;
  QPushButton* FindNextButton = nullptr;
  QPushButton* ReplaceButton = nullptr;
  QPushButton* ReplaceAllButton = nullptr;
  QPushButton* FindAllButton = nullptr;
  QPushButton* CloseButton = nullptr;
  QLabel* StatusLabel = nullptr;

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void ModeChanged();
};

}  // namespace bm
