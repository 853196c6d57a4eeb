// The number edit's rules, headless: conversions between text and number,
// the validity test, the predicted texts of keys and clipboard actions, and
// the property setters that re-write the text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "numedit/number_edit.h"
#include "support/scripted_dialogs.h"

namespace bm {
namespace {

// The rules on a plain text with a selection.
class FakeEdit : public TNumberEditRules {
 public:
  std::string Text() const override { return text; }
  void SetText(const std::string& t) override {
    text = t;
    selStart = static_cast<int>(t.size());
    selLength = 0;
  }
  int SelStart() const override { return selStart; }
  int SelLength() const override { return selLength; }

  void Put(const std::string& t, int start, int length = 0) {
    text = t;
    selStart = start;
    selLength = length;
  }

  std::string text;
  int selStart = 0;
  int selLength = 0;
};

constexpr char kBackspace = 8;
constexpr char kCtrlC = 3;
constexpr char kCtrlV = 22;
constexpr char kCtrlX = 24;

TEST(NumberEditRulesTest, BaseChangesRewriteTheSameNumber) {
  FakeEdit e;
  e.SetValue(0);
  EXPECT_EQ(e.text, "0");
  e.SetText("FF");
  e.SetNumBase(ebDec);
  EXPECT_EQ(e.text, "255");
  e.SetNumBase(ebOct);
  EXPECT_EQ(e.text, "377");
  e.SetNumBase(ebBin);
  EXPECT_EQ(e.text, "11111111");
  e.SetNumBase(ebHex);
  EXPECT_EQ(e.text, "FF");
  e.SetNumBase(ebDec);
  e.SetText("007");
  e.SetValue(e.Value());
  EXPECT_EQ(e.text, "7") << "leading zeros go";
  e.SetText("");
  EXPECT_EQ(e.Value(), 0);
  e.SetValue(e.Value());
  EXPECT_EQ(e.text, "0");
}

TEST(NumberEditRulesTest, LongTextsWrapAtThirtyTwoBitsAndNegativeNumbersShowAsZero) {
  FakeEdit e;  // hex
  EXPECT_EQ(e.TextToValue("7FFFFFFF"), INT32_MAX);
  EXPECT_EQ(e.TextToValue("FFFFFFFF"), -1);
  EXPECT_EQ(e.TextToValue("123456789"), 0x23456789) << "the top digit wraps away";
  e.SetValue(-1);
  EXPECT_EQ(e.text, "0");
  e.SetNumBase(ebBin);
  e.SetValue(INT32_MAX);
  EXPECT_EQ(e.text, std::string(31, '1'));
  EXPECT_EQ(e.Value(), INT32_MAX);
  // The length is kept in a byte: 257 digits count as their first one.
  e.SetNumBase(ebDec);
  EXPECT_EQ(e.TextToValue("7" + std::string(256, '1')), 7);
}

TEST(NumberEditRulesTest, AcceptableTextsHoldOnlyDigitsOfTheBaseInRange) {
  FakeEdit e;
  EXPECT_TRUE(e.IsAcceptableText("0123456789ABCDEF"));
  EXPECT_FALSE(e.IsAcceptableText("f")) << "lower case is upper-cased before the test";
  EXPECT_FALSE(e.IsAcceptableText("1G"));
  EXPECT_FALSE(e.IsAcceptableText(" 1"));
  EXPECT_TRUE(e.IsAcceptableText(""));
  e.SetNumBase(ebOct);
  EXPECT_TRUE(e.IsAcceptableText("01234567"));
  EXPECT_FALSE(e.IsAcceptableText("8"));
  e.SetNumBase(ebBin);
  EXPECT_FALSE(e.IsAcceptableText("102"));
  // A text of 256 characters is tested whole, not skipped as empty.
  EXPECT_FALSE(e.IsAcceptableText(std::string(255, '1') + "Z"));
  EXPECT_TRUE(e.IsAcceptableText(std::string(300, '1')));

  e.SetNumBase(ebDec);
  e.SetMaxValue(100);
  e.SetMinValue(10);
  e.SetValidate(true);
  EXPECT_TRUE(e.IsAcceptableText("10"));
  EXPECT_TRUE(e.IsAcceptableText("100"));
  EXPECT_FALSE(e.IsAcceptableText("9"));
  EXPECT_FALSE(e.IsAcceptableText("101"));
  EXPECT_FALSE(e.IsAcceptableText("")) << "empty is 0, below the range";
}

TEST(NumberEditRulesTest, SettersClampAndRewriteWithValidate) {
  FakeEdit e;
  e.SetNumBase(ebDec);
  e.SetText("5");
  e.SetMinValue(10);
  EXPECT_EQ(e.text, "5") << "the range counts only with Validate";
  e.SetMaxValue(100);
  e.SetValidate(true);
  EXPECT_EQ(e.text, "10");
  e.SetValue(500);
  EXPECT_EQ(e.text, "100");
  e.SetMaxValue(50);
  EXPECT_EQ(e.text, "50");
  e.SetMinValue(-7);
  EXPECT_EQ(e.MinValue(), 0);
  e.SetMaxValue(-7);
  EXPECT_EQ(e.MaxValue(), 0);
  EXPECT_EQ(e.text, "0");
  e.SetValidate(false);
  e.SetValue(12345);
  EXPECT_EQ(e.text, "12345");
}

TEST(NumberEditRulesTest, TypedCharactersAreUpperCasedAndTestedOnTheirOutcome) {
  FakeEdit e;
  MemoryClipboard clip;
  e.Put("1", 1);
  EXPECT_EQ(e.KeyPress('f', clip), 'F');
  EXPECT_EQ(e.KeyPress('F', clip), 'F');
  EXPECT_EQ(e.KeyPress('g', clip), 0);
  for (char control : {'\r', '\x1b', '\t', '\x01', '\x1a', '\x7f', '\0'})
    EXPECT_EQ(e.KeyPress(control, clip), 0) << int(control);
  EXPECT_EQ(e.KeyPress(kBackspace, clip), kBackspace);

  e.SetNumBase(ebBin);
  e.Put("1", 1);
  EXPECT_EQ(e.KeyPress('2', clip), 0);
  EXPECT_EQ(e.KeyPress('1', clip), '1');
  EXPECT_EQ(e.KeyPress('0', clip), '0');

  // 50 in 10..100: a further 0 (500) and taking the 5 away (0) are refused.
  e.SetNumBase(ebDec);
  e.SetMaxValue(100);
  e.SetMinValue(10);
  e.SetValidate(true);
  e.Put("50", 2);
  EXPECT_EQ(e.KeyPress('0', clip), 0);
  e.Put("50", 1);
  EXPECT_EQ(e.KeyPress(kBackspace, clip), 0);
  e.Put("50", 0);
  EXPECT_FALSE(e.KeyDown(VK_DELETE, {}, clip));
  e.Put("50", 0, 1);  // the 5 selected
  EXPECT_EQ(e.KeyPress('9', clip), '9') << "typing replaces the selection: 90";
  EXPECT_EQ(e.KeyPress('0', clip), 0) << "00 is 0";
}

TEST(NumberEditRulesTest, ClipboardActionsAreTestedOnTheTextTheyLeave) {
  FakeEdit e;
  MemoryClipboard clip;
  e.SetNumBase(ebDec);
  e.Put("", 0);
  EXPECT_EQ(e.KeyPress(kCtrlV, clip), 0) << "no text on the clipboard";
  EXPECT_FALSE(e.KeyDown(VK_INSERT, {.shift = true}, clip));
  clip.SetText("1A");
  EXPECT_EQ(e.KeyPress(kCtrlV, clip), 0);
  clip.SetText("12");
  EXPECT_EQ(e.KeyPress(kCtrlV, clip), kCtrlV);
  EXPECT_TRUE(e.KeyDown(VK_INSERT, {.shift = true}, clip));

  // Over a whole selection the clipboard text is all that is left.
  e.Put("12345", 0, 5);
  clip.SetText("9");
  EXPECT_EQ(e.PredictedText(NumberEditAction::Paste, 0, "9"), "9");
  EXPECT_TRUE(e.Allows(NumberEditAction::Paste, clip));

  // Copy is always allowed; cut is tested like a deletion.
  e.SetMaxValue(100);
  e.SetMinValue(10);
  e.SetValidate(true);
  e.Put("50", 0, 1);
  clip.SetText("x");
  EXPECT_EQ(e.KeyPress(kCtrlC, clip), kCtrlC);
  EXPECT_TRUE(e.KeyDown(VK_INSERT, {.ctrl = true}, clip));
  EXPECT_EQ(e.KeyPress(kCtrlX, clip), 0);
  EXPECT_FALSE(e.KeyDown(VK_DELETE, {.shift = true}, clip));
  e.Put("100", 1, 1);
  EXPECT_EQ(e.KeyPress(kCtrlX, clip), kCtrlX) << "10 is in range";
  EXPECT_TRUE(e.KeyDown(VK_DELETE, {.shift = true}, clip));
  // Keys the rules have no test for pass.
  EXPECT_TRUE(e.KeyDown(VK_LEFT, {}, clip));
  EXPECT_TRUE(e.KeyDown(VK_INSERT, {}, clip));
}

// The predicted texts against the same edits made on a string.
TEST(NumberEditRulesTest, PredictedTextsMatchTheEditsTheyStandFor) {
  std::mt19937 rng(20261209);
  FakeEdit e;
  for (int step = 0; step < 5000; ++step) {
    std::string text(rng() % 12, '0');
    for (char& c : text) c = "0123456789ABCDEF"[rng() % 16];
    const int start = static_cast<int>(rng() % (text.size() + 1));
    const int length = static_cast<int>(rng() % (text.size() - start + 1));
    e.Put(text, start, length);
    const std::string clip = std::string(rng() % 3, '7');
    SCOPED_TRACE("step " + std::to_string(step) + " text " + text + " sel " +
                 std::to_string(start) + "+" + std::to_string(length));

    std::string typed = text, back = text, del = text, pasted = text;
    typed.replace(start, length, "5");
    pasted.replace(start, length, clip);
    if (length > 0) {
      back.erase(start, length);
      del.erase(start, length);
    } else {
      if (start > 0) back.erase(start - 1, 1);
      if (start < static_cast<int>(text.size())) del.erase(start, 1);
    }
    std::string cut = text;
    cut.erase(start, length);
    EXPECT_EQ(e.PredictedText(NumberEditAction::Typed, '5'), typed);
    EXPECT_EQ(e.PredictedText(NumberEditAction::Backspace), back);
    EXPECT_EQ(e.PredictedText(NumberEditAction::Delete), del);
    EXPECT_EQ(e.PredictedText(NumberEditAction::Cut), cut);
    EXPECT_EQ(e.PredictedText(NumberEditAction::Paste, 0, clip), pasted);
    EXPECT_EQ(e.PredictedText(NumberEditAction::Copy), text);
  }
}

// A descendant may replace the typed-character test.
TEST(NumberEditRulesTest, DescendantsReplaceTheCharacterTest) {
  class OnlyOnes : public FakeEdit {
   public:
    bool CanAcceptChar(char key) const override { return key == '1'; }
  };
  OnlyOnes e;
  MemoryClipboard clip;
  e.Put("", 0);
  EXPECT_EQ(e.KeyPress('1', clip), '1');
  EXPECT_EQ(e.KeyPress('2', clip), 0);
}

}  // namespace
}  // namespace bm
