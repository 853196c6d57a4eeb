// A surface whose text metrics follow the font size, recording what is drawn,
// and a printer of such pages that records its job.
#pragma once
#include <string>
#include <vector>

#include "platform/printer.h"
#include "platform/surface.h"

namespace bm::testing {

// Every character is as many pixels wide as the font has points; a text is
// heightPerPoint times the size high (at least 1). Records texts and fills.
class RecordingSurface : public Surface {
 public:
  struct Text {
    int x, y;
    Rect clip;
    std::string text;
    int size;  // the font size it was drawn in
  };

  double heightPerPoint = 1.5;
  int fontChanges = 0;

  void SetFont(const FontDesc& font) override {
    font_ = font;
    ++fontChanges;
  }
  const FontDesc& Font() const override { return font_; }
  int TextWidth(std::string_view text) override {
    return static_cast<int>(text.size()) * font_.Size();
  }
  int TextHeight(std::string_view) override;
  void SetTextColor(Color) override {}
  void SetBkColor(Color c) override { back = c; }
  void TextOutOpaqueClipped(int x, int y, const Rect& clip, std::string_view text) override {
    texts.push_back({x, y, clip, std::string(text), font_.Size()});
  }
  void TextOut(int x, int y, const Rect& clip, std::string_view text) override {
    texts.push_back({x, y, clip, std::string(text), font_.Size()});
  }
  void FrameRect(const Rect&, Color) override {}
  void DrawFocusRect(const Rect&) override {}
  void FillRect(const Rect& r, Color c) override { fills.push_back({r, c}); }

  struct Fill {
    Rect rect;
    Color color;
  };
  std::vector<Text> texts;
  std::vector<Fill> fills;
  Color back = 0;

 private:
  FontDesc font_;
};

// A printer with pages of a fixed size; each page is a RecordingSurface.
class FakePrinter : public Printer {
 public:
  int width = 2000, height = 2800;
  // BeginDoc fails with this message when not empty.
  std::string failure;

  int PageWidth() override { return width; }
  int PageHeight() override { return height; }
  void BeginDoc(const std::string& title) override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() const override { return printing; }
  Surface& Canvas() override { return pages.back(); }
  std::string OutputFileName() const override { return outputFile; }
  void SetOutputFileName(const std::string& path) override { outputFile = path; }

  std::vector<RecordingSurface> pages;
  std::vector<std::string> titles;
  bool printing = false;
  int ended = 0, aborted = 0;
  std::string outputFile;
};

}  // namespace bm::testing
