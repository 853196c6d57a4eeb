// OfferRecovery: the start-up question for each abandoned working copy.
#include "app/recovery_offer.h"

#include <QCoreApplication>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "editor/byte_editor.h"
#include "platform/recovery.h"

namespace bm {

bool OfferRecovery(TByteEditor& editor, Dialogs& dialogs, const std::function<bool()>& ending) {
  // Only folders of this user's own are searched: the one in use and the
  // other place, where earlier starts may have left work.
  std::vector<OrphanedWorkCopy> orphans;
  for (const std::string& directory : editor.Files().RecoveryDirectories())
    for (OrphanedWorkCopy& orphan : FindOrphanedWorkCopies(directory)) orphans.push_back(std::move(orphan));
  bool restored = false;
  bool ended = false;
  for (OrphanedWorkCopy& orphan : orphans) {
    // What a save of the document cut short left beside its file goes now.
    if (orphan.Info() && !orphan.Declined() && orphan.Info()->fileName.starts_with('/'))
      editor.Files().RemoveSaveLeftovers(orphan.Info()->fileName);
    const bool unidentified = orphan.Unidentified();
    // Nothing to lose: no changes, or changes that were saved before the
    // record could say so.
    if ((!orphan.HasUnsavedChanges() && !unidentified) ||
        (orphan.HasUnsavedChanges() && !orphan.Declined() && orphan.MatchesItsFile())) {
      orphan.Discard();
      continue;
    }
    if (restored || ended || orphan.Declined()) {
      // One document a window, or the program is ending, or the user said
      // no to it before: it waits.
      orphan.Release();
      continue;
    }
    const std::string text =
        unidentified
            ? QCoreApplication::translate(
                  "bm::RecoveryOffer",
                  "Найден рабочий файл без сведений о документе. Открыть как новый документ?")
                  .toStdString()
            : QCoreApplication::translate("bm::RecoveryOffer",
                                          "Найдены несохранённые изменения файла %1. Восстановить?")
                  .arg(DisplayName(orphan.Info()->fileName))
                  .toStdString();
    const MessageResult answer =
        dialogs.MessageBox(text, std::string(), MessageIcon::Question, MessageButtons::YesNo);
    // A termination signal closes the window while the box is open, and the
    // box then reports an answer without the user having chosen: keep the work.
    if (ending && ending()) {
      ended = true;
      orphan.Release();
      continue;
    }
    if (answer == MessageResult::Yes) {
      restored = editor.RecoverWorkingCopy(orphan);
    } else if (answer == MessageResult::No && !unidentified) {
      // Only a refusal of known work removes it.
      orphan.Discard();
    } else {
      // A copy nothing is known of is kept whatever the answer; a refusal
      // is remembered so that it is not asked about at every start.
      if (answer == MessageResult::No) (void)orphan.MarkDeclined();
      orphan.Release();
    }
  }
  return restored;
}

}  // namespace bm
