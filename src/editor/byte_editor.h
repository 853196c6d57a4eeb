// TByteEditor: the hex editor control. A grid of offset, marker, hex-digit and
// character cells over a document of pieces: runs of the file it was opened
// from, read in place, and of a private store of the bytes added since.
//
// The class is implemented in files by side:
//   document.cpp     the document's pieces, load, save, read window, notification
//   edit_ranges.cpp  the change gate, range edits and change marks
//   undo.cpp         undo records and Undo
//   redo.cpp         the redo history and Redo
//   data_splice.cpp  the all-or-nothing data step of the range edits
//   markers.cpp      the ten row markers
//   geometry.cpp     columns, rows and the cell/position mapping
//   paint.cpp        cell painting
//   translation.cpp  the five character sets
//   properties.cpp   construction, destruction and property setters
//   selection.cpp    cursor, selection, insert state and caret
//   navigation.cpp   keys and mouse
//   entry.cpp        typed bytes
//   recovery.cpp     the recovery record, restoring the work a killed editor left
//   search.cpp       the forward search FindData (engine in search_engine.*)
//   value_access.cpp the few bytes at the cursor, a run overwritten in place
//   search_data.cpp  the backward search and the match count
//   replace_all.cpp  replacing every match in one pass, and its undo
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/change_marks.h"
#include "editor/diff_marks.h"
#include "editor/editor_types.h"
#include "editor/replace_all.h"
#include "editor/search_engine.h"
#include "editor/tcolors.h"
#include "editor/undo_spill.h"
#include "piece/piece_document.h"
#include "platform/files.h"
#include "platform/grid_base.h"
#include "platform/keys.h"
#include "platform/recovery.h"
#include "platform/types.h"
#include "platform/window_host.h"

namespace bm {

// A cell of the grid.
struct GridCell {
  int col = 2;
  int64_t row = 0;
  bool operator==(const GridCell&) const = default;
};

// The state-changed notification: message 1026 (WM_USER + 2), wParam 7.
inline constexpr uint32_t kStateChangedMessage = 1026;
inline constexpr uintptr_t kStateChangedParam = 7;
inline constexpr int64_t kReadWindowSize = 65536;
inline constexpr int kMaxUndoRecords = 100;
inline constexpr int kUndoFixedPart = 61;
// Undo records whose removed or replaced bytes exceed this keep them as
// pieces of the document instead of bytes in memory.
inline constexpr int64_t kUndoSpillThreshold = 4 << 20;

class TByteEditor : public TGridBase, public TColorsOwner {
 public:
  explicit TByteEditor(WindowHost* host, FileSystem& files = SystemFileSystem());
  ~TByteEditor() override;

  // Start-up hooks: the host's properties are set (NewDocument "Untitled"),
  // and the window has been created (NewDocument when still "---").
  void Loaded();
  void WindowCreated();

  // Components that refer to this editor without owning it (the dump
  // renderer) ask to be told when it is destroyed, under a key of their own.
  void AddFreeNotification(const void* key, std::function<void()> onFree);
  void RemoveFreeNotification(const void* key);

  // ---- document ---------------------------------------------------------------
  int64_t DataSize();
  void NewDocument(const std::string& name);
  // False when the file cannot be used (missing, unreadable, not a regular
  // file, or its private files could not be made); the document is then
  // kept. Nothing of the file is read or copied.
  bool LoadFromFile(const std::string& path);
  // Why the last LoadFromFile failed when the temporary folder was at fault
  // ("Temporary folder /tmp/: No space left on device"); empty otherwise.
  const std::string& LoadError() const { return loadError_; }
  bool SaveToFile(const std::string& path);
  // SaveToFile without the backup, for when the user agreed to go on without
  // it; a save in place then keeps a synced copy of the old content in the
  // working folder until it has finished.
  bool SaveToFileWithoutBackup(const std::string& path);
  // Why the last save failed to keep the old file under the backup name
  // (nothing was written then); problem None otherwise.
  const BackupFailure& LastBackupFailure() const { return backupFailure_; }
  // Why the last save failed otherwise: "<place>: <reason>" or the reason
  // alone when the file itself was at fault; empty after a success.
  const std::string& SaveError() const { return saveError_; }
  // The name a save over path keeps the old file under.
  std::string BackupName(const std::string& path) const;
  void MarkReadOnly(bool flag);
  void PostStateChanged();

  const std::string& FileName() const { return fileName_; }
  const std::string& WorkFileName() const { return workFileName_; }
  FileSystem& Files() { return files_; }
  bool Modified() const { return modified_; }
  // Moves on whenever the bytes may have changed: an edit let through, Undo,
  // Redo, a load, a new or a recovered document. A view of the bytes kept
  // elsewhere (a comparison) knows by it to look again.
  uint64_t ContentGeneration() const { return contentGeneration_; }
  bool ReadOnly() const { return readOnly_; }
  bool CreateBackup() const { return createBackup_; }
  void SetCreateBackup(bool v) { createBackup_ = v; }
  const std::string& BackupExtension() const { return backupExtension_; }
  void SetBackupExtension(const std::string& v) { backupExtension_ = v; }
  bool HasWorkStream() const { return doc_ != nullptr; }
  // The document's pieces (null before the first byte of a new document).
  piece::PieceDocument* Pieces() const { return doc_.get(); }
  int64_t PieceCount() const { return doc_ ? doc_->Table().PieceCount() : 0; }
  // The file the document reads in place is a private clone, which other
  // programs cannot change.
  bool BaseIsPrivate() const { return doc_ && doc_->Cloned(); }
  // Whether FileName now leads to another file than the one loaded or last
  // saved, or to a changed one (false when none was recorded).
  bool FileChangedOnDisk();
  // Takes what FileName leads to now as the document's file, so that the
  // next save goes over it.
  void AcceptFileOnDisk();
  // Another program changed the file the document reads in place: what is
  // shown and cached is read again, so no stale byte is shown as the file's.
  void ReadFileAgain();
  const FileIdentity& FileOnDisk() const { return fileIdentity_; }
  // A file the user opened read-only. A new document is ReadOnly too, but only
  // so that its first save asks for a name: changing it is fine.
  bool ReadOnlyFile() const { return ReadOnly() && fileIdentity_.known; }

  std::function<void(TByteEditor&)> OnStateChanged;

  uint8_t ReadByte(int64_t position);
  void WriteByte(int64_t position, uint8_t value);
  int64_t ReadBytes(void* buffer, int64_t position, int64_t count);
  void WriteBytes(const void* buffer, int64_t position, int64_t count);
  void EnsureWorkStream();
  void CloseWorkStream();
  void EnsureReadWindow(int64_t position);
  void UpdateReadWindow(int64_t position, uint8_t value);
  int64_t ReadWindowStart() const { return readWindowStart_; }
  const uint8_t* ReadWindow() const { return readWindow_.data(); }
  // Up to count (at most 8) bytes from position, out of the read window,
  // which is loaded only when it does not hold them; how many there were.
  int PeekBytes(int64_t position, uint8_t* out, int count);

  // ---- recovery after a crash -------------------------------------------------
  // Makes the work an editor left behind with unsaved changes this
  // document: its file's name, Modified, no undo history. False when it has
  // none to offer, or when it cannot be rebuilt exactly (RecoveryProblem).
  bool RecoverWorkingCopy(OrphanedWorkCopy& orphan);
  // Why the last RecoverWorkingCopy could not rebuild the work; its files
  // are kept then. None after a success.
  piece::RecoverProblem RecoveryProblem() const { return recoveryProblem_; }
  // Whether the work can be rebuilt exactly, asked before offering it.
  piece::RecoverProblem CheckRecovery(const OrphanedWorkCopy& orphan);
  // The file the work was made over holds it already (saved before the
  // record could say so): nothing to offer.
  bool WorkIsInItsFile(const OrphanedWorkCopy& orphan);
  // Lets go of the store, its journal and its record without removing them,
  // for the next start to offer; the document is left without its pieces.
  // False when there is no record to find it by (nothing is kept then).
  bool KeepForRecovery();
  // True once after the record of this document's store could not
  // be made: crash recovery is off for it, and the user is to be told.
  bool TakeRecoveryOffNotice() { return std::exchange(recoveryOffNotice_, false); }

  void HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

  // ---- range edits and change marks -------------------------------------------
  bool BeginChange(TChangeKind kind, int64_t position, int64_t count, int64_t oldLength);
  bool IsByteChanged(int64_t position);
  void SetChangeMark(int64_t position, bool value);
  int64_t SelLength() const;
  void MoveBytes(int64_t source, int64_t destination, int64_t count);
  void InsertBytes(const uint8_t* buffer, int64_t count, int64_t position);
  void AppendBytes(const uint8_t* buffer, int64_t count);
  void DeleteRange(int64_t start, int64_t end, int col, int64_t row);
  void DeleteSelection();
  void DeleteAtCursor(bool backspace);
  void InsertBuffer(const uint8_t* buffer, int64_t count, int64_t position);
  void AppendBuffer(const uint8_t* buffer, int64_t count);
  void PasteBuffer(const uint8_t* buffer, int64_t count);
  // PasteBuffer with the bytes read from source block by block (a file, a
  // generator), so that a large run never sits in memory. A source that
  // fails or ends early changes nothing; the error is raised as FileError.
  void PasteFrom(const ByteSource& source, int64_t count);
  // Writes count bytes over those at position as one change Undo takes
  // back; the size, the cursor and the selection stay. False when refused
  // (no data there, the run would pass the end, or the gate said no).
  bool OverwriteBytes(int64_t position, const uint8_t* buffer, int64_t count);
  // OverwriteBytes with the bytes read from source block by block.
  bool OverwriteFrom(int64_t position, const ByteSource& source, int64_t count);
  // Copies up to count bytes from position; count tells how many arrived.
  // Throws "Invalid BufferFromFile argument" for a position outside the data.
  std::unique_ptr<uint8_t[]> BufferFromFile(int64_t position, int64_t& count);

  int64_t ChangeMarksLength() const { return changeMarks_.Length(); }
  const ChangeMarks& GetChangeMarks() const { return changeMarks_; }
  // Cuts the change marks to length when they are longer.
  void CutChangeMarks(int64_t length);
  void ClearChangeMarks() { changeMarks_.clear(); }

  // ---- undo and redo ----------------------------------------------------------
  void Undo();
  // Applies again the change the last Undo took back, with the cursor,
  // selection, change marks and Modified it left; nothing when there is none.
  void Redo();
  // Drops the undo and the redo history and tells the host at once.
  void ClearUndo();
  bool CanRedo() const { return redoCount_ > 0; }
  int RedoCount() const { return redoCount_; }
  // The redo records, oldest first, in the layout of the undo records.
  const std::vector<uint8_t>& RedoStream() const { return redoStream_; }
  const UndoSpill& SpilledRedo() const { return redoSpill_; }
  bool CanUndo() const { return canUndo_; }
  const std::string& UndoDescription() const { return undoDescription_; }
  int UndoCount() const { return undoCount_; }
  const std::vector<uint8_t>& UndoStream() const { return undoStream_; }
  // Removed or replaced runs longer than threshold bytes are kept on disk;
  // runs are moved through blocks of blockSize bytes.
  void SetEditLimits(int64_t spillThreshold, int64_t blockSize);
  const UndoSpill& SpilledUndo() const { return undoSpill_; }

  // ---- markers ----------------------------------------------------------------
  void SetMarker(uint8_t index, int64_t row);
  int64_t GetMarker(int index) const;
  int FindMarker(int64_t row) const;

  // ---- geometry -----------------------------------------------------------------
  int64_t CellToPosition(int col, int64_t row);
  GridCell PositionToCell(int64_t position, bool charField) const;
  int64_t RowOfPosition(int64_t position) const { return position / bytesPerLine_; }
  int64_t LineStart(int64_t row) const { return row * bytesPerLine_; }
  int CounterpartColumn(int col, bool* isChar = nullptr) const;
  bool GotoPosition(int64_t offset, int origin, bool strict);
  void UpdateColumnWidths();
  void UpdateOffsetColumnWidth();
  void UpdateGridSize();
  bool InCharField() const { return inCharField_; }
  int CharWidth() const { return charWidth_; }
  int LineHeight() const { return lineHeight_; }
  int OffsetChars() const { return offsetChars_; }
  // First column of the character field and the separator column.
  int SeparatorColumn() const { return 2 * bytesPerLine_ + 2; }
  int FirstCharColumn() const { return 2 * bytesPerLine_ + 3; }

  int BytesPerLine() const { return bytesPerLine_; }
  void SetBytesPerLine(int value);
  int BytesPerColumn() const { return bytesPerColumn2_ / 2; }
  void SetBytesPerColumn(int value);
  bool ShowMarkerColumn() const { return showMarkerColumn_; }
  void SetShowMarkerColumn(bool value);
  TOffsetDisplayStyle OffsetDisplay() const { return offsetDisplay_; }
  void SetOffsetDisplay(TOffsetDisplayStyle value);

  // ---- painting -------------------------------------------------------------------
  TColors& Colors() { return colors_; }
  const FontDesc& Font() const { return font_; }
  void SetFont(const FontDesc& font) { font_ = font; }
  bool FocusFrame() const { return focusFrame_; }
  void SetFocusFrame(bool value);
  char OffsetSeparator() const { return offsetSeparator_; }
  void SetOffsetSeparator(char value);
  bool SwapNibbles() const { return swapNibbles_ != 0; }
  void SetSwapNibbles(bool value);
  std::string OffsetText(int64_t row) const;
  void DrawCellText(Surface& surface, const std::string& text, Color textColor, Color backColor,
                    const Rect& rect);
  void ColorsChanged(bool background) override;
  // A comparison's marks: the bytes it marks are painted in the Diff
  // colours; null (the default) for none. Not owned.
  void SetDiffMarks(DiffMarks* marks);
  DiffMarks* GetDiffMarks() const { return diffMarks_; }
  // Whether the comparison marks the byte at position (asked per line).
  bool IsByteDiffering(int64_t position);
  // The byte at position is one of the file's that another program cut off
  // since it was opened: it is shown blank, and a save refuses.
  bool IsByteAbsent(int64_t position) const;

  // ---- character sets -----------------------------------------------------------
  TTranslationType Translation() const { return translation_; }
  void SetTranslation(TTranslationType value);
  char MaskChar() const { return maskChar_; }
  void SetMaskChar(char value);
  bool MaskWhiteSpaces() const { return maskWhiteSpaces_; }
  void SetMaskWhiteSpaces(bool value);
  uint8_t ByteToDisplayChar(uint8_t v) const;
  uint8_t CharToDataByte(uint8_t c) const;
  static void TextToDataBytes(TTranslationType set, const uint8_t* source, uint8_t* destination,
                              int64_t length);

  // ---- cursor, selection, insert state, caret ---------------------------------------
  int64_t CursorPosition();
  int64_t SelStart();
  void SetSelStart(int64_t value);
  int64_t SelEnd();
  void SetSelEnd(int64_t value);
  int64_t SelAnchor() const { return selAnchor_; }
  int64_t SelFrom() const { return selFrom_; }
  int64_t SelTo() const { return selTo_; }
  bool Selecting() const { return selecting_; }
  void SetSelecting(bool v) { selecting_ = v; }
  void ClearSelection(bool redraw);
  void ExtendSelection(int fromCol, int64_t fromRow, int toCol, int64_t toRow);
  bool IsSelected(int64_t position) const;
  void GetSelectionRange(int64_t& start, int64_t& endExclusive, int& col, int64_t& row);
  void InvalidatePositions(int64_t a, int64_t b);
  bool CanSelectCell(int col, int64_t row);
  void CreateEditorCaret();
  bool IsKeyDown(int vk) const;
  bool IsInsertMode() const { return insertState_ && allowInsertMode_ && !noSizeChange_; }
  bool InsertState() const { return insertState_; }
  void ToggleInsertState();

  bool AllowInsertMode() const { return allowInsertMode_; }
  void SetAllowInsertMode(bool value);
  // Whether, in insert mode, the cursor may stand on the cell just after the
  // last byte, so that typing there appends; off by default. With it, the
  // last byte's second digit moves the cursor there instead of appending a
  // zero byte.
  bool CursorAfterEnd() const { return cursorAfterEnd_; }
  void SetCursorAfterEnd(bool value);
  // The cursor may stand after the last byte now.
  bool EndCellAllowed() const { return cursorAfterEnd_ && IsInsertMode(); }
  bool NoSizeChange() const { return noSizeChange_; }
  void SetNoSizeChange(bool value);
  TCaretStyle CaretStyle() const { return caretStyle_; }
  void SetCaretStyle(TCaretStyle value);
  bool AutoCaretMode() const { return autoCaretMode_; }
  void SetAutoCaretMode(bool value);
  const CaretBitmap& GetCaretBitmap() const { return caretBitmap_; }

  // Host events.
  void FocusGained();
  void FocusLost();
  // After the host scrolled the grid (scroll bars, wheel).
  void Scrolled();
  // Scrolls by rows (wheel: three rows a notch), keeping the cursor.
  void ScrollRows(int rows);

  // ---- keys and mouse -------------------------------------------------------------
  void KeyDown(uint16_t& key, ShiftState shift);
  bool HandleNavigationKey(ShiftState shift, uint16_t key);
  void KeyUp(uint16_t& key, ShiftState shift);
  void MouseDown(MouseButton button, ShiftState shift, int x, int y);
  void MouseMove(ShiftState shift, int x, int y);
  void MouseUp(MouseButton button, ShiftState shift, int x, int y);
  std::function<void(uint16_t& key, ShiftState shift)> OnKeyDown;
  std::function<void(uint16_t& key, ShiftState shift)> OnKeyUp;

  // ---- typed bytes ------------------------------------------------------------------
  // A typed character, as a byte of the ANSI code page.
  void WMChar(uint8_t c);
  void OverwriteByte(uint8_t oldValue, uint8_t newValue, int64_t position, int64_t row);
  bool AltCodeTyped() const { return altCodeTyped_; }

  // ---- search -------------------------------------------------------------------------
  // The lowest q >= start (a negative start counts as 0) whose n bytes equal
  // the pattern and end at or before last (lowered to DataSize - 1); -1 when
  // there is none. The pattern is converted in place first: to data bytes of
  // the Translation when translate (nothing for ttAnsi), then lower-cased when
  // ignoreCase, where data bytes are lower-cased for the comparison too.
  // any: null, or n flags, 1 where the pattern byte matches any data byte.
  int64_t FindData(uint8_t* pattern, int64_t n, int64_t start, int64_t last, bool ignoreCase,
                   bool translate, const uint8_t* any = nullptr);
  // The highest q with first <= q <= start (first below 0 counts as 0) whose
  // n bytes match and lie in the data; -1 when there is none. The pattern is
  // converted in place as FindData converts it.
  int64_t FindDataBackward(uint8_t* pattern, int64_t n, int64_t start, int64_t first,
                           bool ignoreCase, bool translate, const uint8_t* any = nullptr);
  // How many matches lie between first and last, in one pass; overlapping
  // false skips those that overlap an earlier one (what ReplaceAll would
  // replace). The pattern is converted in place as FindData converts it.
  int64_t CountData(uint8_t* pattern, int64_t n, int64_t first, int64_t last, bool ignoreCase,
                    bool translate, const uint8_t* any, bool overlapping);
  // Converts a typed pattern to data bytes of the Translation (translate),
  // then lower-cases it (ignoreCase), as FindData does.
  void ConvertPattern(uint8_t* pattern, int64_t n, bool ignoreCase, bool translate) const;

  // ---- replace all ----------------------------------------------------------------------
  // Replaces every match of the (converted) pattern between first and last,
  // left to right and without overlaps, with the replacement bytes, in one
  // pass that builds the result as pieces (runs of the old content and the
  // new bytes); one undo record ("Whole content replaced") keeps the old
  // content as pieces. A stop from progress, no match, or a failure (raised
  // as FileError) changes nothing.
  ReplaceAllResult ReplaceAll(const ReplaceAllRequest& request,
                              const ReplaceProgress& progress = {});
  // The first and the largest block the search reads at a time (small ones in tests).
  void SetSearchBlocks(int64_t first, int64_t largest);

 protected:
  void DrawCell(Surface& surface, int col, int64_t row, const Rect& rect) override;
  bool SelectCell(int col, int64_t row) override;
  void TopLeftChanged() override;

 private:
  // document.cpp
  std::string MakeWorkFileName();
  bool ProbeFile(const std::string& path, bool& readOnly);
  bool EnsureWorkFileCreated(std::unique_ptr<FileStream>& stream);
  bool SaveTo(const std::string& path, bool withBackup);
  // A new name for private files in the working folder, created
  // exclusively and open as stream; false (errno, workFolderProblem_) when
  // none can be made.
  bool CreateWorkFile(std::string& name, std::unique_ptr<FileStream>& stream);
  // Makes doc, whose store is at name, the document: the old one's files go.
  void TakeDocument(std::unique_ptr<piece::PieceDocument> doc, const std::string& name);
  // After a save to path: the saved file becomes the base, the store empty.
  void RebaseOnSaved(const std::string& path, const FileIdentity& written);
  // recovery.cpp
  void NoteRecoveryState(const std::string& name, bool modified, bool readOnly);
  void SyncRecoveryRecord() { NoteRecoveryState(fileName_, modified_, readOnly_); }
  // undo.cpp
  void WriteUndoRecord(TChangeKind kind, int64_t position, int64_t count, int64_t oldLength);
  // Appends a record of the current state to stream, its bytes read from
  // position (into a file of spill when large); the stream is unchanged when
  // it throws.
  void AppendRecord(std::vector<uint8_t>& stream, UndoSpill& spill, TChangeKind kind,
                    int64_t position, int64_t count, int64_t oldLength);
  // False when the stream could not be walked and was emptied.
  static bool DropOldestRecord(std::vector<uint8_t>& stream, UndoSpill& spill);
  void DropOldestUndo();
  void DropNewestUndo(uint32_t length);
  // The undo history is empty; the host is told at once.
  void EndUndoHistory();
  void RestoreCursorState(const uint8_t* record);
  // The data bytes of the record that starts at start (in memory or on disk).
  ByteSource RecordData(const std::vector<uint8_t>& stream, UndoSpill& spill, size_t start);
  ByteSource RecordData(size_t start);
  void ForgetSpill(const std::vector<uint8_t>& stream, UndoSpill& spill, size_t start);
  void ForgetSpill(size_t start);
  void ApplyRecord(const uint8_t* fixed, const ByteSource& data);
  // Applies the newest record of from after writing its inverse at the end
  // of to; all or nothing, a failure raised as an edit error. The applied
  // record's length, still in from; 0 when it was not applied.
  uint32_t StepHistory(std::vector<uint8_t>& from, UndoSpill& fromSpill, std::vector<uint8_t>& to,
                       UndoSpill& toSpill);
  // redo.cpp
  static bool InverseOf(const uint8_t* fixed, TChangeKind& kind, int64_t& count,
                        int64_t& oldLength);
  void ClearRedo();
  // What a range edit puts back when it fails after its gate let it through.
  struct ChangeSavepoint {
    size_t undoSize;
    int undoCount;
    bool canUndo;
    bool modified;
    std::string undoDescription;
    ChangeMarks marks;
    bool hasMarks;
  };
  // withMarks false: for an edit that sets its marks only after its data went through.
  ChangeSavepoint SaveChange(bool withMarks = true) const;
  void RollbackChange(const ChangeSavepoint& savepoint);
  // An edit went through: the oldest record goes if there are too many.
  void CommitChange();
  // Formats a failure of the store for the user; rethrows as FileError.
  [[noreturn]] void RaiseEditError(const std::exception& error);
  // replace_all.cpp
  // Swaps the document with the version kept as id by a "Whole content
  // replaced" record, then restores the record's cursor state.
  void UndoContentReplaced(const uint8_t* fixed, int64_t position, UndoSpill& spill, uint64_t id);
  void StepContentReplaced(const uint8_t* fixed, std::vector<uint8_t>& from, UndoSpill& fromSpill,
                           size_t start, std::vector<uint8_t>& to, UndoSpill& toSpill,
                           int64_t count, int64_t oldLength);
  // data_splice.cpp
  // Replaces the removed bytes at position with count bytes of inserted, all
  // or nothing: on an error the document is put back before it is raised.
  void SpliceBytes(int64_t position, int64_t removed, const ByteSource& inserted, int64_t count);
  // The pieces of the document as read by sources and undo records.
  ByteSource PiecesSource(const piece::PieceTree& pieces);
  // DeleteRange's cursor and grid steps, for data whose size after the
  // removal was sizeAfter.
  void AfterRemoval(int64_t sizeAfter, int col, int64_t row);
  void DeleteRangeFrom(int64_t start, int64_t end, int col, int64_t row);
  void InsertFrom(const ByteSource& source, int64_t count, int64_t position);
  // edit_ranges.cpp: InsertBuffer from any source.
  void InsertBufferFrom(const ByteSource& source, int64_t count, int64_t position);
  // selection.cpp
  void InvalidateCounterpart(int col, int64_t row);
  // Rows for the data and, when allowed, the cell after it; with placeCursor
  // a cursor left past the data when that cell goes moves onto the last byte.
  void UpdateRowCount(bool placeCursor);

  FileSystem& files_;
  TColors colors_;
  FontDesc font_;

  // document
  std::string fileName_ = "---";
  std::string workFileName_;
  bool workFileCreated_ = false;
  std::unique_ptr<piece::PieceDocument> doc_;
  piece::RecoverProblem recoveryProblem_ = piece::RecoverProblem::None;
  std::unique_ptr<RecoveryRecord> recoveryRecord_;
  RecoveryInfo recorded_;
  bool recordCurrent_ = false;
  std::string recordFailedFor_;
  bool recoveryOffNotice_ = false;
  // Why the working copies' folder may not be used, when it may not.
  std::string workFolderProblem_;
  BackupFailure backupFailure_;
  std::string saveError_;
  std::vector<uint8_t> readWindow_;
  int64_t readWindowStart_ = -1;
  ChangeMarks changeMarks_;
  bool modified_ = false;
  uint64_t contentGeneration_ = 0;
  std::string loadError_;
  bool readOnly_ = true;
  bool createBackup_ = true;
  std::string backupExtension_ = ".bak";
  FileIdentity fileIdentity_;  // of FileName when loaded or last saved
  // What FileName led to when the user agreed to save over a changed file.
  std::optional<FileIdentity> acceptedIdentity_;

  // undo
  bool canUndo_ = false;
  std::vector<uint8_t> undoStream_;
  int undoCount_ = 0;
  std::string undoDescription_ = "No Undo";
  UndoSpill undoSpill_;
  int64_t undoSpillThreshold_ = kUndoSpillThreshold;
  int64_t moveBlockSize_ = 1 << 20;
  // A record was added by the gate of a range edit that has not finished.
  bool changePending_ = false;
  // The undo file of the "Whole content replaced" record being written.
  uint64_t contentSpillId_ = 0;

  // redo: the inverses of the undone records, and the change marks each
  // undo found
  std::vector<uint8_t> redoStream_;
  int redoCount_ = 0;
  UndoSpill redoSpill_;
  std::vector<ChangeMarks> redoMarks_;

  // markers
  std::array<int64_t, 10> markers_;

  // geometry
  int bytesPerLine_ = 16;
  int bytesPerColumn2_ = 4;
  int charWidth_ = -1;
  int lineHeight_ = 0;
  int offsetChars_ = -1;
  bool showMarkerColumn_ = true;
  TOffsetDisplayStyle offsetDisplay_ = odHex;
  bool inCharField_ = false;

  // painting and character sets
  bool focusFrame_ = true;
  char offsetSeparator_ = ':';
  int64_t swapNibbles_ = 0;
  // The comparison's marks and those of the line painted last, kept with
  // the line's bytes so that an edit of the line asks again.
  DiffMarks* diffMarks_ = nullptr;
  struct DiffLine {
    int64_t start = -1;
    int64_t size = -1;
    uint64_t generation = 0;
    std::vector<uint8_t> bytes, flags;
  } diffLine_;
  TTranslationType translation_ = ttAnsi;
  char maskChar_ = '.';
  bool maskWhiteSpaces_ = true;

  // cursor, selection, caret
  int64_t selAnchor_ = -1;
  int64_t selFrom_ = -1;
  int64_t selTo_ = -1;
  bool selecting_ = false;
  // Insert mode: the caret position (gap) where the current selection began.
  int64_t selOrigin_ = -1;
  bool insertState_ = false;
  bool allowInsertMode_ = false;
  bool cursorAfterEnd_ = false;
  bool noSizeChange_ = false;
  TCaretStyle caretStyle_ = csFull;
  bool autoCaretMode_ = true;
  CaretBitmap caretBitmap_;

  // typed bytes
  bool altCodeTyped_ = false;

  // search
  // Runs search over [first, last] of the data in the editor's search blocks,
  // reporting each match to sink.
  void ScanMatches(PatternSearch& search, int64_t first, int64_t last, MatchSink& sink);
  // What the searches beyond the read window read the data with, and in
  // which blocks.
  SearchReader DataReader();
  SearchOptions SearchBlocks() const;
  int64_t searchFirstBlock_ = 64 << 10;
  int64_t searchBlock_ = 1 << 20;
  std::vector<std::pair<const void*, std::function<void()>>> freeNotifications_;
};

}  // namespace bm
