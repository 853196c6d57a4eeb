// OfferRecovery: the start-up question for each abandoned working copy.
#include "app/recovery_offer.h"

#include <string>
#include <vector>

#include "app/main_form.h"
#include "editor/byte_editor.h"
#include "platform/recovery.h"

namespace bm {

bool OfferRecovery(TByteEditor& editor, Dialogs& dialogs, const std::function<bool()>& ending) {
  const std::string& work = editor.WorkFileName();
  const std::string directory = work.substr(0, work.rfind('/') + 1);
  std::vector<OrphanedWorkCopy> orphans = FindOrphanedWorkCopies(directory);
  bool restored = false;
  bool ended = false;
  for (OrphanedWorkCopy& orphan : orphans) {
    if (!orphan.HasUnsavedChanges()) {
      orphan.Discard();
      continue;
    }
    if (restored || ended) {
      // One document a window, or the program is ending: the rest wait for
      // the next start.
      orphan.Release();
      continue;
    }
    const std::string name = DisplayName(orphan.Info()->fileName).toStdString();
    const MessageResult answer =
        dialogs.MessageBox("Найдены несохранённые изменения файла " + name + ". Восстановить?",
                           std::string(), MessageIcon::Question, MessageButtons::YesNo);
    // A termination signal closes the window while the box is open, and the
    // box then reports "Нет" without the user having chosen: keep the work.
    if (ending && ending()) {
      ended = true;
      orphan.Release();
      continue;
    }
    if (answer == MessageResult::Yes) restored = editor.RecoverWorkingCopy(orphan);
    else orphan.Discard();
  }
  return restored;
}

}  // namespace bm
