// The document side of TByteEditor: the working copy, loading and saving, the
// read window and the state-changed notification.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "editor/busy_cursor.h"
#include "editor/byte_editor.h"

namespace bm {

namespace {

constexpr int64_t kMaxDocumentSize = int64_t{1} << 31;  // positions are 32-bit signed
constexpr int kWorkNameAttempts = 4096;

std::string TickName(const std::string& dir, uint32_t tick) {
  return dir + IntToHex(tick, 8) + ".XBTM";
}

// The line that tells the user the temporary folder failed, and why.
std::string TempFolderError(const std::string& workFile, int reason) {
  std::string line = "Temporary folder " + workFile.substr(0, workFile.rfind('/') + 1) + ": ";
  return line + (reason != 0 ? std::strerror(reason) : "the working copy cannot be made there");
}

}  // namespace

std::string TByteEditor::MakeWorkFileName() {
  std::string dir = files_.TempDirectory();
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!dir.empty() && blank(dir.back())) dir.pop_back();
  dir.erase(dir.begin(), std::find_if_not(dir.begin(), dir.end(), blank));
  if (dir.empty() || dir.back() != '/') dir += '/';
  // Wait for the tick count to move past a leftover file's name; give up
  // waiting after a while and step past it instead.
  uint32_t tick = files_.TickCount();
  std::string name = TickName(dir, tick);
  for (int i = 0; files_.FileExists(name); ++i) {
    const uint32_t now = files_.TickCount();
    tick = (now != tick && i < kWorkNameAttempts) ? now : tick + 1;
    name = TickName(dir, tick);
  }
  return name;
}

// Claims the working copy's name with an exclusive create, so a file or link
// planted under the predictable name is never followed and two editors never
// share one working copy. Takes the next free name when the name is taken.
// The new file's open stream is handed to stream when one is given.
bool TByteEditor::EnsureWorkFileCreated(std::unique_ptr<FileStream>* stream) {
  if (workFileCreated_) return true;
  const size_t slash = workFileName_.rfind('/');
  const std::string dir = workFileName_.substr(0, slash + 1);
  uint32_t tick = static_cast<uint32_t>(std::stoul(workFileName_.substr(slash + 1, 8), nullptr, 16));
  for (int i = 0; i < kWorkNameAttempts; ++i) {
    auto created = files_.CreateExclusive(workFileName_);
    if (created) {
      workFileCreated_ = true;
      SyncRecoveryRecord();  // while the new file is still locked
      if (stream) *stream = std::move(created);
      return true;
    }
    const int reason = errno;
    if (!files_.FileExists(workFileName_)) {
      errno = reason;  // for the caller's message
      return false;  // not a name clash: cannot create
    }
    workFileName_ = TickName(dir, ++tick);
  }
  return false;
}

bool TByteEditor::ProbeFile(const std::string& path, bool& readOnly) {
  if (!files_.FileExists(path)) return false;
  if (!files_.CanOpenShared(path)) return false;
  readOnly = !files_.CanOpenExclusive(path);
  return true;
}

int32_t TByteEditor::DataSize() {
  if (cachedSize_ != -1 && readWindowStart_ != -1) return cachedSize_;
  const int64_t size = workStream_ ? workStream_->Size() : 0;
  cachedSize_ = static_cast<int32_t>(std::min<int64_t>(size, kMaxDocumentSize - 1));
  return cachedSize_;
}

void TByteEditor::NewDocument(const std::string& name) {
  NoteRecoveryState(name, false, true);
  CloseWorkStream();
  fileName_ = name;
  fileIdentity_ = {};
  ClearUndo();
  ClearSelection(false);
  changeMarks_.clear();
  UpdateGridSize();
  modified_ = false;
  readOnly_ = true;
  MoveCurrent(2, 0, true);
  SyncRecoveryRecord();
}

bool TByteEditor::LoadFromFile(const std::string& path) {
  loadError_.clear();
  bool probedReadOnly = false;
  if (!ProbeFile(path, probedReadOnly)) return false;
  const int64_t size = files_.FileSize(path);
  if (size < 0 || size >= kMaxDocumentSize) return false;

  const FileIdentity identity = files_.Identify(path);  // before the copy: a change during it shows later
  std::unique_ptr<FileStream> stream;
  {
    BusyCursor busy(Host());
    errno = 0;
    if (!EnsureWorkFileCreated()) {
      loadError_ = TempFolderError(workFileName_, errno);
      return false;
    }
    // The copy goes beside the working copy and replaces it only when it is
    // complete, so a failure (full temporary disk) keeps the current document.
    // The old contents are being given up: the record must not call the
    // new file's bytes changes of the old one.
    NoteRecoveryState(path, false, probedReadOnly);
    errno = 0;
    if (!files_.ReplaceWorkingCopy(path, workFileName_)) {
      loadError_ = TempFolderError(workFileName_, errno);
      SyncRecoveryRecord();
      return false;
    }
    files_.ClearAttributes(workFileName_);
    try {
      stream = files_.OpenReadWrite(workFileName_);
    } catch (const FileError&) {
      // The old working copy was replaced; an empty document is all that is left.
      NewDocument("Untitled");
      throw;
    }
    CloseWorkStream();
    workStream_ = std::move(stream);
    workStream_->Seek(0);
    readOnly_ = probedReadOnly;
    fileName_ = path;
    fileIdentity_ = identity;
  }
  ClearUndo();
  changeMarks_.clear();
  UpdateGridSize();
  modified_ = false;
  // The old selection would point into the old data even when Shift or the
  // mouse button keeps the cursor move below from clearing it.
  ClearSelection(false);
  MoveCurrent(2, 0, true);
  SyncRecoveryRecord();
  return true;
}

std::string TByteEditor::BackupName(const std::string& path) const {
  const size_t dir = path.find_last_of("/\\:");
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos && (dir == std::string::npos || dot > dir))
    return path.substr(0, dot) + backupExtension_;
  return path + backupExtension_;
}

bool TByteEditor::SaveToFile(const std::string& path) {
  bool ok = false;
  {
    BusyCursor busy(Host());
    // The old file is kept under the backup name before the new one takes
    // its name; a failed backup abandons the save. Over its own file the
    // save only goes ahead while the name still leads to the file loaded or
    // last saved (AcceptFileOnDisk takes a changed one).
    SaveCopyOptions options;
    const bool ownFile = path == fileName_;
    if (createBackup_ && modified_ && ownFile) options.backup = BackupName(path);
    if (ownFile && fileIdentity_.known) options.expected = &fileIdentity_;
    FileIdentity written;
    // Writes go straight to the working copy's descriptor, so it can be
    // copied while the stream stays open. A document that never had a
    // byte saves as an empty file.
    if (EnsureWorkFileCreated()) ok = files_.SaveCopy(workFileName_, path, options, &written);
    if (ok) fileIdentity_ = written;
  }
  if (ok) {
    changeMarks_.clear();
    modified_ = false;
    readOnly_ = false;
    fileName_ = path;
    ClearUndo();
  }
  SyncRecoveryRecord();
  if (Host()) Host()->InvalidateAll();
  return ok;
}

void TByteEditor::MarkReadOnly(bool flag) {
  if (flag && !readOnly_) {
    readOnly_ = true;
    PostStateChanged();
  }
}

void TByteEditor::PostStateChanged() {
  // Every accepted change posts before its bytes are written, so the record
  // says modified before the working copy differs from the file.
  SyncRecoveryRecord();
  if (!Host() || !Host()->WindowExists()) return;
  Host()->PostMessage(kStateChangedMessage, kStateChangedParam, 7);
}

uint8_t TByteEditor::ReadByte(int32_t position) {
  uint8_t b = 0;
  if (!workStream_) return 0;
  workStream_->Seek(position);
  if (workStream_->Read(&b, 1) != 1) return 0;
  return b;
}

void TByteEditor::WriteByte(int32_t position, uint8_t value) {
  workStream_->Seek(position);
  workStream_->Write(&value, 1);
}

int32_t TByteEditor::ReadBytes(void* buffer, int32_t position, int32_t count) {
  if (!workStream_ || count <= 0) return 0;
  workStream_->Seek(position);
  return static_cast<int32_t>(workStream_->Read(buffer, count));
}

void TByteEditor::WriteBytes(const void* buffer, int32_t position, int32_t count) {
  if (count <= 0) return;
  workStream_->Seek(position);
  workStream_->Write(buffer, count);
}

void TByteEditor::EnsureWorkStream() {
  if (workStream_) return;
  // Only a file this control created is removed; another name is taken if
  // someone claims this one in between.
  if (workFileCreated_) {
    files_.DeleteFile(workFileName_);
    workFileCreated_ = false;
  }
  std::unique_ptr<FileStream> stream;
  errno = 0;
  if (!EnsureWorkFileCreated(&stream))
    throw FileError("Cannot create the working copy " + workFileName_, errno);
  workStream_ = std::move(stream);
  workStream_->Seek(0);
  changeMarks_.clear();
}

void TByteEditor::CloseWorkStream() {
  if (!workStream_) return;
  std::unique_ptr<FileStream> stream = std::move(workStream_);
  readWindowStart_ = -1;
  cachedSize_ = -1;
  stream->SetSize(0);
}

void TByteEditor::EnsureReadWindow(int32_t position) {
  if (readWindowStart_ != -1 && readWindowStart_ <= position &&
      int64_t{position} + bytesPerLine_ <= int64_t{readWindowStart_} + kReadWindowSize)
    return;
  cachedSize_ = -1;
  const int32_t start = std::max(0, position - kReadWindowSize / 2);
  // A read that fails part way leaves the window empty rather than stale.
  readWindowStart_ = -1;
  ReadBytes(readWindow_.data(), start, kReadWindowSize);
  readWindowStart_ = start;
}

void TByteEditor::UpdateReadWindow(int32_t position, uint8_t value) {
  if (readWindowStart_ != -1 && readWindowStart_ <= position &&
      int64_t{position} < int64_t{readWindowStart_} + kReadWindowSize)
    readWindow_[static_cast<size_t>(position - readWindowStart_)] = value;
}

}  // namespace bm
