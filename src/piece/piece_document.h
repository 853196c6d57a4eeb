// One document on pieces: its base (the file, or a private clone of it), add store, journal and table.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "piece/journal.h"
#include "piece/piece_save_source.h"
#include "piece/piece_table.h"
#include "piece/stores.h"
#include "platform/files.h"

namespace bm::piece {

// The private files of a document whose add store is at addPath: its
// journal and, where the file system shares extents, the clone of its base.
std::string JournalPathOf(const std::string& addPath);
std::string ClonePathOf(const std::string& addPath);

// Why a document's work could not be recovered.
enum class RecoverProblem {
  None,
  NoJournal,    // no readable journal: the store alone is the content
  BaseChanged,  // the file the work was done over is not the same any more
  Failed,       // the files could not be read or reopened (errno)
};

class PieceDocument {
 public:
  // A document over the file open read-only as fd (taken over; -1 for a
  // document without a base), of size bytes, whose identity is file. Where
  // the file system shares extents (Btrfs, XFS) the base is a private clone
  // beside the add store, which no other program can change; elsewhere it is
  // the file itself, read in place. Nothing is copied. The add store is the
  // new empty file open as add at addPath; the journal is made beside it.
  // Throws FileError when the journal cannot be made (fd is closed then).
  static std::unique_ptr<PieceDocument> Open(FileSystem& files, std::unique_ptr<FileStream> add,
                                             const std::string& addPath, int fd, int64_t size,
                                             const FileIdentity& file,
                                             const std::string& fileName = std::string());
  // The same with the add store made under a new name in folder.
  static std::unique_ptr<PieceDocument> Open(FileSystem& files, const std::string& folder, int fd,
                                             int64_t size, const FileIdentity& file);
  // A document with no base (a new, empty one), its add store made in folder.
  static std::unique_ptr<PieceDocument> Empty(FileSystem& files, const std::string& folder);
  // The work a document left behind: the add store open as add at addPath
  // and its journal, replayed over the base (its clone, or the file at
  // fileName, else where the journal says it was opened, while it is the
  // file the journal was written over). Without a
  // journal the store's bytes are the content. Null with problem set when
  // the work cannot be rebuilt exactly; the files are kept then.
  static std::unique_ptr<PieceDocument> Recover(FileSystem& files, std::unique_ptr<FileStream>& add,
                                                const std::string& addPath, const std::string& fileName,
                                                RecoverProblem& problem);
  // Whether the work at addPath can be rebuilt exactly (None), without
  // taking its files: its base is still there unchanged.
  static RecoverProblem CheckRecovery(FileSystem& files, const std::string& addPath,
                                      const std::string& fileName);
  // Whether the file at fileName holds exactly what the work at addPath
  // reads as over it: everything the work added is in the file at its
  // place (a save that went through before its record could say so).
  static bool WorkMatchesFile(FileSystem& files, const std::string& addPath, const std::string& fileName);
  ~PieceDocument();
  PieceDocument(const PieceDocument&) = delete;
  PieceDocument& operator=(const PieceDocument&) = delete;

  PieceTable& Table() { return *table_; }
  BaseFile* Base() const { return base_.get(); }
  AddStore& Add() const { return *add_; }
  Journal* Log() const { return journal_.get(); }
  // The base is a private clone (its path, empty when not).
  bool Cloned() const { return !clonePath_.empty(); }
  const std::string& ClonePath() const { return clonePath_; }
  // The user's file as it was opened.
  const FileIdentity& File() const { return file_; }
  // The current version, for the safe save.
  PieceSaveSource SaveSource() const;
  // The private files stay when the document goes (kept for recovery).
  void KeepFiles() { keepFiles_ = true; }
  // Puts the added bytes, then the journal, on disk now.
  bool SyncNow();

 private:
  PieceDocument(FileSystem& files, std::unique_ptr<BaseFile> base, std::string clonePath,
                FileIdentity file, std::unique_ptr<AddStore> add, std::unique_ptr<Journal> journal,
                std::unique_ptr<PieceTable> table = nullptr);

  FileSystem& files_;
  std::unique_ptr<BaseFile> base_;
  std::string clonePath_;
  FileIdentity file_;
  std::unique_ptr<AddStore> add_;
  std::unique_ptr<Journal> journal_;
  std::unique_ptr<PieceTable> table_;
  bool keepFiles_ = false;
};

}  // namespace bm::piece
