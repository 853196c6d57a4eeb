// The calculator: its buttons and keys, the base choice, division by zero,
// the clipboard buttons and the F6 command that opens it.
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/CalchHex.h"
#include "app/number_edit_control.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

class CalculatorTest : public AppTest {
 protected:
  THexCalc& Calc() { return *form->HexCalc(); }
  QString Display() { return Calc().NumberEdit1().text(); }

  // Opens the calculator with F6 and runs the user's steps while it is
  // shown; the steps end by closing it.
  void WithCalculatorOpen(const std::function<void()>& steps) {
    bool ran = false;
    QTimer::singleShot(0, form.get(), [&] {
      ran = true;
      EXPECT_TRUE(Calc().isVisible());
      steps();
      if (Calc().isVisible()) Calc().reject();
    });
    Key(Qt::Key_F6);
    EXPECT_TRUE(ran) << "F6 did not open the calculator";
    EXPECT_FALSE(Calc().isVisible());
  }
};

TEST_F(CalculatorTest, F6OpensIt) {
  Start();
  WithCalculatorOpen([&] { QTest::keyClick(&Calc(), Qt::Key_Escape); });
}

}  // namespace
}  // namespace bm::testing
