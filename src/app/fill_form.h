// FillForm: asks what "Заполнить..." writes over the selection, a repeated
// hex pattern or random bytes.
#pragma once
#include <QDialog>
#include <optional>

#include "bytetools/fill_pattern.h"
#include "platform/dialogs.h"

class QLineEdit;
class QRadioButton;

namespace bm {

class FillForm : public QDialog {
  Q_OBJECT
 public:
  // count: the size of the selection, shown to the user.
  FillForm(QWidget* parent, Dialogs& dialogs, int64_t count);
  // The fill the fields describe; none (with the reason) when the pattern is no hex.
  std::optional<FillPattern> Chosen(QString* problem = nullptr) const;

 protected:
  void accept() override;

 private:
  Dialogs& dialogs_;
  QLineEdit* pattern_ = nullptr;
  QRadioButton* repeat_ = nullptr;
  QRadioButton* random_ = nullptr;
};

}  // namespace bm
