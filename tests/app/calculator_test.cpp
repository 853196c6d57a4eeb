// The calculator: its buttons and keys, the base choice, division by zero,
// the clipboard buttons and the F6 command that opens it.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "app/CalchHex.h"
#include "app/number_edit_control.h"
#include "app_fixture.h"
#include "platform/qt/qt_clipboard.h"

namespace bm::testing {
namespace {

class CalculatorTest : public AppTest {
 protected:
  THexCalc& Calc() { return *form->HexCalc(); }
  QString Display() { return Calc().NumberEdit1().text(); }
  QString Pending() { return Calc().findChild<QLabel*>(QStringLiteral("Panel1"))->text(); }

  QPushButton* CalcButton(int number) {
    auto* b = Calc().findChild<QPushButton*>(QStringLiteral("Button%1").arg(number));
    EXPECT_NE(b, nullptr) << number;
    return b;
  }
  // The button whose caption is the text ("1", "+", "=", "Сброс").
  QPushButton* Captioned(const char* caption) {
    for (QPushButton* b : Calc().findChildren<QPushButton*>())
      if (b->text() == U(caption)) return b;
    ADD_FAILURE() << caption;
    return nullptr;
  }
  // Clicks the buttons of the captions, one character a button.
  void Click(const char* captions) {
    for (const char* c = captions; *c; ++c) {
      const char one[2] = {*c, 0};
      QTest::mouseClick(Captioned(one), Qt::LeftButton);
    }
  }
  void ChooseBase(int item) {
    auto* radio = Calc().findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item%1").arg(item));
    ASSERT_NE(radio, nullptr);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    ASSERT_EQ(Calc().ItemIndex(), item);
  }
  // Types on the calculator's keyboard; the focus is on a button.
  void TypeOn(const char* text) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClicks(focus ? focus : &Calc(), QString::fromLatin1(text));
  }
  // Digit buttons enabled, as the captions "0123456789ABCDEF" read.
  QString EnabledDigits() {
    QString digits;
    for (const char* d = "0123456789ABCDEF"; *d; ++d) {
      const char one[2] = {*d, 0};
      if (Captioned(one)->isEnabled()) digits += QChar(*d);
    }
    return digits;
  }

  // Opens the calculator with F6 and runs the user's steps while it is
  // shown; the steps end by closing it, or the test closes it after them.
  void WithCalculatorOpen(const std::function<void()>& steps) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == form.get(); }));
    bool ran = false;
    QTimer::singleShot(0, form.get(), [&] {
      ran = true;
      EXPECT_TRUE(Calc().isVisible());
      // The offscreen platform does not activate a dialog by showing it.
      Calc().activateWindow();
      EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &Calc(); }));
      CalcButton(1)->setFocus();
      steps();
      if (Calc().isVisible()) Calc().reject();
    });
    Key(Qt::Key_F6);
    EXPECT_TRUE(ran) << "F6 did not open the calculator";
    EXPECT_FALSE(Calc().isVisible());
  }
};

TEST_F(CalculatorTest, ButtonsComputeWithOnePendingOperator) {
  Start();
  WithCalculatorOpen([&] {
    EXPECT_EQ(Display(), "0");
    Click("10+F=");
    EXPECT_EQ(Display(), "1F");
    EXPECT_EQ(Pending(), "");
    // The result is the next left operand; a digit after "=" starts anew.
    Click("*2=");
    EXPECT_EQ(Display(), "3E");
    Click("=");
    EXPECT_EQ(Display(), "3E") << "a second = repeats nothing";
    Click("5");
    EXPECT_EQ(Display(), "5");

    // Only the first operator counts; the others are no replacement.
    Click("+");
    Click("+");
    Click("-");
    EXPECT_EQ(Pending(), "+");
    Click("3=");
    EXPECT_EQ(Display(), "8");

    QTest::mouseClick(Captioned("Сброс"), Qt::LeftButton);
    EXPECT_EQ(Display(), "0");
    EXPECT_EQ(Calc().NumberEdit2().text(), "0");
    EXPECT_EQ(Pending(), "");
    QTest::mouseClick(Captioned("Закрыть"), Qt::LeftButton);
    EXPECT_FALSE(Calc().isVisible());
  });
}

TEST_F(CalculatorTest, KeyboardWorksInTheChosenBase) {
  Start();
  WithCalculatorOpen([&] {
    ChooseBase(3);  // Dec
    EXPECT_EQ(EnabledDigits(), "0123456789");
    CalcButton(22)->setFocus();
    TypeOn("3-5=");
    EXPECT_EQ(Display(), "0") << "a negative result shows as 0";
    TypeOn("12ab*3=");
    EXPECT_EQ(Display(), "36") << "letters are no digits in Dec";
    TypeOn("\\");
    EXPECT_EQ(Display(), "0");

    // The arrow keys move through the choice as well: Dec to Bin.
    auto* dec = Calc().findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item3"));
    dec->setFocus();
    QTest::keyClick(dec, Qt::Key_Left);
    ASSERT_EQ(Calc().ItemIndex(), 2);
    EXPECT_EQ(EnabledDigits(), "01");
    TypeOn("10291");
    EXPECT_EQ(Display(), "101");
    ChooseBase(1);  // Oct
    EXPECT_EQ(Display(), "5");
    EXPECT_EQ(EnabledDigits(), "01234567");
    TypeOn("789");
    EXPECT_EQ(Display(), "57");

    ChooseBase(0);  // Hex
    EXPECT_EQ(Display(), "2F");
    TypeOn("/0=");
    EXPECT_EQ(Display(), "0") << "0 is typed, the box comes on =";
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "На ноль делить нельзя !!!");
    EXPECT_EQ(dialogs.messages[0].caption, "");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(Pending(), "/") << "the operator stays pending";
    TypeOn("3=");
    EXPECT_EQ(Display(), "F");
    TypeOn("ff");
    EXPECT_EQ(Display(), "FF");
    ChooseBase(3);
    EXPECT_EQ(Display(), "255");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(Calc().isVisible());
  });
  // Esc is a close like any other: the value stays for the next opening.
  EXPECT_EQ(form->CalcValue(), 255);
  WithCalculatorOpen([&] {
    EXPECT_EQ(Display(), "255");
    EXPECT_EQ(Calc().ItemIndex(), 3) << "the base stays between openings";
  });
}

TEST_F(CalculatorTest, ResultGoesToTheClipboardLeastSignificantByteFirst) {
  Start();
  WithCalculatorOpen([&] {
    Click("1234");
    ChooseBase(3);
    QTest::mouseClick(CalcButton(24), Qt::LeftButton);
    EXPECT_EQ(clipboard.Text(), "\x34\x12");
    EXPECT_EQ(Calc().ItemIndex(), 0) << "the buttons switch to Hex";
    EXPECT_EQ(EnabledDigits(), "0123456789ABCDEF");
    QTest::mouseClick(Captioned("Сброс"), Qt::LeftButton);
    Click("123");
    QTest::mouseClick(CalcButton(24), Qt::LeftButton);
    EXPECT_EQ(clipboard.Text(), "\x23\x01");
    QTest::mouseClick(Captioned("Сброс"), Qt::LeftButton);
    QTest::mouseClick(CalcButton(24), Qt::LeftButton);
    EXPECT_TRUE(clipboard.HasText());
    EXPECT_EQ(clipboard.Text(), "") << "a zero byte first: the text is empty";

    // Digits beyond 32 bits are re-written first: four bytes at most.
    Click("123456789");
    QTest::mouseClick(CalcButton(24), Qt::LeftButton);
    EXPECT_EQ(clipboard.Text(), "\x89\x67\x45\x23");
    EXPECT_EQ(Display(), "23456789");

    clipboard.SetText("\x34\x12");
    ChooseBase(2);
    QTest::mouseClick(CalcButton(25), Qt::LeftButton);
    EXPECT_EQ(Display(), "1234");
    EXPECT_EQ(EnabledDigits(), "0123456789ABCDEF");
    clipboard.SetText("\x01\x02\x03\x04\x05");
    QTest::mouseClick(CalcButton(25), Qt::LeftButton);
    EXPECT_EQ(Display(), "4030201") << "four bytes at most";
    clipboard.SetText("\xFF\xFF\xFF\x7F");
    QTest::mouseClick(CalcButton(25), Qt::LeftButton);
    EXPECT_EQ(Display(), "7FFFFFFF");
    clipboard.SetText("\x01\x00\x00\x80");
    QTest::mouseClick(CalcButton(25), Qt::LeftButton);
    EXPECT_EQ(Display(), "1") << "the text ends at its zero byte";
    clipboard.SetText("\x01\x01\x01\x80");
    QTest::mouseClick(CalcButton(25), Qt::LeftButton);
    EXPECT_EQ(Display(), "0") << "2^31 and above are negative and show as 0";
    clipboard.Clear();
    QTest::mouseClick(CalcButton(25), Qt::LeftButton);
    EXPECT_EQ(Display(), "0");
  });
}

// The system clipboard carries the bytes as Windows-1251 text; each byte
// comes back as it went, the one without a character as well.
TEST(CalculatorClipboardTest, EveryByteSurvivesTheSystemClipboard) {
  QtClipboard clip;
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  clip.SetText(all);
  EXPECT_EQ(clip.Text(), all);

  ScriptedDialogs dialogs;
  THexCalc calc(dialogs, clip);
  calc.show();
  for (const char* hex : {"98FF", "8180", "C0FFEE", "1"}) {
    calc.NumberEdit1().SetText(hex);
    QTest::mouseClick(calc.findChild<QPushButton*>(QStringLiteral("Button24")), Qt::LeftButton);
    calc.NumberEdit1().SetText("0");
    QTest::mouseClick(calc.findChild<QPushButton*>(QStringLiteral("Button25")), Qt::LeftButton);
    EXPECT_EQ(calc.NumberEdit1().text().toStdString(), hex);
  }
  calc.NumberEdit1().SetText("0");
  QTest::mouseClick(calc.findChild<QPushButton*>(QStringLiteral("Button24")), Qt::LeftButton);
  EXPECT_EQ(clip.Text(), "");
}

TEST_F(CalculatorTest, OverflowWrapsAndTheLowestNumberDividesWithoutATrap) {
  Start();
  WithCalculatorOpen([&] {
    Click("7FFFFFFF+1=");
    EXPECT_EQ(Display(), "0") << "the wrapped sum is negative";
    // The display takes more digits than 32 bits hold; its number wraps.
    Click("100000001*3=");
    EXPECT_EQ(Display(), "3");
    Click("80000000/");
    Click("FFFFFFFF=");
    EXPECT_EQ(Display(), "0");
    EXPECT_EQ(Pending(), "");
  });
}

}  // namespace
}  // namespace bm::testing
