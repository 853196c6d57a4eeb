// Defaults and property setters of TByteEditor.
#include <gtest/gtest.h>

#include <functional>

#include "editor/byte_editor.h"
#include "support/fake_host.h"

namespace bm {
namespace {

class PropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override { host.client = &ed; }
  int Posted() {
    const int n = static_cast<int>(host.queue.size());
    host.queue.clear();
    return n;
  }

  testing::FakeWindowHost host;
  TByteEditor ed{&host};
};

TEST_F(PropertiesTest, FreshControlDefaults) {
  EXPECT_EQ(ed.FileName(), "---");
  EXPECT_EQ(ed.CharWidth(), -1);
  EXPECT_EQ(ed.OffsetChars(), -1);
  EXPECT_EQ(ed.ColCount(), 51);
  EXPECT_EQ(ed.RowCount(), 1);
  EXPECT_EQ(ed.BytesPerLine(), 16);
  EXPECT_EQ(ed.BytesPerColumn(), 2);
  EXPECT_EQ(ed.Translation(), ttAnsi);
  EXPECT_EQ(ed.OffsetDisplay(), odHex);
  EXPECT_EQ(ed.OffsetSeparator(), ':');
  EXPECT_EQ(ed.MaskChar(), '.');
  EXPECT_TRUE(ed.MaskWhiteSpaces());
  EXPECT_TRUE(ed.ShowMarkerColumn());
  EXPECT_TRUE(ed.FocusFrame());
  EXPECT_FALSE(ed.SwapNibbles());
  EXPECT_EQ(ed.CaretStyle(), csFull);
  EXPECT_TRUE(ed.AutoCaretMode());
  EXPECT_FALSE(ed.AllowInsertMode());
  EXPECT_FALSE(ed.NoSizeChange());
  EXPECT_FALSE(ed.InsertState());
  EXPECT_TRUE(ed.CreateBackup());
  EXPECT_EQ(ed.BackupExtension(), ".bak");
  EXPECT_EQ(ed.GridLineWidth(), 0);
  EXPECT_EQ(ed.FixedCols(), 2);
  EXPECT_EQ(ed.ControlColor(), clWindow);
  EXPECT_EQ(ed.Font().name, "Courier");
  EXPECT_EQ(ed.Font().Size(), 12);
  EXPECT_EQ(ed.SelAnchor(), -1);
  EXPECT_FALSE(ed.Selecting());
  for (int i = 0; i < 10; ++i) EXPECT_EQ(ed.FindMarker(i), -1);

  ed.WindowCreated();  // starts the first document
  EXPECT_EQ(ed.FileName(), "Untitled");
  EXPECT_EQ(ed.CharWidth(), 8);
  EXPECT_EQ(ed.Col(), 2);
  EXPECT_EQ(ed.Row(), 0);

  ed.SetBytesPerColumn(2);
  EXPECT_EQ(ed.BytesPerColumn(), 2);
  ed.SetBytesPerColumn(4);
  EXPECT_EQ(ed.BytesPerColumn(), 4);
}

TEST_F(PropertiesTest, PlainSettersRepaintOnlyOnChange) {
  ed.Loaded();
  struct Case {
    const char* name;
    std::function<void()> same, other;
  } cases[] = {
      {"FocusFrame", [&] { ed.SetFocusFrame(true); }, [&] { ed.SetFocusFrame(false); }},
      {"OffsetSeparator", [&] { ed.SetOffsetSeparator(':'); }, [&] { ed.SetOffsetSeparator('-'); }},
      {"SwapNibbles", [&] { ed.SetSwapNibbles(false); }, [&] { ed.SetSwapNibbles(true); }},
      {"BytesPerColumn", [&] { ed.SetBytesPerColumn(2); }, [&] { ed.SetBytesPerColumn(1); }},
      {"OffsetDisplay", [&] { ed.SetOffsetDisplay(odHex); }, [&] { ed.SetOffsetDisplay(odDec); }},
      {"CursorFrame", [&] { ed.Colors().SetCursorFrame(0x800000); },
       [&] { ed.Colors().SetCursorFrame(0x123456); }},
  };
  for (const Case& c : cases) {
    host.ClearInvalidations();
    c.same();
    EXPECT_EQ(host.invalidateAllCount, 0) << c.name;
    c.other();
    EXPECT_GT(host.invalidateAllCount, 0) << c.name;
  }
  EXPECT_EQ(ed.OffsetSeparator(), '-');
  EXPECT_TRUE(ed.SwapNibbles());

  // The background colour is also the control's own colour.
  host.ClearInvalidations();
  ed.Colors().SetBackground(0x00FF00);
  EXPECT_EQ(ed.ControlColor(), 0x00FF00u);
  EXPECT_GT(host.invalidateAllCount, 0);
  ed.Colors().SetOddColumn(0x000000);
  EXPECT_EQ(ed.Colors().OddColumnInverse(), 0xFFFFFFu);
  EXPECT_EQ(InvertColor(clWindow), 0xFFFFFAu);
}

TEST_F(PropertiesTest, InsertModeSwitchesAndCaretStyle) {
  ed.Loaded();
  Posted();
  ed.SetAllowInsertMode(true);
  EXPECT_TRUE(ed.AllowInsertMode());
  EXPECT_EQ(Posted(), 1);
  ed.SetAllowInsertMode(true);  // always runs
  EXPECT_EQ(Posted(), 1);

  ed.SetNoSizeChange(true);
  EXPECT_FALSE(ed.AllowInsertMode());
  ed.SetAllowInsertMode(true);
  EXPECT_FALSE(ed.AllowInsertMode());
  ed.SetNoSizeChange(false);
  EXPECT_FALSE(ed.AllowInsertMode());  // not turned back on
  ed.SetAllowInsertMode(true);
  EXPECT_TRUE(ed.AllowInsertMode());

  // AutoCaretMode follows the insert mode, CaretStyle without the focus only
  // stores.
  ed.SetCaretStyle(csBottomLine);
  EXPECT_FALSE(host.caretExists);
  ed.SetAutoCaretMode(true);
  EXPECT_EQ(ed.CaretStyle(), csFull);
  ed.ToggleInsertState();
  EXPECT_TRUE(ed.IsInsertMode());
  EXPECT_EQ(ed.CaretStyle(), csLeftLine);
  ed.SetAutoCaretMode(false);
  ed.ToggleInsertState();
  EXPECT_EQ(ed.CaretStyle(), csLeftLine);  // no longer automatic
  EXPECT_FALSE(ed.AutoCaretMode());

  // With the focus a new style rebuilds the caret, parked until painted.
  host.focused = true;
  host.ClearInvalidations();
  host.caretPos = {1, 1};
  ed.SetCaretStyle(csBottomLine);
  EXPECT_TRUE(host.caretExists);
  EXPECT_TRUE(host.caretVisible);
  EXPECT_EQ(host.caretPos, (Point{-50, -50}));
  EXPECT_GT(host.invalidateAllCount, 0);
  EXPECT_EQ(host.caretShape.width, 8);
  EXPECT_EQ(host.caretShape.height, 14);
  host.ClearInvalidations();
  ed.SetCaretStyle(csBottomLine);
  EXPECT_EQ(host.invalidateAllCount, 0);
}

}  // namespace
}  // namespace bm
