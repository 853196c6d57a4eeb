// OfferRecovery: the start-up question for each abandoned working copy.
#include "app/recovery_offer.h"

#include <string>
#include <vector>

#include "app/main_form.h"
#include "editor/byte_editor.h"
#include "platform/recovery.h"

namespace bm {

bool OfferRecovery(TByteEditor& editor, Dialogs& dialogs, const std::function<bool()>& ending) {
  std::string problem;
  const std::string directory = editor.Files().WorkDirectory(problem);
  // A folder that is not this user's own is never searched.
  if (!problem.empty()) return false;
  std::vector<OrphanedWorkCopy> orphans = FindOrphanedWorkCopies(directory);
  bool restored = false;
  bool ended = false;
  for (OrphanedWorkCopy& orphan : orphans) {
    const bool unidentified = orphan.Unidentified();
    // Nothing to lose: no changes, or changes that were saved before the
    // record could say so.
    if ((!orphan.HasUnsavedChanges() && !unidentified) ||
        (orphan.HasUnsavedChanges() && orphan.MatchesItsFile())) {
      orphan.Discard();
      continue;
    }
    if (restored || ended) {
      // One document a window, or the program is ending: the rest wait for
      // the next start.
      orphan.Release();
      continue;
    }
    const std::string text =
        unidentified ? std::string("Найден рабочий файл без сведений о документе. Открыть как новый документ?")
                     : "Найдены несохранённые изменения файла " +
                           DisplayName(orphan.Info()->fileName).toStdString() + ". Восстановить?";
    const MessageResult answer =
        dialogs.MessageBox(text, std::string(), MessageIcon::Question, MessageButtons::YesNo);
    // A termination signal closes the window while the box is open, and the
    // box then reports an answer without the user having chosen: keep the work.
    if (ending && ending()) {
      ended = true;
      orphan.Release();
      continue;
    }
    if (answer == MessageResult::Yes) restored = editor.RecoverWorkingCopy(orphan);
    // Only a refusal of known work removes it; Esc or the close button, and
    // any answer about a copy nothing is known of, keep it for the next start.
    else if (answer == MessageResult::No && !unidentified) orphan.Discard();
    else orphan.Release();
  }
  return restored;
}

}  // namespace bm
