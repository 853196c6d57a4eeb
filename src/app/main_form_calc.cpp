// TMainForm: the calculator command.
#include "app/CalchHex.h"
#include "app/main_form.h"
#include "app/number_edit_control.h"

namespace bm {

// The calculator opens on the value it showed when it was last closed, and
// keeps the display's value however it is closed.
void TMainForm::N8Click() {
  if (!hexCalc_) return;
  hexCalc_->NumberEdit1().SetValue(calcValue_);
  hexCalc_->exec();
  calcValue_ = hexCalc_->NumberEdit1().Value();
  // Without a window manager nobody gives the keyboard back to this window.
  activateWindow();
}

}  // namespace bm
