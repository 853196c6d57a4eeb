// OfferRecovery: the start-up question for each abandoned working copy.
#include "app/recovery_offer.h"

#include <QCoreApplication>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "editor/byte_editor.h"
#include "platform/recovery.h"

namespace bm {

namespace {

// Says why the work is not offered and where it stays; it is not asked
// about again.
void TellWorkKept(Dialogs& dialogs, OrphanedWorkCopy& orphan) {
  const std::string& work = orphan.WorkFile();
  const std::string name = orphan.Info() ? orphan.Info()->fileName : std::string();
  dialogs.MessageBox(QCoreApplication::translate(
                         "bm::RecoveryOffer",
                         "Найдены несохранённые изменения файла %1, но после сбоя файл изменён или удалён, "
                         "поэтому восстановить их точно нельзя. Рабочие файлы оставлены в папке %2.")
                         .arg(DisplayName(name), DisplayName(work.substr(0, work.rfind('/') + 1)))
                         .toStdString(),
                     std::string(), MessageIcon::Warning, MessageButtons::Ok);
  (void)orphan.MarkDeclined();
  orphan.Release();
}

}  // namespace

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
        (orphan.HasUnsavedChanges() && !orphan.Declined() && editor.WorkIsInItsFile(orphan))) {
      orphan.Discard();
      continue;
    }
    if (restored || ended || orphan.Declined()) {
      // One document a window, or the program is ending, or the user said
      // no to it before: it waits.
      orphan.Release();
      continue;
    }
    // Work made over a file that changed since cannot be rebuilt exactly:
    // the user is told, and its files stay where they are.
    if (!unidentified && editor.CheckRecovery(orphan) == piece::RecoverProblem::BaseChanged) {
      TellWorkKept(dialogs, orphan);
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
      if (!restored && editor.RecoveryProblem() == piece::RecoverProblem::BaseChanged) TellWorkKept(dialogs, orphan);
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
