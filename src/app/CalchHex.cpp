#include "app/CalchHex.h"

namespace bm {

THexCalc::THexCalc(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("HexCalc"));
  setModal(true);
}

}  // namespace bm
