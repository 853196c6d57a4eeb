// The base calculator. Created hidden at start-up and kept until the program ends; its
// contents are still to come, the window exists so that start-up creates the
// program's windows in their order.
#pragma once
#include <QDialog>

namespace bm {

class THexCalc : public QDialog {
  Q_OBJECT
 public:
  explicit THexCalc(QWidget* parent = nullptr);
};

}  // namespace bm
