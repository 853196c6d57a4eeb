// EndOnSignal and CommitSessionData.
#include "app/session_end.h"

#include "app/main_form.h"
#include "editor/byte_editor.h"

namespace bm {

void EndOnSignal(TMainForm& form, int signalNumber, const std::function<void(int)>& quit) {
  TByteEditor& ed = form.ByteEditor1();
  if (ed.Modified()) {
    if (ed.KeepForRecovery()) {
      quit(128 + signalNumber);
      return;
    }
  }
  // Closing asks the save prompt, which lets an unmodified document go at
  // once; quit as well, since a modal dialog may still be open.
  if (form.close()) quit(0);
}

bool CommitSessionData(TMainForm& form, bool mayAsk) {
  // Without a box nothing is decided here: a signal that ends the program
  // afterwards keeps the work for the next start.
  if (!mayAsk) return true;
  return form.QuerySave();
}

}  // namespace bm
