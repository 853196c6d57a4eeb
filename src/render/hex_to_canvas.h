// THexToCanvas: renders the data of a bound editor as hex dump pages on any
// drawing surface (a printer page or an off-screen image), fitting the font to
// the width of the drawing area.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "editor/editor_types.h"
#include "platform/surface.h"
#include "platform/types.h"

namespace bm {

class TByteEditor;

class THexToCanvas {
 public:
  // Font sizes the fitting never leaves, in points.
  static constexpr int kMinFontSize = 1;
  static constexpr int kMaxFontSize = 1000;
  // Draw's result for a bad request and for a renderer without an editor.
  static constexpr int64_t kNoPage = -1;
  static constexpr int64_t kNoEditor = INT64_MAX;

  THexToCanvas() = default;
  ~THexToCanvas();
  THexToCanvas(const THexToCanvas&) = delete;
  THexToCanvas& operator=(const THexToCanvas&) = delete;

  // The editor whose data is drawn; not owned. The reference is cleared when
  // that editor is destroyed.
  TByteEditor* ByteEditor() const { return byteEditor_; }
  void SetByteEditor(TByteEditor* editor);

  const FontDesc& Font() const { return font_; }
  void SetFont(const FontDesc& font) { font_ = font; }
  int BytesPerLine() const { return bytesPerLine_; }
  void SetBytesPerLine(int v) { bytesPerLine_ = v; }
  int BytesPerColumn() const { return bytesPerColumn_; }
  void SetBytesPerColumn(int v) { bytesPerColumn_ = v; }
  TOffsetDisplayStyle OffsetDisplay() const { return offsetDisplay_; }
  void SetOffsetDisplay(TOffsetDisplayStyle v) { offsetDisplay_ = v; }
  char OffsetSeparator() const { return offsetSeparator_; }
  void SetOffsetSeparator(char v) { offsetSeparator_ = v; }
  TOffsetDisplayStyle MemFieldDisplay() const { return memFieldDisplay_; }
  void SetMemFieldDisplay(TOffsetDisplayStyle v) { memFieldDisplay_ = v; }
  char MemFieldSeparator() const { return memFieldSeparator_; }
  void SetMemFieldSeparator(char v) { memFieldSeparator_ = v; }
  bool DisplayCharField() const { return displayCharField_; }
  void SetDisplayCharField(bool v) { displayCharField_ = v; }
  char CharFieldSeparator() const { return charFieldSeparator_; }
  void SetCharFieldSeparator(char v) { charFieldSeparator_ = v; }
  bool ShrinkToFit() const { return shrinkToFit_; }
  void SetShrinkToFit(bool v) { shrinkToFit_ = v; }
  bool StretchToFit() const { return stretchToFit_; }
  void SetStretchToFit(bool v) { stretchToFit_ = v; }
  bool SwapNibbles() const { return swapNibbles_; }
  void SetSwapNibbles(bool v) { swapNibbles_ = v; }

  // The drawing area in the surface's units; the caller sets it before Draw.
  Rect DrawRect;

  // Takes the font and the layout of the bound editor; memory field in hex
  // followed by a blank, character field on, nothing after it.
  void AssignFromEditor();

  // The dump line whose first byte is at start; positions after last are
  // shown as blanks. Empty without an editor.
  std::string FormatLine(int64_t start, int64_t last);

  // Draws one page from the line at start, for data up to last, with the
  // header at the top and the footer at the bottom of DrawRect (empty: none).
  // Returns where the next page starts: last + 1 when the data ended on this
  // page; start when not one line fits; kNoPage for BytesPerLine < 1, a start
  // outside the data or last < start; kNoEditor without an editor.
  int64_t Draw(Surface& surface, int64_t start, int64_t last, const std::string& header,
               const std::string& footer);

 private:
  void FormatLineInto(std::string& line, int64_t start, int64_t last);
  // The byte at p, through a block buffer that lives for one Draw or FormatLine.
  uint8_t DataByte(int64_t p);
  void FitFont(Surface& surface, const std::string& line, int width);

  TByteEditor* byteEditor_ = nullptr;
  FontDesc font_;  // "Courier", 12 points
  int bytesPerLine_ = 16;
  int bytesPerColumn_ = 2;
  TOffsetDisplayStyle offsetDisplay_ = odHex;
  char offsetSeparator_ = ':';
  TOffsetDisplayStyle memFieldDisplay_ = odHex;
  char memFieldSeparator_ = ';';
  bool displayCharField_ = true;
  char charFieldSeparator_ = 0;
  bool shrinkToFit_ = true;
  bool stretchToFit_ = true;
  bool swapNibbles_ = false;

  std::vector<uint8_t> block_;
  int64_t blockStart_ = -1;
  int64_t blockLength_ = 0;
};

}  // namespace bm
