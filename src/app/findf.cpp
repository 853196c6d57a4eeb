#include "app/findf.h"

namespace bm {

TFindForm::TFindForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FindForm"));
  setModal(true);
}

}  // namespace bm
