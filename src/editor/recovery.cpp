// The recovery side of TByteEditor: the record kept beside the document's
// store (whose file it is, whether it is modified), rebuilding the work an
// editor left behind as the document, and leaving the work behind on purpose.
#include "editor/byte_editor.h"

namespace bm {

// Brings the record in step with the document's name and flags. The record is created
// with the store's file and follows it when the store's name
// changes; a record that cannot be created is not tried again for that name.
void TByteEditor::NoteRecoveryState(const std::string& name, bool modified, bool readOnly) {
  if (!workFileCreated_) return;
  const std::string path = RecoveryRecordPath(workFileName_);
  if (!recoveryRecord_ || recoveryRecord_->Path() != path) {
    if (recordFailedFor_ == path) return;
    // The record of an earlier name goes when the new one is in place.
    recoveryRecord_ = CreateRecoveryRecord(workFileName_);
    recordCurrent_ = false;
    if (!recoveryRecord_) {
      recordFailedFor_ = path;
      recoveryOffNotice_ = true;
      return;
    }
  }
  const RecoveryInfo info{name, modified, readOnly, fileIdentity_};
  if (recordCurrent_ && info == recorded_) return;
  recorded_ = info;
  recordCurrent_ = recoveryRecord_->Write(info);
}

bool TByteEditor::RecoverWorkingCopy(OrphanedWorkCopy& orphan) {
  recoveryProblem_ = piece::RecoverProblem::None;
  const bool unidentified = orphan.Unidentified();
  if (!orphan.HasUnsavedChanges() && !unidentified) return false;
  // Without a readable record the data becomes a new document of its own.
  const RecoveryInfo info = unidentified ? RecoveryInfo{"Untitled", true, true, {}} : *orphan.Info();

  // The store and its journal are replayed over the file the work was done
  // over; when that file is not the same any more the work is left as it is.
  std::unique_ptr<FileStream> store = orphan.TakeWorkStream();
  if (!store) return false;
  piece::RecoverProblem problem = piece::RecoverProblem::None;
  std::unique_ptr<piece::PieceDocument> doc;
  try {
    doc = piece::PieceDocument::Recover(files_, store, orphan.WorkFile(),
                                        unidentified ? std::string() : info.fileName, problem);
  } catch (const FileError&) {
    problem = piece::RecoverProblem::Failed;
  }
  if (!doc) {
    recoveryProblem_ = problem;
    return false;
  }

  // This editor's own document, if it has one, gives way.
  CloseWorkStream();
  if (workFileCreated_) files_.DeleteFile(workFileName_);
  workFileCreated_ = false;
  recoveryRecord_.reset();

  TakeDocument(std::move(doc), orphan.WorkFile());
  recoveryRecord_ = orphan.TakeRecord();
  recordCurrent_ = false;
  recordFailedFor_.clear();
  fileName_ = info.fileName;
  acceptedIdentity_.reset();
  // A save then asks first when another program changed the file meanwhile.
  fileIdentity_ = info.file;
  // Saving goes back to the file when it can still be written and was not
  // opened read-only; otherwise it asks for a name.
  bool probedReadOnly = true;
  readOnly_ = unidentified || !ProbeFile(fileName_, probedReadOnly) || probedReadOnly || info.readOnly;

  ClearUndo();
  changeMarks_.clear();
  ++contentGeneration_;
  UpdateGridSize();
  modified_ = true;
  ClearSelection(false);
  MoveCurrent(2, 0, true);
  SyncRecoveryRecord();
  return true;
}

piece::RecoverProblem TByteEditor::CheckRecovery(const OrphanedWorkCopy& orphan) {
  const std::string name = orphan.Info() ? orphan.Info()->fileName : std::string();
  try {
    const piece::RecoverProblem problem = piece::PieceDocument::CheckRecovery(files_, orphan.WorkFile(), name);
    return problem == piece::RecoverProblem::NoJournal ? piece::RecoverProblem::None : problem;
  } catch (const FileError&) {
    return piece::RecoverProblem::Failed;
  }
}

bool TByteEditor::WorkIsInItsFile(const OrphanedWorkCopy& orphan) {
  if (orphan.MatchesItsFile()) return true;
  if (!orphan.Info()) return false;
  try {
    return piece::PieceDocument::WorkMatchesFile(files_, orphan.WorkFile(), orphan.Info()->fileName);
  } catch (const FileError&) {
    return false;
  }
}

bool TByteEditor::KeepForRecovery() {
  SyncRecoveryRecord();
  if (!recoveryRecord_ || !recordCurrent_ || !doc_) return false;
  // On disk before the program ends: the session may be ending for a
  // power-off.
  (void)doc_->SyncNow();
  recoveryRecord_->Keep();
  recoveryRecord_.reset();
  // Closed as they are, not removed, and no longer this editor's to remove.
  doc_->KeepFiles();
  doc_.reset();
  workFileCreated_ = false;
  readWindowStart_ = -1;
  return true;
}

}  // namespace bm
