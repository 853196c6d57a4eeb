#include "app/AboutBox.h"

namespace bm {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutForm"));
  setModal(true);
}

}  // namespace bm
