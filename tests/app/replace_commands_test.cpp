// Find previous, wildcard codes, the counts of both dialogs, and the Replace
// dialog driven by keys and buttons while it runs modally.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "app/findf.h"
#include "app/replace_form.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

using M = std::tuple<int32_t, int32_t, int32_t>;

class ReplaceTest : public AppTest {
 protected:
  // The selected range as (first, last) and the cursor's byte.
  M Match() {
    return {std::min(Editor().SelStart(), Editor().SelEnd()),
            std::max(Editor().SelStart(), Editor().SelEnd()), Editor().CursorPosition()};
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (auto& m : dialogs.messages) texts.push_back(m.text);
    dialogs.messages.clear();
    return texts;
  }
  std::string Data() {
    std::string s;
    for (int32_t p = 0; p < Editor().DataSize(); ++p) s.push_back(static_cast<char>(Editor().ReadByte(p)));
    return s;
  }
  // Runs steps inside the next showing of the Replace dialog, then closes
  // it with Escape.
  void InReplaceDialog(std::function<void(TReplaceForm&)> steps) {
    QTimer::singleShot(0, form.get(), [this, steps] {
      TReplaceForm* dlg = form->ReplaceForm();
      if (!dlg || !dlg->isVisible()) {
        ADD_FAILURE() << "the Replace dialog is not showing";
        return;
      }
      ++shown;
      steps(*dlg);
      QTest::keyClick(dlg->Edit1, Qt::Key_Escape);
    });
    Key(Qt::Key_R, Qt::ControlModifier);
  }
  static void Fill(TReplaceForm& dlg, const char* find, const char* replace, int findMode = 0,
                   int replaceMode = 0, bool caseSensitive = false) {
    dlg.Edit1->setText(QString::fromUtf8(find));
    dlg.Edit2->setText(QString::fromUtf8(replace));
    dlg.SetFindMode(findMode);
    dlg.SetReplaceMode(replaceMode);
    dlg.CheckBox1->setChecked(caseSensitive);
  }
  void AnswerFind(const char* text, int mode, bool count = false) {
    QTimer::singleShot(0, form.get(), [this, text, mode, count] {
      TFindForm* dlg = form->FindForm();
      dlg->Edit1->setText(QString::fromUtf8(text));
      dlg->SetRadioGroup1ItemIndex(mode);
      if (count) {
        dlg->Button3->click();
        countShown = dlg->Label1->text();
        cursorAfterCount = Editor().CursorPosition();
      }
      QTest::keyClick(dlg->Edit1, Qt::Key_Return);
    });
  }

  int shown = 0;
  QString countShown;
  int32_t cursorAfterCount = -1;
};

TEST_F(ReplaceTest, FindPreviousWildcardsAndTheFindDialogsCount) {
  Start({WriteFile("exe.bin", std::string("MZ\x90\x00PE..abcABCxabc..MZ\x12\x34PE", 26))});
  EXPECT_EQ(Item("FindPrev1")->text(), U("Найти &предыдущее"));
  EXPECT_EQ(Item("FindPrev1")->shortcut(), QKeySequence(QStringLiteral("Shift+F8")));
  Editor().GotoPosition(20, 0, true);
  AnswerFind("abc", 0, true);
  Key(Qt::Key_F7);
  EXPECT_EQ(countShown, U("Найдено: 3")) << "case ignored: abc, ABC, abc";
  EXPECT_EQ(cursorAfterCount, 20) << "counting does not move the cursor";
  EXPECT_EQ(Messages(), std::vector<std::string>{"Data not found."});
  Editor().GotoPosition(25, 0, true);
  Key(Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Match(), M(15, 17, 17)) << "from the byte before the cursor";
  Key(Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Match(), M(11, 13, 13));
  Key(Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Match(), M(8, 10, 10));
  Key(Qt::Key_F8);
  EXPECT_EQ(Match(), M(11, 13, 13)) << "Find next goes on from the match before";
  Key(Qt::Key_F8, Qt::ShiftModifier);
  Key(Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Data not found."}) << "at the start";
  EXPECT_EQ(Editor().CursorPosition(), 10) << "the cursor stays";

  // "??" in codes: the header with any two bytes in the middle.
  Editor().GotoPosition(0, 0, true);
  AnswerFind("4D 5A ?? ?? 50 45", 1, true);
  Key(Qt::Key_F7);
  EXPECT_EQ(countShown, U("Найдено: 2"));
  EXPECT_EQ(Match(), M(0, 5, 5));
  Key(Qt::Key_F8);
  EXPECT_EQ(Match(), M(20, 25, 25));
  Key(Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Match(), M(0, 5, 5));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ReplaceTest, TheDialogFindsReplacesOneAndAllAndUndoBringsTheBytesBack) {
  const std::string path = WriteFile("text.bin", "one cat, two CAT, three cat.");
  Start({path});
  EXPECT_EQ(Item("Replace1")->text(), U("&Заменить..."));
  InReplaceDialog([&](TReplaceForm& dlg) {
    EXPECT_EQ(dlg.FindNextButton->text(), U("Найти далее"));
    EXPECT_TRUE(dlg.FindNextButton->isDefault());
    EXPECT_EQ(dlg.ReplaceButton->text(), U("Заменить"));
    EXPECT_EQ(dlg.ReplaceAllButton->text(), U("Заменить все"));
    EXPECT_EQ(dlg.CloseButton->text(), U("Закрыть"));
    Fill(dlg, "cat", "tiger");
    QTest::keyClick(dlg.Edit1, Qt::Key_Return);  // Enter: find next
    EXPECT_EQ(Match(), M(4, 6, 6));
    dlg.ReplaceButton->click();
    EXPECT_EQ(Data(), "one tiger, two CAT, three cat.");
    EXPECT_EQ(Match(), M(15, 17, 17)) << "the next match, case ignored";
    dlg.FindAllButton->click();
    EXPECT_EQ(dlg.StatusLabel->text(), U("Найдено: 2"));
    EXPECT_EQ(Match(), M(15, 17, 17)) << "counting moves nothing";
    // Codes, and the case distinguished: only the lower-case one is left.
    Fill(dlg, "63 61 74", "3C 3E", 1, 1, true);
    EXPECT_FALSE(dlg.CheckBox1->isEnabled());
    Fill(dlg, "cat", "3C 3E", 0, 1, true);
    dlg.ReplaceAllButton->click();
    EXPECT_EQ(dlg.StatusLabel->text(), U("Заменено: 1"));
    EXPECT_EQ(Data(), "one tiger, two CAT, three <>.");
  });
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(form->ReplaceForm()->isVisible()) << "Escape closes";
  Key(Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(Data(), "one tiger, two CAT, three cat.");
  Key(Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(Data(), "one cat, two CAT, three cat.");

  // A longer replacement everywhere, one undo step; F2 writes the result.
  InReplaceDialog([&](TReplaceForm& dlg) {
    EXPECT_EQ(dlg.Edit1->text(), U("cat")) << "the dialog keeps its last state";
    Fill(dlg, "cat", "tiger");
    dlg.ReplaceAllButton->click();
    EXPECT_EQ(dlg.StatusLabel->text(), U("Заменено: 3"));
  });
  EXPECT_EQ(Data(), "one tiger, two tiger, three tiger.");
  Key(Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(Data(), "one cat, two CAT, three cat.");
  InReplaceDialog([&](TReplaceForm& dlg) { dlg.ReplaceAllButton->click(); });
  Key(Qt::Key_F2);
  EXPECT_EQ(ReadFile(path), "one tiger, two tiger, three tiger.");

  // Inside a selection longer than one match only.
  Select(0, 12);
  InReplaceDialog([&](TReplaceForm& dlg) {
    Fill(dlg, "tiger", "");
    dlg.ReplaceAllButton->click();
    EXPECT_EQ(dlg.StatusLabel->text(), U("Заменено: 1"));
  });
  EXPECT_EQ(Data(), "one , two tiger, three tiger.");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ReplaceTest, AReadOnlyFileIsNotReplacedIn) {
  Start({WriteFile("ro.bin", "aaaa")});
  Editor().MarkReadOnly(true);
  Settle();
  LookAtMenu("Bearbeiten1");
  EXPECT_FALSE(Item("Replace1")->isEnabled());
  Key(Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(form->ReplaceForm(), nullptr) << "no dialog";
  // A new document has no file to protect.
  Editor().NewDocument("Untitled");
  const uint8_t bytes[] = {'a', 'b'};
  Editor().AppendBuffer(bytes, 2);
  Settle();
  LookAtMenu("Bearbeiten1");
  EXPECT_TRUE(Item("Replace1")->isEnabled());
}

}  // namespace
}  // namespace bm::testing
