// The layout of one undo or redo record, shared by undo.cpp and redo.cpp.
//
// Records lie back to back in a stream, oldest first. Each is a 61-byte
// fixed part, its data and a 32-bit trailer holding the record's whole
// length, so the stream is walked backwards from its end. Integers are
// little-endian. A record whose removed or replaced bytes run past the spill
// threshold keeps them as pieces of the document (UndoSpill); its data in the
// stream is then the 8-byte id of those pieces.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/byte_editor.h"

namespace bm::undo_record {

// Offsets of the fields in the fixed part.
inline constexpr size_t kOffKind = 0;
inline constexpr size_t kOffOldMark = 1;
inline constexpr size_t kOffModifiedBefore = 2;
inline constexpr size_t kOffCursorPosition = 3;
inline constexpr size_t kOffCursorNibble = 11;
inline constexpr size_t kOffCursorField = 12;
inline constexpr size_t kOffSelFrom = 13;
inline constexpr size_t kOffSelTo = 21;
inline constexpr size_t kOffSelAnchor = 29;
inline constexpr size_t kOffPosition = 37;
inline constexpr size_t kOffCount = 45;
inline constexpr size_t kOffOldLength = 53;
static_assert(kOffOldLength + 8 == kUndoFixedPart);

inline constexpr size_t kTrailer = 4;
// The shortest record: fixed part, one data byte, trailer.
inline constexpr uint32_t kMinRecord = kUndoFixedPart + 1 + kTrailer;
inline constexpr size_t kSpillId = 8;
inline constexpr uint32_t kSpilledRecord = kUndoFixedPart + kSpillId + kTrailer;

inline void PutU64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint64_t GetU64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

inline void PutU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

inline uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void PutI64(uint8_t* p, int64_t v) { PutU64(p, static_cast<uint64_t>(v)); }
inline int64_t GetI64(const uint8_t* p) { return static_cast<int64_t>(GetU64(p)); }

inline const char* KindName(uint8_t kind) {
  switch (kind) {
    case ckByteChanged: return "Byte changed";
    case ckBytesRemoved: return "Byte(s) removed";
    case ckInsertBuffer: return "Insert buffer";
    case ckReplaceSelection: return "Replace selection";
    case ckAppendBuffer: return "Append buffer";
    case ckContentReplaced: return "Whole content replaced";
    default: return "No Undo";
  }
}

// Length of the newest record as its trailer gives it, or 0 when the stream
// does not end in a plausible record.
inline uint32_t NewestLength(const std::vector<uint8_t>& stream) {
  if (stream.size() < kMinRecord) return 0;
  const uint32_t length = GetU32(stream.data() + stream.size() - kTrailer);
  if (length < kMinRecord || length > stream.size()) return 0;
  return length;
}

// The id of the file holding a record's bytes, or 0 for a record whose bytes
// are in the stream.
inline uint64_t SpillIdOf(const uint8_t* record, size_t length) {
  if (length != kSpilledRecord) return 0;
  // The other content of a replaced whole is always a file of its own.
  if (record[kOffKind] == ckContentReplaced) return GetU64(record + kUndoFixedPart);
  int64_t logical = 0;
  if (record[kOffKind] == ckBytesRemoved) logical = GetI64(record + kOffCount);
  if (record[kOffKind] == ckReplaceSelection) logical = GetI64(record + kOffOldLength);
  if (logical <= static_cast<int64_t>(kSpillId)) return 0;
  return GetU64(record + kUndoFixedPart);
}

}  // namespace bm::undo_record
