// The recovery side of TByteEditor: the record kept beside the working copy
// (whose file it is, whether it is modified), restoring an abandoned working
// copy as the document, and leaving the working copy behind on purpose.
#include "editor/byte_editor.h"

namespace bm {

// Brings the record in step with the document's name and flags. The record is created
// with the working copy's file and follows it when the working copy's name
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
  const bool unidentified = orphan.Unidentified();
  if (!orphan.HasUnsavedChanges() && !unidentified) return false;
  // Without a readable record the data becomes a new document of its own.
  const RecoveryInfo info = unidentified ? RecoveryInfo{"Untitled", true, true, {}} : *orphan.Info();

  // This editor's own working copy, if it has made one, gives way.
  CloseWorkStream();
  if (workFileCreated_) files_.DeleteFile(workFileName_);
  workFileCreated_ = false;
  recoveryRecord_.reset();

  workFileName_ = orphan.WorkFile();
  workStream_ = orphan.TakeWorkStream();
  recoveryRecord_ = orphan.TakeRecord();
  recordCurrent_ = false;
  recordFailedFor_.clear();
  workFileCreated_ = true;
  workStream_->KeepSynced();
  workStream_->Seek(0);
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

bool TByteEditor::KeepForRecovery() {
  SyncRecoveryRecord();
  if (!recoveryRecord_ || !recordCurrent_ || !workStream_) return false;
  // On disk before the program ends: the session may be ending for a
  // power-off.
  (void)workStream_->SyncNow();
  recoveryRecord_->Keep();
  recoveryRecord_.reset();
  // Closed as it is, not emptied, and no longer this editor's to remove.
  workStream_.reset();
  workFileCreated_ = false;
  readWindowStart_ = -1;
  cachedSize_ = -1;
  return true;
}

}  // namespace bm
