// The document as a piece table: the edits the editor makes, over a base file and an add store.
//
// PieceTable owns the current version (a PieceTree) and writes the bytes it
// adds to the AddStore and every operation to the Journal, when there is
// one. It never copies the document: an edit appends its new bytes, if any,
// and changes O(log n) nodes of the tree.
//
// Edits are all or nothing: new bytes are appended first; when that fails
// (a full disk) the FileError goes to the caller with the document, the
// store and the journal as they were. A failing journal write after a
// successful append leaves the document as it was too (the appended bytes
// are simply never referred to).
//
// Versions for undo and redo: Keep() hands out the document as it is now,
// O(1); Restore() makes a kept version current again, O(1). The editor keeps
// a version in each undo and redo record of a range edit ("Byte(s)
// removed", "Insert buffer", "Replace selection", "Append buffer"), so the
// undo of a cut of any size copies nothing.
//
// Typed bytes and the in-place rule. Typing a hex byte writes the high digit
// and then the low digit of the same byte: two writes of one position. The
// first write of a byte appends it to the add store, where it continues the
// piece of the byte typed before it, so a run of typing stays one piece. The
// second write must not append again (the byte would leave the run and cut
// the piece in three), so WriteByte rewrites the byte in the add store in
// place whenever no kept version can see it: when the piece at the position
// is an add run at or after the store's length at the last Keep(). Versions
// kept since the byte was appended would see it; then the byte is appended
// as any other. For this to hold while typing, a "Byte changed" undo record
// keeps the byte's old value instead of a version, and its undo and redo
// are WriteByte of the old and the new value (which again rewrite in place
// when they may). Typing n bytes in overwrite or insert mode therefore adds
// at most two pieces (the typed run and the base cut after it) and n bytes
// to the store, whatever the number of undo records.
//
// Steps: the editor ends each of its whole steps (an edit, an undo, a redo)
// with EndStep and its undo record as payload; recovery replays up to the
// last one (journal.h).
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "piece/journal.h"
#include "piece/piece_reader.h"
#include "piece/piece_tree.h"
#include "piece/stores.h"

namespace bm::piece {

class PieceTable {
 public:
  // A document of the whole base (null base: an empty document).
  PieceTable(BaseFile* base, AddStore& add, Journal* journal = nullptr);
  // A document rebuilt by recovery; the next version id follows nextId.
  PieceTable(PieceTree pieces, BaseFile* base, AddStore& add, Journal* journal,
             uint64_t nextId = 1);

  int64_t Size() const { return pieces_.Size(); }
  int64_t PieceCount() const { return pieces_.PieceCount(); }
  const PieceTree& Pieces() const { return pieces_; }
  BaseFile* Base() const { return base_; }
  AddStore& Add() const { return add_; }

  // Inserts count bytes before position (0..Size()).
  void Insert(int64_t position, const uint8_t* bytes, int64_t count);
  // Inserts pieces of this document (a kept Slice) before position: a paste
  // of bytes cut or copied from this document adds no bytes to the store.
  void InsertPieces(int64_t position, const PieceTree& pieces);
  // Removes count bytes at position (clamped to the document).
  void Remove(int64_t position, int64_t count);
  // Replaces count bytes at position by newCount bytes.
  void Replace(int64_t position, int64_t count, const uint8_t* bytes, int64_t newCount);
  // Writes one byte over the one at position (< Size()): typed bytes and the
  // undo and redo of "Byte changed". See the in-place rule above.
  void WriteByte(int64_t position, uint8_t value);

  // The pieces of count bytes at position, kept by the caller (the bytes an
  // undo record removes or replaces): add-store bytes they hold are no
  // longer rewritten in place. Nothing is journaled: putting them back is
  // an InsertPieces, which is.
  PieceTree Slice(int64_t position, int64_t count);

  // Where an editor step began, to go back to when a later part of it fails.
  struct Mark {
    PieceTree pieces;
    int64_t journalLength = 0;
  };
  Mark Begin() const;
  // The document as at mark, the journal cut back to it (appended store
  // bytes stay, referred to by nothing).
  void Revert(const Mark& mark);
  // Appends bytes to the store for pieces to share (a replacement put in
  // place of many matches): they are never rewritten in place.
  Run AppendShared(const uint8_t* bytes, int64_t count);
  // Makes pieces (built from this document's runs) the document.
  void Reset(const PieceTree& pieces);

  struct Version {
    PieceTree pieces;
    uint64_t id = 0;
  };
  // The document as it is now, kept (journal: Keep).
  Version Keep();
  // Makes a kept version the document (journal: Restore).
  void Restore(const Version& version);
  // The version is no longer kept by the editor (journal: Drop).
  void Drop(const Version& version);
  // Ends one whole step of the editor. Never fails: a mark the journal
  // could not take joins the step to the next one.
  void EndStep(const std::vector<uint8_t>& payload = {});
  // After a save the journal records the new base (journal: Saved).
  void RecordSaved(const FileIdentity& newBase);

  // Reads count bytes at position (see PieceReader::Read).
  ReadOutcome Read(int64_t position, void* buffer, int64_t count) {
    return reader_.Read(pieces_, position, buffer, count);
  }
  PieceReader& Reader() { return reader_; }

  // Add-store bytes from here on are seen by the current version only.
  int64_t PrivateFrom() const { return privateFrom_; }

 private:
  Run AppendRun(const uint8_t* bytes, int64_t count);

  PieceTree pieces_;
  BaseFile* base_;
  AddStore& add_;
  Journal* journal_;
  PieceReader reader_;
  uint64_t nextId_;
  int64_t privateFrom_;
};

}  // namespace bm::piece
