// The Edit menu's commands in the main window: undo, the clipboard as text,
// Go to, the step amount and the steps.
#include <QMenu>

#include "app/number_syntax.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

TEST(InputNumberTest, DecimalAndHexadecimalForms) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  };
  const Case cases[] = {
      {"16", 16},           {"$10", 16},          {"0x10", 16},
      {"0X10", 16},         {" 16", 16},          {"  $1f", 31},
      {"+7", 7},            {"-16", -16},         {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},                   {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},                 {"0007", 7},
      {"16 ", std::nullopt},                      {"", std::nullopt},
      {"   ", std::nullopt}, {"$", std::nullopt}, {"$123456789", std::nullopt},
      {"2147483648", std::nullopt},               {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},     {"-$10", std::nullopt},
      {"+", std::nullopt},  {"1e3", std::nullopt}, {" 0x10", std::nullopt},
      {"$1G", std::nullopt}, {"0x", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseInputNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST_F(AppTest, CopyCutPasteAndUndoThroughTheClipboardAsText) {
  Start({WriteFile("doc.bin", std::string("\x41\x42\x00\x43\x44\x45", 6))});
  Select(0, 3);
  Key(Qt::Key_Insert, Qt::ControlModifier);  // Copy
  EXPECT_TRUE(clipboard.HasText());
  EXPECT_EQ(clipboard.Text(), "AB") << "the text ends at the first zero byte";
  EXPECT_EQ(Editor().DataSize(), 6);
  EXPECT_EQ(Editor().SelLength(), 4);

  // Cut bytes 3..4 ("CD"): they go to the clipboard and out of the data.
  Select(4, 3);
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(clipboard.Text(), "CD");
  EXPECT_EQ(Editor().DataSize(), 4);
  EXPECT_EQ(Editor().ReadByte(3), 'E');

  // Paste over a selection replaces it and selects what came in.
  clipboard.SetText("xyz");
  Select(0, 1);
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Editor().DataSize(), 5);
  std::string data(5, '\0');
  Editor().ReadBytes(data.data(), 0, 5);
  EXPECT_EQ(data, std::string("xyz\0E", 5));
  EXPECT_EQ(Editor().SelLength(), 3);

  // Alt+Backspace undoes the paste, then the cut.
  Key(Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(Editor().DataSize(), 4);
  EXPECT_EQ(Editor().ReadByte(0), 'A');
  Key(Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(Editor().DataSize(), 6);
  EXPECT_EQ(Editor().ReadByte(3), 'C');
}

TEST_F(AppTest, CutAndPasteCarryEveryByteWhileTheTextStopsAtTheFirstZero) {
  const std::string bytes("\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00\x01\x02\x00\xFF\x41\x42\x00\x43", 17);
  Start({WriteFile("zeros.bin", bytes + "tail")});
  Select(0, 16);
  Key(Qt::Key_Delete, Qt::ShiftModifier);  // Cut
  EXPECT_EQ(Editor().DataSize(), 4);
  EXPECT_EQ(clipboard.Text(), bytes.substr(0, 8)) << "other programs get the text";
  Key(Qt::Key_Insert, Qt::ShiftModifier);  // Paste
  std::string data(21, '\0');
  ASSERT_EQ(Editor().DataSize(), 21);
  Editor().ReadBytes(data.data(), 0, 21);
  EXPECT_EQ(data, bytes + "tail");

  // A selection that starts with a zero byte still copies and pastes whole.
  Select(8, 11);
  form->Kopieren1Click();
  Select(17, 17);
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  ASSERT_EQ(Editor().DataSize(), 24);
  Editor().ReadBytes(data.data() + 17, 17, 4);
  EXPECT_EQ(data.substr(17, 4), std::string("\x00\x01\x02\x00", 4));
}


TEST_F(AppTest, CopyOfALargeSelectionStopsAtItsFirstZeroByte) {
  std::string bytes(3 << 20, 'q');
  bytes[(2 << 20) + 5] = '\0';
  Start({WriteFile("big.bin", bytes)});
  Select(1, static_cast<int32_t>(bytes.size()) - 1);
  form->Kopieren1Click();
  EXPECT_EQ(clipboard.Text().size(), static_cast<size_t>((2 << 20) + 4));
  EXPECT_EQ(clipboard.Bytes().size, bytes.size() - 1) << "the exact bytes are all there";
}

TEST_F(AppTest, GotoTakesTheInputSyntaxAndRefusesPositionsOutsideTheData) {
  Start({WriteCounting("data.bin", 100)});
  struct Case {
    const char* text;
    int32_t landsOn;  // -1: "Invalid position"
  };
  const Case cases[] = {{"$10", 16}, {"0x11", 17}, {"0X12", 18}, {" 19", 19}, {"99", 99},
                        {"20 ", -1}, {"100", -1}, {"-1", -1},   {"abc", -1}};
  for (const Case& c : cases) {
    Editor().SetSelStart(5);
    Settle();
    const size_t errors = dialogs.messages.size();
    dialogs.AnswerInput(c.text);
    Key(Qt::Key_A, Qt::ControlModifier);
    ASSERT_FALSE(dialogs.inputs.empty());
    EXPECT_EQ(dialogs.inputs.back().caption, "Перейти по адресу...");
    EXPECT_EQ(dialogs.inputs.back().prompt, "($ - HEX)");
    EXPECT_EQ(dialogs.inputs.back().initial, "5");
    if (c.landsOn >= 0) {
      EXPECT_EQ(Editor().CursorPosition(), c.landsOn) << c.text;
      EXPECT_EQ(dialogs.messages.size(), errors) << c.text;
    } else {
      EXPECT_EQ(Editor().CursorPosition(), 5) << c.text;
      ASSERT_EQ(dialogs.messages.size(), errors + 1) << c.text;
      EXPECT_EQ(dialogs.messages.back().text, "Invalid position");
    }
  }
  // Cancelled: nothing moves, nothing is said.
  dialogs.CancelInput();
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Editor().CursorPosition(), 5);
}

TEST_F(AppTest, StepsUseTheAmountAndStopAtTheEnds) {
  Start({WriteCounting("data.bin", 1000)});
  auto* jump = form->findChild<QMenu*>("Jump1");
  ASSERT_NE(jump, nullptr);
  EXPECT_EQ(Item("Amount40001")->text(), U(" &На байт: 100"));
  form->Jump1Click();
  EXPECT_EQ(Item("Amount40001")->text(), U("Шаг на, байт : 0x0100 (256)"));

  Key(Qt::Key_F4);
  EXPECT_EQ(Editor().CursorPosition(), 256);
  Key(Qt::Key_F4);
  Key(Qt::Key_F4);
  EXPECT_EQ(Editor().CursorPosition(), 768);
  Key(Qt::Key_F4);
  EXPECT_EQ(Editor().CursorPosition(), 999) << "a step past the end stops on the last byte";
  Button(7)->click();
  Settle();
  EXPECT_EQ(Editor().CursorPosition(), 743);

  // A negative amount turns the directions round; an invalid one is ignored.
  dialogs.AnswerInput("-$10");
  form->Amount40001Click();
  EXPECT_EQ(form->JumpAmount(), 256);
  dialogs.AnswerInput("-16");
  form->Amount40001Click();
  EXPECT_EQ(dialogs.inputs.back().caption, "Редактор смещения на шаг");
  EXPECT_EQ(dialogs.inputs.back().prompt, "Новое смещение шага, байт ($ - HEX):");
  EXPECT_EQ(dialogs.inputs.back().initial, "256");
  EXPECT_EQ(form->JumpAmount(), -16);
  form->Jump1Click();
  EXPECT_EQ(Item("Amount40001")->text(), U("Шаг на, байт : 0xFFFFFFF0 (-16)"));
  Key(Qt::Key_F4);
  EXPECT_EQ(Editor().CursorPosition(), 727);
  Editor().SetSelStart(3);
  Settle();
  Key(Qt::Key_F4);
  EXPECT_EQ(Editor().CursorPosition(), 0);

  // The most negative amount steps backward as far as the data allows.
  dialogs.AnswerInput("$80000000");
  form->Amount40001Click();
  Editor().SetSelStart(500);
  Settle();
  Key(Qt::Key_F5);
  EXPECT_EQ(Editor().CursorPosition(), 999);
}

}  // namespace
}  // namespace bm::testing
