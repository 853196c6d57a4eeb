// THexCalc: the base calculator. A modal four-function integer calculator in
// hexadecimal, octal, binary or decimal; its display and its stored first
// operand are number edits, so switching the base re-writes both numbers.
// Created hidden at start-up and kept until the program ends, so its state
// stays between openings.
#pragma once
#include <QDialog>
#include <array>
#include <cstdint>

#include "platform/clipboard.h"
#include "platform/dialogs.h"

class QButtonGroup;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace bm {

class TNumberEdit;

class THexCalc : public QDialog {
  Q_OBJECT
 public:
  THexCalc(Dialogs& dialogs, Clipboard& clipboard, QWidget* parent = nullptr);

  TNumberEdit& NumberEdit1() const { return *numberEdit1_; }  // the display
  TNumberEdit& NumberEdit2() const { return *numberEdit2_; }  // the first operand
  // The pending operator: "+", "-", "*", "/" or empty.
  QString PendingOperator() const;
  bool NewNumber() const { return newNumber_; }
  int ItemIndex() const;  // RadioGroup1: 0 Hex, 1 Oct, 2 Bin, 3 Dec

  // Digit d ("0".."9", "A".."F") as its button enters it.
  void DigitClick(char d);

 public slots:
  void FormCreate();
  void RadioGroup1Click();
  void Button17Click();  // +
  void Button18Click();  // -
  void Button19Click();  // *
  void Button20Click();  // /
  void Button21Click();  // reset
  void Button22Click();  // =
  void Button23Click();  // close
  void Button24Click();  // result to the clipboard
  void Button25Click();  // value from the clipboard

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void BuildControls();
  // The keyboard, seen before the focused control, which still gets the key.
  void FormKeyPress(QKeyEvent* e);
  void Operator(const char* op);
  void SetItemIndex(int index);
  QPushButton* DigitButton(char d) const;

  Dialogs& dialogs_;
  Clipboard& clipboard_;
  TNumberEdit* numberEdit1_ = nullptr;
  TNumberEdit* numberEdit2_ = nullptr;
  QLabel* panel1_ = nullptr;
  QGroupBox* radioGroup1_ = nullptr;
  QButtonGroup* radioItems_ = nullptr;
  std::array<QPushButton*, 16> digitButtons_{};  // by digit value
  bool newNumber_ = true;
};

}  // namespace bm
