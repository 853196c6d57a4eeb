// PieceDocument: opening a base without copying it (a clone where the file system can), recovering the work left behind, and the private files.
#include "piece/piece_document.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_files.h"
#include "platform/recovery.h"

namespace bm::piece {

namespace {

// A private clone of fd at path sharing its extents; -1 (and no file) when
// the file system cannot share them.
int CloneInto(const std::string& path, int fd) {
  const int clone = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (clone < 0) return -1;
  if (::ioctl(clone, FICLONE, fd) == 0) return clone;
  ::close(clone);
  ::unlink(path.c_str());
  return -1;
}

bool SameFile(const struct stat& st, const FileIdentity& id) {
  return id.known && static_cast<uint64_t>(st.st_dev) == id.device &&
         static_cast<uint64_t>(st.st_ino) == id.inode && st.st_size == id.size &&
         int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec == id.mtimeNs;
}

// The base a journal was written over: its clone when there is one, else
// the file at fileName while it is still that file. Null with problem set
// when it is not.
std::unique_ptr<BaseFile> FindBase(const ReplayResult& replay, const std::string& clonePath,
                                   const std::string& fileName, std::string& usedClone,
                                   RecoverProblem& problem) {
  struct stat st;
  posix::UniqueFd clone(::open(clonePath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (clone.Valid() && ::fstat(clone.Get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= replay.baseSize) {
    FileIdentity identity = replay.base;
    identity.device = st.st_dev;
    identity.inode = st.st_ino;
    usedClone = clonePath;
    return std::make_unique<BaseFile>(clone.Release(), replay.baseSize, identity);
  }
  posix::UniqueFd file(::open(fileName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file.Valid() || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode) || !SameFile(st, replay.base)) {
    problem = RecoverProblem::BaseChanged;
    return nullptr;
  }
  return std::make_unique<BaseFile>(file.Release(), replay.baseSize, replay.base);
}

}  // namespace

std::string JournalPathOf(const std::string& addPath) { return WorkJournalPath(addPath); }

std::string ClonePathOf(const std::string& addPath) { return WorkClonePath(addPath); }

std::unique_ptr<PieceDocument> PieceDocument::Open(FileSystem& files, std::unique_ptr<FileStream> add,
                                                   const std::string& addPath, int fd, int64_t size,
                                                   const FileIdentity& file, const std::string& fileName) {
  std::string clonePath;
  std::unique_ptr<BaseFile> base;
  if (fd >= 0) {
    clonePath = ClonePathOf(addPath);
    const int clone = CloneInto(clonePath, fd);
    if (clone >= 0) {
      ::close(fd);
      FileIdentity cloned = file;
      struct stat st;
      if (::fstat(clone, &st) == 0) {
        cloned.device = st.st_dev;
        cloned.inode = st.st_ino;
      }
      base = std::make_unique<BaseFile>(clone, size, cloned);
    } else {
      clonePath.clear();
      base = std::make_unique<BaseFile>(fd, size, file);
    }
  }
  auto store = std::make_unique<AddStore>(std::move(add), addPath, 0);
  const FileIdentity opened = base ? file : FileIdentity{};
  std::unique_ptr<Journal> journal = Journal::Create(files, JournalPathOf(addPath), opened, base ? size : 0,
                                                     base ? fileName : std::string());
  if (!journal) {
    const int e = errno;
    if (!clonePath.empty()) ::unlink(clonePath.c_str());
    throw FileError("Cannot create the journal of changes \"" + JournalPathOf(addPath) + "\"", e);
  }
  return std::unique_ptr<PieceDocument>(new PieceDocument(files, std::move(base), std::move(clonePath),
                                                          opened, std::move(store),
                                                          std::move(journal)));
}

std::unique_ptr<PieceDocument> PieceDocument::Open(FileSystem& files, const std::string& folder, int fd,
                                                   int64_t size, const FileIdentity& file) {
  std::string problem;
  std::unique_ptr<AddStore> add = AddStore::Create(files, folder, &problem);
  if (!add) {
    const int e = errno;
    if (fd >= 0) ::close(fd);
    throw FileError(problem, e);
  }
  const std::string path = add->Path();
  std::unique_ptr<FileStream> stream = add->TakeStream();
  try {
    return Open(files, std::move(stream), path, fd, size, file);
  } catch (const FileError&) {
    files.DeleteFile(path);
    throw;
  }
}

std::unique_ptr<PieceDocument> PieceDocument::Empty(FileSystem& files, const std::string& folder) {
  return Open(files, folder, -1, 0, FileIdentity{});
}

std::unique_ptr<PieceDocument> PieceDocument::Recover(FileSystem& files, std::unique_ptr<FileStream>& add,
                                                      const std::string& addPath, const std::string& fileName,
                                                      RecoverProblem& problem) {
  problem = RecoverProblem::None;
  const std::string journalPath = JournalPathOf(addPath);
  const int64_t addSize = add->Size();
  struct stat st;
  if (::lstat(journalPath.c_str(), &st) != 0) {
    // Work of a store alone: its bytes are the content, a new journal
    // starts with them.
    problem = RecoverProblem::NoJournal;
    auto store = std::make_unique<AddStore>(std::move(add), addPath, addSize);
    std::unique_ptr<Journal> journal = Journal::Create(files, journalPath, FileIdentity{}, 0);
    if (!journal) {
      add = store->TakeStream();
      problem = RecoverProblem::Failed;
      return nullptr;
    }
    std::unique_ptr<PieceDocument> doc(
        new PieceDocument(files, nullptr, std::string(), FileIdentity{}, std::move(store), std::move(journal)));
    doc->Table().InsertPieces(0, PieceTree(Run{Store::Add, 0, addSize}));
    doc->Table().EndStep();
    return doc;
  }
  // A first reading finds the base; the store is changed only by the second.
  const ReplayResult found = Replay(files, journalPath, nullptr);
  if (!found.ok) {
    problem = RecoverProblem::Failed;
    return nullptr;
  }
  // A journal that reached the disk ahead of the bytes it refers to (a
  // power cut between their syncs) would read holes as the user's bytes.
  if (found.addLength > addSize) {
    problem = RecoverProblem::Failed;
    return nullptr;
  }
  std::string clonePath;
  std::unique_ptr<BaseFile> base;
  if (found.base.known || found.baseSize > 0) {
    base = FindBase(found, ClonePathOf(addPath), fileName.empty() ? found.baseName : fileName, clonePath,
                    problem);
    if (!base) return nullptr;
  }
  auto store = std::make_unique<AddStore>(std::move(add), addPath, addSize);
  try {
    const ReplayResult replay = Replay(files, journalPath, store.get());
    std::unique_ptr<Journal> journal = Journal::Continue(files, journalPath, replay.validLength);
    // Version ids go on past any the journal holds: each took bytes of it.
    auto table = std::make_unique<PieceTable>(replay.document, base.get(), *store, journal.get(),
                                              static_cast<uint64_t>(replay.validLength) + 1);
    return std::unique_ptr<PieceDocument>(new PieceDocument(files, std::move(base), std::move(clonePath),
                                                            found.base, std::move(store), std::move(journal),
                                                            std::move(table)));
  } catch (const FileError&) {
    add = store->TakeStream();
    problem = RecoverProblem::Failed;
    return nullptr;
  }
}

RecoverProblem PieceDocument::CheckRecovery(FileSystem& files, const std::string& addPath,
                                            const std::string& fileName) {
  struct stat st;
  if (::lstat(JournalPathOf(addPath).c_str(), &st) != 0) return RecoverProblem::NoJournal;
  const ReplayResult found = Replay(files, JournalPathOf(addPath), nullptr);
  if (!found.ok) return RecoverProblem::Failed;
  if (!found.base.known && found.baseSize == 0) return RecoverProblem::None;
  std::string clonePath;
  RecoverProblem problem = RecoverProblem::None;
  (void)FindBase(found, ClonePathOf(addPath), fileName.empty() ? found.baseName : fileName, clonePath,
                 problem);
  return problem;
}

bool PieceDocument::WorkMatchesFile(FileSystem& files, const std::string& addPath, const std::string& fileName) {
  struct stat st;
  if (fileName.empty() || ::lstat(JournalPathOf(addPath).c_str(), &st) != 0) return false;
  const ReplayResult replay = Replay(files, JournalPathOf(addPath), nullptr);
  posix::UniqueFd file(::open(fileName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!replay.ok || !file.Valid() || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      st.st_size != replay.document.Size())
    return false;
  const int storeFd = ::open(addPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (storeFd < 0) return false;
  AddStore store(std::make_unique<PosixFileStream>(storeFd, addPath), addPath, replay.addLength);
  // The work read over the file as it is now, against the file itself. A
  // run of the file at its own place reads the very bytes it would be
  // compared with, so only the other runs are read: a crash after typing
  // over a large file costs no pass over the file at start-up.
  const int64_t size = st.st_size;
  BaseFile base(::dup(file.Get()), std::max<int64_t>(replay.baseSize, 0), replay.base);
  PieceReader reader(&base, store);
  std::vector<uint8_t> a(1 << 20), b(1 << 20);
  int64_t position = 0;
  bool same = true;
  try {
    replay.document.ForEachRun(0, size, [&](const Run& run) {
      if (run.store == Store::Add || run.offset != position) {
        for (int64_t done = 0; same && done < run.length;) {
          const int64_t at = position + done;
          const int64_t n = std::min<int64_t>(static_cast<int64_t>(a.size()), run.length - done);
          const ReadOutcome got = reader.Read(replay.document, at, a.data(), n);
          same = got.count == n && got.absent == 0 &&
                 ::pread(file.Get(), b.data(), static_cast<size_t>(n), at) == n &&
                 std::memcmp(a.data(), b.data(), static_cast<size_t>(n)) == 0;
          done += n;
        }
      }
      position += run.length;
      return same;
    });
  } catch (const FileError&) {
    return false;
  }
  return same;
}

PieceDocument::PieceDocument(FileSystem& files, std::unique_ptr<BaseFile> base, std::string clonePath,
                             FileIdentity file, std::unique_ptr<AddStore> add, std::unique_ptr<Journal> journal,
                             std::unique_ptr<PieceTable> table)
    : files_(files),
      base_(std::move(base)),
      clonePath_(std::move(clonePath)),
      file_(file),
      add_(std::move(add)),
      journal_(std::move(journal)),
      table_(table ? std::move(table) : std::make_unique<PieceTable>(base_.get(), *add_, journal_.get())) {
  add_->Stream().KeepSynced();
  journal_->Stream().KeepSynced();
}

PieceDocument::~PieceDocument() {
  if (keepFiles_) return;
  const std::string addPath = add_->Path();
  const std::string journalPath = journal_->Path();
  table_.reset();
  journal_.reset();
  add_.reset();
  // The store goes first: a journal left without it by a kill is nobody's
  // work, while a store left without its journal would read as work.
  files_.DeleteFile(addPath);
  files_.DeleteFile(journalPath);
  if (!clonePath_.empty()) files_.DeleteFile(clonePath_);
}

bool PieceDocument::SyncNow() {
  const bool added = add_->Stream().SyncNow();
  return journal_->Stream().SyncNow() && added;
}

PieceSaveSource PieceDocument::SaveSource() const {
  return PieceSaveSource(table_->Pieces(), base_.get(), add_->Descriptor());
}

}  // namespace bm::piece
