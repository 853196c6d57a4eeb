// Insert mode as the user allows it from the View menu, and the main
// window's numbers past 4 GiB: status texts, Go to and the step amount.
#include <QLabel>
#include <QStatusBar>
#include <unistd.h>

#include "app/number_syntax.h"
#include "app/settings.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

constexpr int64_t kGiB = int64_t{1} << 30;

std::string DataOf(TByteEditor& ed) {
  std::string data(static_cast<size_t>(ed.DataSize()), '\0');
  ed.ReadBytes(data.data(), 0, ed.DataSize());
  return data;
}

TEST(InputNumberTest, PositionsAndStepsReadSixtyFourBits) {
  EXPECT_EQ(ParseInputPosition("$240000000"), 9 * kGiB);
  EXPECT_EQ(ParseInputPosition("0x80000000"), 2 * kGiB) << "a position is never negative";
  EXPECT_EQ(ParseInputPosition("9663676416"), 9 * kGiB);
  EXPECT_EQ(ParseInputPosition("$7FFFFFFFFFFFFFFF"), INT64_MAX);
  EXPECT_EQ(ParseInputPosition("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseInputPosition("-9223372036854775808"), INT64_MIN);
  for (const char* bad : {"$8000000000000000", "$12345678901234567", "9223372036854775808",
                          "-9223372036854775809", "$", "1 ", "$1G"})
    EXPECT_EQ(ParseInputPosition(bad), std::nullopt) << bad;

  // Up to eight digits a step keeps its 32-bit pattern, so negative steps
  // read as before; longer ones are 64-bit patterns.
  EXPECT_EQ(ParseInputStep("$FFFFFFF0"), -16);
  EXPECT_EQ(ParseInputStep("$80000000"), INT32_MIN);
  EXPECT_EQ(ParseInputStep("$100000000"), 4 * kGiB);
  EXPECT_EQ(ParseInputStep("$FFFFFFFFFFFFFFF0"), -16);
  EXPECT_EQ(ParseInputStep("-5368709120"), -5 * kGiB);
  EXPECT_EQ(ParseInputStep("$12345678901234567"), std::nullopt);
}

TEST_F(AppTest, StatusGoToAndStepsPastFourGiB) {
  // A sparse file of 5 GiB, opened in place.
  const std::string path = WriteCounting("data.bin", 64);
  ASSERT_EQ(::truncate(path.c_str(), 5 * kGiB), 0);
  Start({path});
  Settle();

  dialogs.AnswerInput("$120000000");
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Editor().CursorPosition(), 0x120000000);
  EXPECT_EQ(form->PanelText(0), U("Смещение Dec: 4831838208 Hex: 120000000"));
  EXPECT_EQ(form->PanelText(4), U("Размер файла : 5368709120"));
  const auto panels = form->statusBar()->findChildren<QLabel*>();
  for (QLabel* panel : panels)
    EXPECT_GE(panel->width(), panel->sizeHint().width()) << panel->text().toStdString();
  Select(0x120000000, 0x13FFFFFFF);
  EXPECT_EQ(form->PanelText(1), U("Выделено : 4831838208 - 5368709119"));

  // Beyond the data Go to still says so.
  const size_t errors = dialogs.messages.size();
  dialogs.AnswerInput("$140000000");
  Key(Qt::Key_A, Qt::ControlModifier);
  ASSERT_EQ(dialogs.messages.size(), errors + 1);
  EXPECT_EQ(dialogs.messages.back().text, "Invalid position");

  // A step of 4 GiB, forward and back, exact to the byte.
  dialogs.AnswerInput("$100000000");
  form->Amount40001Click();
  EXPECT_EQ(form->JumpAmount(), 4 * kGiB);
  form->Jump1Click();
  EXPECT_EQ(Item("Amount40001")->text(), U("Шаг на, байт : 0x100000000 (4294967296)"));
  Editor().SetSelStart(5);
  Key(Qt::Key_F4);
  EXPECT_EQ(Editor().CursorPosition(), 4 * kGiB + 5);
  Key(Qt::Key_F5);
  EXPECT_EQ(Editor().CursorPosition(), 5);
}

TEST_F(AppTest, InsertModeIsAllowedFromTheViewMenuAndRemembered) {
  Start({WriteFile("doc.bin", "ABCD")});
  QAction* allow = Item("AllowInsert1");
  EXPECT_TRUE(allow->isCheckable());
  EXPECT_FALSE(allow->isChecked());
  EXPECT_EQ(form->statusBar()->findChildren<QLabel*>().size(), 5) << "no insert panel yet";
  // Off, Insert changes nothing the user sees: typing overwrites.
  Key(Qt::Key_Insert);
  Type("61");
  EXPECT_EQ(DataOf(Editor()), "aBCD");
  Key(Qt::Key_Insert);

  allow->trigger();
  Settle();
  EXPECT_TRUE(Editor().AllowInsertMode());
  EXPECT_TRUE(settings::Flag(settings::kAllowInsert, false));
  auto* panel = form->statusBar()->findChild<QLabel*>("InsertPanel");
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(form->PanelText(5), U("Замена"));
  Key(Qt::Key_Insert);
  EXPECT_EQ(form->PanelText(5), U("Вставка"));
  EXPECT_EQ(Editor().CaretStyle(), csLeftLine);

  // Two digits insert one byte before the cursor's byte.
  Editor().SetSelStart(0);
  Type("41");
  EXPECT_EQ(DataOf(Editor()), "AaBCD");
  EXPECT_EQ(Editor().CursorPosition(), 1);
  // After the last byte typing appends, with no byte of its own in between.
  Key(Qt::Key_End, Qt::ControlModifier);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  EXPECT_EQ(Editor().CursorPosition(), 5);
  EXPECT_EQ(form->PanelText(0), U("Смещение Dec: 5 Hex: 000005"));
  Type("4546");
  EXPECT_EQ(DataOf(Editor()), "AaBCDEF");
  EXPECT_EQ(Editor().CursorPosition(), 7);
  Key(Qt::Key_Tab);  // the character field appends as well
  Type("gh");
  EXPECT_EQ(DataOf(Editor()), "AaBCDEFgh");
  // Backspace takes the byte before the cursor, Delete the one under it.
  Key(Qt::Key_Backspace);
  EXPECT_EQ(DataOf(Editor()), "AaBCDEFg");
  EXPECT_EQ(Editor().CursorPosition(), 8);
  Editor().SetSelStart(1);
  Key(Qt::Key_Delete);
  EXPECT_EQ(DataOf(Editor()), "ABCDEFg");
  Key(Qt::Key_Backspace);
  EXPECT_EQ(DataOf(Editor()), "BCDEFg");
  EXPECT_EQ(Editor().CursorPosition(), 0);

  // Overwrite mode again, then the choice switched off: the cursor leaves
  // the cell after the data and the panel goes.
  Key(Qt::Key_Insert);
  EXPECT_EQ(form->PanelText(5), U("Замена"));
  Key(Qt::Key_Insert);
  Key(Qt::Key_End, Qt::ControlModifier);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  allow->trigger();
  Settle();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(Editor().IsInsertMode());
  EXPECT_EQ(Editor().CursorPosition(), 5);
  EXPECT_EQ(Editor().CaretStyle(), csFull);
  EXPECT_FALSE(settings::Flag(settings::kAllowInsert, true));

  // A new window starts with the remembered choice.
  allow->trigger();
  Settle();
  Editor().NewDocument("Untitled");
  form.reset();
  Start({WriteFile("other.bin", "xy")});
  EXPECT_TRUE(Item("AllowInsert1")->isChecked());
  EXPECT_TRUE(Editor().AllowInsertMode());
  auto* again = form->statusBar()->findChild<QLabel*>("InsertPanel");
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->isVisible());
}

}  // namespace
}  // namespace bm::testing
