// PieceDocument: opening a base without copying it (a clone where the file system can), and the private files.
#include "piece/piece_document.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace bm::piece {

namespace {

// A private clone of fd in folder sharing its extents; -1 (and no file) when
// the file system cannot share them.
int CloneInto(FileSystem& files, const std::string& folder, int fd, std::string& path) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    path = PrivateName(files, folder, ".base");
    const int clone = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (clone < 0) {
      if (errno == EEXIST) continue;
      break;
    }
    if (::ioctl(clone, FICLONE, fd) == 0) return clone;
    ::close(clone);
    ::unlink(path.c_str());
    break;
  }
  path.clear();
  return -1;
}

std::string JournalPathOf(const std::string& addPath) {
  return addPath.substr(0, addPath.size() - 4) + ".jnl";
}

}  // namespace

std::unique_ptr<PieceDocument> PieceDocument::Open(FileSystem& files, const std::string& folder, int fd,
                                                   int64_t size, const FileIdentity& file) {
  std::string clonePath;
  const int clone = CloneInto(files, folder, fd, clonePath);
  std::unique_ptr<BaseFile> base;
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
    base = std::make_unique<BaseFile>(fd, size, file);
  }
  std::string problem;
  std::unique_ptr<AddStore> add = AddStore::Create(files, folder, &problem);
  if (!add) {
    if (!clonePath.empty()) ::unlink(clonePath.c_str());
    throw FileError(problem, errno);
  }
  std::unique_ptr<Journal> journal = Journal::Create(files, JournalPathOf(add->Path()), file, size);
  if (!journal) {
    const int e = errno;
    files.DeleteFile(add->Path());
    if (!clonePath.empty()) ::unlink(clonePath.c_str());
    throw FileError("Cannot create the journal of changes in \"" + folder + "\"", e);
  }
  return std::unique_ptr<PieceDocument>(new PieceDocument(files, std::move(base), std::move(clonePath), file,
                                                          std::move(add), std::move(journal)));
}

std::unique_ptr<PieceDocument> PieceDocument::Empty(FileSystem& files, const std::string& folder) {
  std::string problem;
  std::unique_ptr<AddStore> add = AddStore::Create(files, folder, &problem);
  if (!add) throw FileError(problem, errno);
  std::unique_ptr<Journal> journal = Journal::Create(files, JournalPathOf(add->Path()), FileIdentity{}, 0);
  if (!journal) {
    const int e = errno;
    files.DeleteFile(add->Path());
    throw FileError("Cannot create the journal of changes in \"" + folder + "\"", e);
  }
  return std::unique_ptr<PieceDocument>(
      new PieceDocument(files, nullptr, std::string(), FileIdentity{}, std::move(add), std::move(journal)));
}

PieceDocument::PieceDocument(FileSystem& files, std::unique_ptr<BaseFile> base, std::string clonePath,
                             FileIdentity file, std::unique_ptr<AddStore> add, std::unique_ptr<Journal> journal)
    : files_(files),
      base_(std::move(base)),
      clonePath_(std::move(clonePath)),
      file_(file),
      add_(std::move(add)),
      journal_(std::move(journal)),
      table_(std::make_unique<PieceTable>(base_.get(), *add_, journal_.get())) {}

PieceDocument::~PieceDocument() {
  if (keepFiles_) return;
  const std::string addPath = add_->Path();
  const std::string journalPath = journal_->Path();
  table_.reset();
  journal_.reset();
  add_.reset();
  files_.DeleteFile(journalPath);
  files_.DeleteFile(addPath);
  if (!clonePath_.empty()) files_.DeleteFile(clonePath_);
}

PieceSaveSource PieceDocument::SaveSource() const {
  return PieceSaveSource(table_->Pieces(), base_.get(), add_->Descriptor());
}

}  // namespace bm::piece
