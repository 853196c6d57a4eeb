// The document side of TByteEditor: its pieces, loading and saving, the
// read window and the state-changed notification.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>

#include "editor/busy_cursor.h"
#include "editor/byte_editor.h"

namespace bm {

namespace {

constexpr int kWorkNameAttempts = 4096;

// A store's name nobody can tell in advance: another user can
// neither claim it nor plant something under it ahead of us.
std::string RandomName(FileSystem& files, const std::string& dir) {
  return dir + IntToHex(files.RandomNumber(), 8) + ".XBTM";
}

std::string FolderOf(const std::string& workFile) { return workFile.substr(0, workFile.rfind('/') + 1); }

// The line that tells the user the temporary folder failed, and why.
std::string TempFolderError(const std::string& workFile, int reason, const std::string& problem) {
  std::string line = "Temporary folder " + FolderOf(workFile) + ": ";
  if (!problem.empty()) return line + problem;
  return line + (reason != 0 ? std::strerror(reason) : "the working copy cannot be made there");
}

// Why a save failed, for the line under "Cannot save file".
std::string SaveReason(int error) {
  switch (error) {
    case EINVAL: return "not a regular file";
    case ESTALE: return "the file was changed or replaced meanwhile";
    default: return std::strerror(error != 0 ? error : EIO);
  }
}

}  // namespace

std::string TByteEditor::MakeWorkFileName() {
  std::string problem;
  std::string dir = files_.WorkDirectory(problem);
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!dir.empty() && blank(dir.back())) dir.pop_back();
  dir.erase(dir.begin(), std::find_if_not(dir.begin(), dir.end(), blank));
  if (dir.empty() || dir.back() != '/') dir += '/';
  std::string name = RandomName(files_, dir);
  for (int i = 0; i < kWorkNameAttempts && files_.FileExists(name); ++i) name = RandomName(files_, dir);
  return name;
}

// Claims the name chosen at construction with an exclusive create, so a
// file or link planted under it is never followed and two editors never
// share one store; another name is taken when it is held, or when the
// folder in use is no longer its folder. Nothing is created in a folder that
// is not this user's own. The new file's open stream goes to stream.
bool TByteEditor::EnsureWorkFileCreated(std::unique_ptr<FileStream>& stream) {
  if (workFileCreated_) return true;
  const std::string folder = files_.WorkDirectory(workFolderProblem_);
  if (!workFolderProblem_.empty()) {
    errno = 0;
    return false;
  }
  std::unique_ptr<FileStream> created;
  if (folder.empty() || folder.back() != '/' || FolderOf(workFileName_) == folder) {
    created = files_.CreateExclusive(workFileName_);
    const int reason = errno;
    if (!created && !files_.FileExists(workFileName_)) {
      errno = reason;  // not a name clash: for the caller's message
      return false;
    }
  }
  if (!created) {
    std::string name;
    if (!CreateWorkFile(name, created)) return false;
    workFileName_ = name;
  }
  workFileCreated_ = true;
  SyncRecoveryRecord();  // while the new file is still locked
  stream = std::move(created);
  return true;
}

bool TByteEditor::ProbeFile(const std::string& path, bool& readOnly) {
  if (!files_.FileExists(path)) return false;
  if (!files_.CanOpenShared(path)) return false;
  readOnly = !files_.CanOpenExclusive(path);
  return true;
}

int64_t TByteEditor::DataSize() { return doc_ ? doc_->Table().Size() : 0; }

void TByteEditor::NewDocument(const std::string& name) {
  recordFailedFor_.clear();  // each document tries its record afresh
  NoteRecoveryState(name, false, true);
  CloseWorkStream();
  fileName_ = name;
  fileIdentity_ = {};
  acceptedIdentity_.reset();
  ClearUndo();
  ClearSelection(false);
  changeMarks_.clear();
  ++contentGeneration_;
  UpdateGridSize();
  modified_ = false;
  readOnly_ = true;
  MoveCurrent(2, 0, true);
  SyncRecoveryRecord();
}

// A new store's name in the folder in use, created exclusively; names held,
// or whose record or journal is left from other work, are stepped over.
bool TByteEditor::CreateWorkFile(std::string& name, std::unique_ptr<FileStream>& stream) {
  const std::string folder = files_.WorkDirectory(workFolderProblem_);
  name = workFileName_;
  if (!workFolderProblem_.empty()) {
    errno = 0;
    return false;
  }
  const std::string dir = !folder.empty() && folder.back() == '/' ? folder : FolderOf(workFileName_);
  for (int i = 0; i < kWorkNameAttempts; ++i) {
    name = RandomName(files_, dir);
    if (files_.FileExists(name) || files_.FileExists(RecoveryRecordPath(name)) ||
        files_.FileExists(piece::JournalPathOf(name)))
      continue;
    stream = files_.CreateExclusive(name);
    if (stream) return true;
    const int reason = errno;
    if (!files_.FileExists(name)) {
      errno = reason;
      return false;
    }
  }
  return false;
}

void TByteEditor::TakeDocument(std::unique_ptr<piece::PieceDocument> doc, const std::string& name) {
  // The old store goes before the record moves to the new one: a kill in
  // between leaves a record without work, which is nothing to offer.
  doc_.reset();
  if (workFileCreated_ && name != workFileName_) files_.DeleteFile(workFileName_);
  doc_ = std::move(doc);
  workFileName_ = name;
  workFileCreated_ = true;
  readWindowStart_ = -1;
}

bool TByteEditor::LoadFromFile(const std::string& path) {
  loadError_.clear();
  // One open of the name: the checks below and every later read of the
  // document go to what it opened, whatever the name is made to lead to.
  std::unique_ptr<LoadSource> source = files_.OpenForLoad(path);
  if (!source) return false;
  const int64_t size = source->Size();
  if (size < 0) return false;
  files_.RemoveSaveLeftovers(path);

  {
    BusyCursor busy(Host());
    // The new document's private files are made beside the current ones,
    // which stay until they exist: a full or refused folder keeps the
    // current document.
    std::string name = workFileName_;
    std::unique_ptr<FileStream> stream;
    errno = 0;
    const bool first = !doc_ && !workFileCreated_;
    const bool made = first ? EnsureWorkFileCreated(stream) : CreateWorkFile(name, stream);
    if (first) name = workFileName_;  // another name when this one was taken
    if (!made) {
      loadError_ = TempFolderError(name, errno, workFolderProblem_);
      return false;
    }
    std::unique_ptr<piece::PieceDocument> doc;
    try {
      const int fd = size > 0 ? source->TakeDescriptor() : -1;
      if (fd >= 0) {
        doc = piece::PieceDocument::Open(files_, std::move(stream), name, fd, size, source->Identity(), path);
      } else {
        // A file the kernel calls empty (the pseudo files of /proc) or one
        // that offers no descriptor is copied into the store instead.
        stream.reset();
        bool sourceFault = false;
        errno = 0;
        if (!source->CopyOnto(name, sourceFault)) {
          const int reason = errno;
          loadError_ = sourceFault ? std::string(std::strerror(reason != 0 ? reason : EIO))
                                   : TempFolderError(name, reason, std::string());
          if (name != workFileName_) files_.DeleteFile(name);
          return false;
        }
        files_.ClearAttributes(name);
        std::unique_ptr<FileStream> copied = files_.OpenReadWrite(name);
        piece::RecoverProblem problem;
        doc = piece::PieceDocument::Recover(files_, copied, name, path, problem);
        if (!doc) throw FileError("Cannot read the copy of the file", EIO);
      }
    } catch (const FileError& error) {
      loadError_ = TempFolderError(name, error.Code(), std::string());
      if (name != workFileName_) files_.DeleteFile(name);
      return false;
    }
    // The old contents are given up: the record must not call the new
    // file's bytes changes of the old one.
    recordFailedFor_.clear();
    NoteRecoveryState(path, false, source->ReadOnly());
    TakeDocument(std::move(doc), name);
    readOnly_ = source->ReadOnly();
    fileName_ = path;
    fileIdentity_ = source->Identity();
    acceptedIdentity_.reset();
  }
  ClearUndo();
  changeMarks_.clear();
  ++contentGeneration_;
  UpdateGridSize();
  modified_ = false;
  // The old selection would point into the old data even when Shift or the
  // mouse button keeps the cursor move below from clearing it.
  ClearSelection(false);
  MoveCurrent(2, 0, true);
  SyncRecoveryRecord();
  return true;
}

void TByteEditor::RebaseOnSaved(const std::string& path, const FileIdentity& written) {
  if (!doc_) return;
  try {
    doc_->Table().RecordSaved(written);
  } catch (const FileError&) {
    // The record then says the work is saved; its journal only lacks the note.
  }
  // The saved file is opened as the new base when it is still the file
  // just written; otherwise the document keeps reading what it read.
  std::unique_ptr<LoadSource> source = files_.OpenForLoad(path);
  if (!source || source->Identity().device != written.device || source->Identity().inode != written.inode ||
      source->Size() != DataSize())
    return;
  std::string name;
  std::unique_ptr<FileStream> stream;
  if (!CreateWorkFile(name, stream)) return;
  const int fd = source->Size() > 0 ? source->TakeDescriptor() : -1;
  try {
    if (source->Size() > 0 && fd < 0) throw FileError("No descriptor");
    TakeDocument(
        piece::PieceDocument::Open(files_, std::move(stream), name, fd, source->Size(), written, path), name);
  } catch (const FileError&) {
    files_.DeleteFile(name);
  }
}

std::string TByteEditor::BackupName(const std::string& path) const {
  const size_t dir = path.find_last_of("/\\:");
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos && (dir == std::string::npos || dot > dir))
    return path.substr(0, dot) + backupExtension_;
  return path + backupExtension_;
}

bool TByteEditor::SaveToFile(const std::string& path) { return SaveTo(path, true); }

bool TByteEditor::SaveToFileWithoutBackup(const std::string& path) { return SaveTo(path, false); }

bool TByteEditor::SaveTo(const std::string& path, bool withBackup) {
  bool ok = false;
  backupFailure_ = {};
  saveError_.clear();
  {
    BusyCursor busy(Host());
    // The old file is kept under the backup name before the new one takes
    // its name; a failed backup abandons the save. Over its own file the
    // save only goes ahead while the name still leads to the file loaded or
    // last saved, or to the one the user agreed to replace
    // (AcceptFileOnDisk); a link found there since is replaced, not followed.
    SaveCopyOptions options;
    const bool ownFile = path == fileName_;
    if (ownFile) options.backupName = BackupName(path);
    if (withBackup && createBackup_ && modified_ && ownFile) options.backup = BackupName(path);
    FileIdentity onDisk;
    if (ownFile && fileIdentity_.known) {
      options.expected = acceptedIdentity_ ? &*acceptedIdentity_ : &fileIdentity_;
      options.loaded = &fileIdentity_;
      // This program's own save in place was cut short there: the file is
      // torn, and the backup (or a kept copy) holds the whole old content,
      // which must not be replaced by the torn file.
      if (!acceptedIdentity_ && files_.SaveWasInterrupted(path, fileIdentity_)) {
        onDisk = files_.Identify(path);
        options.expected = &onDisk;
        options.backup.clear();
      }
    }
    options.backupFailure = &backupFailure_;
    int error = 0;
    std::string place;
    options.error = &error;
    options.errorPlace = &place;
    FileIdentity written;
    // The document is streamed from its pieces into the new file. A new
    // document that never had a byte saves as an empty file.
    errno = 0;
    std::optional<piece::PieceSaveSource> content;
    try {
      EnsureWorkStream();
      content.emplace(doc_->SaveSource());
    } catch (const FileError& e) {
      error = e.Code();
      place = FolderOf(workFileName_);
      if (!workFolderProblem_.empty()) saveError_ = TempFolderError(workFileName_, 0, workFolderProblem_);
    }
    if (content) {
      ok = files_.SaveFrom(*content, path, options, &written);
      if (!ok && content->BaseShortened())
        saveError_ = "The file " + fileName_ + " was shortened by another program: bytes of the document are missing";
    }
    if (ok) {
      fileIdentity_ = written;
      acceptedIdentity_.reset();
    } else if (saveError_.empty() && backupFailure_.problem == BackupProblem::None) {
      const std::string reason = SaveReason(error);
      saveError_ = place.empty() ? reason : place + ": " + reason;
    }
  }
  if (ok) {
    changeMarks_.clear();
    modified_ = false;
    readOnly_ = false;
    fileName_ = path;
    ClearUndo();
    // Said before the document moves onto the saved file.
    SyncRecoveryRecord();
    RebaseOnSaved(path, fileIdentity_);
    ++contentGeneration_;
  }
  SyncRecoveryRecord();
  if (Host()) Host()->InvalidateAll();
  return ok;
}

void TByteEditor::ReadFileAgain() {
  readWindowStart_ = -1;
  if (doc_) doc_->Table().Reader().Forget();
  ++contentGeneration_;
  if (Host()) Host()->InvalidateAll();
}

void TByteEditor::MarkReadOnly(bool flag) {
  if (flag && !readOnly_) {
    readOnly_ = true;
    PostStateChanged();
  }
}

void TByteEditor::PostStateChanged() {
  // Every accepted change posts before its bytes are written, so the record
  // says modified before the document differs from the file.
  SyncRecoveryRecord();
  if (!Host() || !Host()->WindowExists()) return;
  Host()->PostMessage(kStateChangedMessage, kStateChangedParam, 7);
}

uint8_t TByteEditor::ReadByte(int64_t position) {
  uint8_t b = 0;
  if (!doc_ || position < 0 || position >= DataSize()) return 0;
  doc_->Table().Read(position, &b, 1);
  return b;
}

void TByteEditor::WriteByte(int64_t position, uint8_t value) {
  EnsureWorkStream();
  piece::PieceTable& table = doc_->Table();
  if (position == table.Size()) {
    SpliceBytes(position, 0, ByteSource{&value, nullptr, 0}, 1);
    return;
  }
  const piece::PieceTable::Mark mark = table.Begin();
  try {
    table.WriteByte(position, value);
    table.EndStep();
  } catch (...) {
    table.Revert(mark);
    throw;
  }
}

int64_t TByteEditor::ReadBytes(void* buffer, int64_t position, int64_t count) {
  if (!doc_ || count <= 0 || position < 0) return 0;
  count = std::min(count, DataSize() - position);
  if (count <= 0) return 0;
  return doc_->Table().Read(position, buffer, count).count;
}

void TByteEditor::WriteBytes(const void* buffer, int64_t position, int64_t count) {
  if (count <= 0) return;
  EnsureWorkStream();
  const int64_t over = std::clamp<int64_t>(DataSize() - position, 0, count);
  SpliceBytes(position, over, ByteSource{static_cast<const uint8_t*>(buffer), nullptr, 0}, count);
}

void TByteEditor::EnsureWorkStream() {
  if (doc_) return;
  // Only a file this control created is removed; another name is taken if
  // someone claims this one in between.
  if (workFileCreated_) {
    files_.DeleteFile(workFileName_);
    workFileCreated_ = false;
  }
  std::unique_ptr<FileStream> stream;
  errno = 0;
  if (!EnsureWorkFileCreated(stream)) {
    const int e = errno;
    throw FileError("Cannot create the working copy " + workFileName_ +
                        (workFolderProblem_.empty() ? std::string() : ": " + workFolderProblem_),
                    e);
  }
  try {
    doc_ = piece::PieceDocument::Open(files_, std::move(stream), workFileName_, -1, 0, FileIdentity{});
  } catch (const FileError&) {
    files_.DeleteFile(workFileName_);
    workFileCreated_ = false;
    throw;
  }
  readWindowStart_ = -1;
  changeMarks_.clear();
}

void TByteEditor::CloseWorkStream() {
  readWindowStart_ = -1;
  if (!doc_) return;
  // The store and its journal go; the name and its record stay for the
  // next document, whose store is made under the name again.
  doc_.reset();
}

void TByteEditor::EnsureReadWindow(int64_t position) {
  if (readWindowStart_ != -1 && readWindowStart_ <= position &&
      int64_t{position} + bytesPerLine_ <= int64_t{readWindowStart_} + kReadWindowSize)
    return;
  const int64_t start = std::max<int64_t>(0, position - kReadWindowSize / 2);
  // A read that fails part way leaves the window empty rather than stale.
  readWindowStart_ = -1;
  ReadBytes(readWindow_.data(), start, kReadWindowSize);
  readWindowStart_ = start;
}

void TByteEditor::UpdateReadWindow(int64_t position, uint8_t value) {
  if (readWindowStart_ != -1 && readWindowStart_ <= position &&
      int64_t{position} < int64_t{readWindowStart_} + kReadWindowSize)
    readWindow_[static_cast<size_t>(position - readWindowStart_)] = value;
}

}  // namespace bm
