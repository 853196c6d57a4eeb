// Recovery after a crash: the record kept beside each working copy (the file
// it was loaded from and whether the document is modified), and the search
// for the working copies that no running editor holds any more.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace bm {

// What a working copy's record says about its document. readOnly keeps a
// document opened read-only from being saved over its file once restored.
struct RecoveryInfo {
  std::string fileName;
  bool modified = false;
  bool readOnly = false;
  // The file as it was when loaded or last saved, so that a restored
  // document is not saved over a file another program changed meanwhile.
  FileIdentity file{};
  // The user declined to open a working copy nothing was known of: it is
  // kept, but not offered again.
  bool declined = false;
  bool operator==(const RecoveryInfo&) const = default;
};

// The record's bytes: a header line, the two flags, the file's identity, the name's length in
// bytes and the name itself. A name may hold any byte; bytes after the name
// are ignored, so a shorter rewrite needs no second step to be readable.
std::string EncodeRecoveryRecord(const RecoveryInfo& info);
std::optional<RecoveryInfo> DecodeRecoveryRecord(const std::string& bytes);

// The record's path for a working copy: the working copy's path + ".rec".
std::string RecoveryRecordPath(const std::string& workFile);
// The files that go with a working copy that is a store of added bytes:
// the journal of its changes and the private clone of the file it changes.
inline std::string WorkJournalPath(const std::string& workFile) { return workFile + ".jnl"; }
inline std::string WorkClonePath(const std::string& workFile) { return workFile + ".base"; }

// A record its editor keeps open and locked for as long as it lives, so that
// a lock that can be taken means the editor is gone. Removed when it is
// destroyed, unless Keep was called.
class RecoveryRecord {
 public:
  virtual ~RecoveryRecord() = default;
  virtual const std::string& Path() const = 0;
  // Replaces the record's contents; false when they could not be written.
  virtual bool Write(const RecoveryInfo& info) = 0;
  // Closes the record but leaves the file for the next start.
  virtual void Keep() = 0;
};

// Creates the record of workFile as a new owner-only file (never following a
// link or reusing a file already there) and locks it. Null when it cannot.
std::unique_ptr<RecoveryRecord> CreateRecoveryRecord(const std::string& workFile);

// A working copy left behind by an editor that no longer runs, found by
// FindOrphanedWorkCopies. Its working copy and record stay locked while this
// object holds them, so no other editor starting at the same time takes it.
class OrphanedWorkCopy {
 public:
  OrphanedWorkCopy(std::string workFile, std::unique_ptr<FileStream> workStream,
                   std::unique_ptr<RecoveryRecord> record, std::optional<RecoveryInfo> info);
  OrphanedWorkCopy(OrphanedWorkCopy&&) noexcept;
  OrphanedWorkCopy& operator=(OrphanedWorkCopy&&) = delete;
  ~OrphanedWorkCopy();

  const std::string& WorkFile() const { return workFile_; }
  // The record's contents; none when there was no readable record.
  const std::optional<RecoveryInfo>& Info() const { return info_; }
  // A working copy with unsaved changes, worth offering to the user.
  bool HasUnsavedChanges() const { return workStream_ && info_ && info_->modified; }
  // A working copy holding data whose record is missing or cannot be read:
  // nothing tells whose it is, but it may be the only copy of some work.
  bool Unidentified() const;
  // The working copy holds exactly what the file its record names holds now
  // (its save went through before the record could say so). Never for a
  // store with a journal: its bytes alone are not the document.
  bool MatchesItsFile() const;

  // Removes the working copy, its journal and clone, and its record.
  void Discard();
  // Notes in its record (made when there was none) that the user declined
  // it, so later starts keep it without asking; false when that failed.
  bool MarkDeclined();
  bool Declined() const { return info_ && info_->declined; }
  // Unlocks both and leaves them for a later start.
  void Release();
  // Hands the locked working copy and record over to a new owner.
  std::unique_ptr<FileStream> TakeWorkStream() { return std::move(workStream_); }
  std::unique_ptr<RecoveryRecord> TakeRecord() { return std::move(record_); }

 private:
  std::string workFile_;
  std::unique_ptr<FileStream> workStream_;
  std::unique_ptr<RecoveryRecord> record_;
  std::optional<RecoveryInfo> info_;
};

// The working copies in directory that belong to this user and that no
// running editor holds, the least recently changed first. Each comes locked.
// Names that are links, files of another user, records that are not a plain
// owner-only file, and copies still locked by a running editor are left alone.
// Records whose working copy is gone come back without a working copy, and
// working copies without a readable record come back without Info.
std::vector<OrphanedWorkCopy> FindOrphanedWorkCopies(const std::string& directory);

}  // namespace bm
