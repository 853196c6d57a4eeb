// The Find dialog: the text or hex codes to look for, the kind of search and
// the case option. Created hidden at start-up and reused, so it keeps its
// text, mode and check box between showings.
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

class TFindForm : public QDialog {
  Q_OBJECT
 public:
  explicit TFindForm(QWidget* parent = nullptr);

  // Selects the whole text of Edit1 and shows the dialog modally; true when
  // it was closed with OK.
  bool ShowModal();

  // The chosen item of RadioGroup1: 0 text ("Строка"), 1 codes ("Код").
  int RadioGroup1ItemIndex() const;
  void SetRadioGroup1ItemIndex(int index);
  // The text of Edit1 as bytes of the ANSI code page (Windows-1251); a
  // character that has no byte there becomes "?".
  std::string Edit1Text() const;
  // Shows "Найдено: count" in Label1.
  void ShowCount(int64_t count);

  // Run by "Найти все" (Button3) while the dialog stays open.
  std::function<void()> OnFindAll;

  QLineEdit* Edit1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QGroupBox* RadioGroup1 = nullptr;
  QRadioButton* RadioGroup1Items[2] = {nullptr, nullptr};
  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QPushButton* Button3 = nullptr;  // "Найти все": counts the matches
  QLabel* Label1 = nullptr;        // the count

 public slots:
  void FormActivate();
  void RadioGroup1Click();

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  // Escape closes the dialog as Cancel does.
  void FormKeyPress(QKeyEvent* e);
};

}  // namespace bm
