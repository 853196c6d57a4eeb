#include "app/preview.h"

namespace bm {

TfmPreview::TfmPreview(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmPreview"));
  setModal(true);
}

}  // namespace bm
