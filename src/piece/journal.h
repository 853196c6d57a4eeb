// The journal of piece operations: what recovery replays over the base after a crash.
//
// Beside the add store lies an append-only journal (<stem>.jnl). It opens
// with a header naming the base (its identity, size and path) and then records,
// one per write(2), every operation of the piece table:
//   Insert   position, run (bytes of a short add run inline)
//   Remove   position, count
//   Replace  position, count, run (bytes of a short add run inline)
//   Rewrite  add-store offset and bytes (typed bytes changed in place)
//   Keep     a version id: the document as it is now, kept by undo or redo
//   Restore  a version id: the document goes back to that version
//   Drop     a version id no longer kept
//   Step     end of one whole step of the editor, with the add store's
//            length then and an opaque payload of the editor (its undo
//            record: kind, cursor, selection)
//   Saved    the document was saved; the new base's identity
// Each record is its length, a CRC-32 of its body and the body, so a torn
// or damaged tail is recognised and ignored.
//
// Replay applies the records step by step: operations after the last Step
// are dropped, so the result is exactly the document after the last whole
// step that reached the disk, never a part of one. It rebuilds the document
// and every version still kept (so the editor can rebuild undo and redo from
// the steps' payloads, which Replay hands back in order). Inline bytes are
// written back into the add store, so a typed byte rewritten in place after
// the last whole step is put back as that step left it.
//
// Order on disk: added bytes are appended to the add store before the
// record that refers to them is written, and a Rewrite record is written
// before the store is rewritten, so after a kill at any instant every
// record found refers only to bytes that are in the store. The sync worker
// (posix_sync) is to fdatasync the add store, then the journal: both
// descriptors are exposed.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "piece/piece_tree.h"
#include "platform/files.h"

namespace bm::piece {

class AddStore;

// Runs of added bytes up to this length are copied into their records.
inline constexpr int64_t kInlineBytes = 64;

enum class RecordType : uint8_t {
  Header = 1, Insert, Remove, Replace, Rewrite, Keep, Restore, Drop, Step, Saved,
};

class Journal {
 public:
  // A new journal at path with its header; null when it cannot be created.
  // baseName: where the base was opened, for a recovery without other notes.
  static std::unique_ptr<Journal> Create(FileSystem& files, const std::string& path,
                                         const FileIdentity& base, int64_t baseSize,
                                         const std::string& baseName = std::string());
  // Continues an existing journal after its last whole step (validLength
  // from Replay): anything past it is cut off.
  static std::unique_ptr<Journal> Continue(FileSystem& files, const std::string& path,
                                           int64_t validLength);
  Journal(std::unique_ptr<FileStream> stream, std::string path, int64_t length);

  const std::string& Path() const { return path_; }
  int64_t Length() const { return length_; }
  int Descriptor() const { return stream_->Descriptor(); }
  FileStream& Stream() { return *stream_; }

  // Each writes one whole record or throws FileError leaving the journal's
  // length as it was (a torn record is cut off again, or ignored by replay).
  // inlineBytes: the run's bytes when it is a short add run, else null.
  void Insert(int64_t position, const Run& run, const uint8_t* inlineBytes);
  void Remove(int64_t position, int64_t count);
  void Replace(int64_t position, int64_t count, const Run& run, const uint8_t* inlineBytes);
  void Rewrite(int64_t addOffset, const uint8_t* bytes, int64_t count);
  void Keep(uint64_t id);
  void Restore(uint64_t id);
  void Drop(uint64_t id);
  void Step(int64_t addLength, const std::vector<uint8_t>& payload);
  void Saved(const FileIdentity& newBase);
  // Takes back the records written since the journal was length bytes long
  // (an operation that failed after its record was written).
  void CutTo(int64_t length);

 private:
  void Put(const std::vector<uint8_t>& body);

  std::unique_ptr<FileStream> stream_;
  std::string path_;
  int64_t length_;
};

struct ReplayedStep {
  std::vector<uint8_t> payload;
};

struct ReplayResult {
  bool ok = false;           // a header was found; false: nothing to recover
  std::string problem;       // why not, when ok is false
  FileIdentity base;         // the base the journal was written over
  int64_t baseSize = 0;
  std::string baseName;      // where it was opened (empty when not noted)
  PieceTree document;        // after the last whole step
  std::map<uint64_t, PieceTree> kept;  // versions still kept then
  std::vector<ReplayedStep> steps;     // every whole step, oldest first
  int64_t addLength = 0;     // the add store's length after the last whole step
  int64_t validLength = 0;   // the journal's bytes up to the last whole step
  bool saved = false;        // the last whole step was a save
  FileIdentity savedAs;      // the file it made
};

// Reads the journal at path and replays it. add, when given, receives the
// inline bytes of the replayed steps and is cut to addLength.
ReplayResult Replay(FileSystem& files, const std::string& path, AddStore* add);

// CRC-32 (the polynomial of zlib and gzip).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

}  // namespace bm::piece
