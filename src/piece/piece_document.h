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

class PieceDocument {
 public:
  // A document over the file open read-only as fd (taken over), of size
  // bytes, whose identity is file. Where the file system shares extents
  // (Btrfs, XFS) the base is a private clone in folder, which no other
  // program can change; elsewhere it is the file itself, read in place.
  // Nothing is copied. The add store and the journal are made in folder.
  // Throws FileError when they cannot be.
  static std::unique_ptr<PieceDocument> Open(FileSystem& files, const std::string& folder, int fd,
                                             int64_t size, const FileIdentity& file);
  // A document with no base (a new, empty one).
  static std::unique_ptr<PieceDocument> Empty(FileSystem& files, const std::string& folder);
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

 private:
  PieceDocument(FileSystem& files, std::unique_ptr<BaseFile> base, std::string clonePath,
                FileIdentity file, std::unique_ptr<AddStore> add, std::unique_ptr<Journal> journal);

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
