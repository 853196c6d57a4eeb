// Find and Find next in the main window, with the Find dialog filled in and
// confirmed (or cancelled) by keys while it runs modally.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/findf.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

class FindTest : public AppTest {
 protected:
  struct Answer {
    QString text;
    int mode = 0;               // 0 text, 1 codes
    bool caseSensitive = false;
    bool cancel = false;
  };

  // Answers the next showing of the Find dialog: fills it in and presses
  // Enter in the edit (Escape to cancel).
  void AnswerFind(Answer a) {
    QTimer::singleShot(0, form.get(), [this, a] {
      TFindForm* dlg = form->FindForm();
      if (!dlg->isVisible()) {
        ADD_FAILURE() << "the Find dialog is not showing";
        return;
      }
      ++shown;
      selectedOnShow = dlg->Edit1->selectedText();
      dlg->Edit1->setText(a.text);
      dlg->SetRadioGroup1ItemIndex(a.mode);
      dlg->CheckBox1->setChecked(a.caseSensitive);
      QTest::keyClick(dlg->Edit1, a.cancel ? Qt::Key_Escape : Qt::Key_Return);
    });
  }
  void Find(Answer a) {
    AnswerFind(a);
    Key(Qt::Key_F7);
  }
  // The selected range as (first, last) and the cursor's byte.
  std::tuple<int32_t, int32_t, int32_t> Match() {
    return {std::min(Editor().SelStart(), Editor().SelEnd()),
            std::max(Editor().SelStart(), Editor().SelEnd()), Editor().CursorPosition()};
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (auto& m : dialogs.messages) {
      EXPECT_EQ(m.icon, MessageIcon::None);
      EXPECT_EQ(m.buttons, MessageButtons::Ok);
      texts.push_back(m.text);
    }
    dialogs.messages.clear();
    return texts;
  }

  int shown = 0;
  QString selectedOnShow;
};

using M = std::tuple<int32_t, int32_t, int32_t>;

TEST_F(FindTest, TheDialogsControlsAndTheCaseBoxOfTextSearches) {
  Start();
  TFindForm* dlg = form->FindForm();
  EXPECT_EQ(dlg->windowTitle(), U("Редактор данных для поиска"));
  EXPECT_EQ(dlg->size(), QSize(401, 142));
  EXPECT_EQ(dlg->Edit1->geometry(), QRect(8, 16, 385, 21));
  EXPECT_EQ(dlg->Button1->text(), U("Ввод"));
  EXPECT_TRUE(dlg->Button1->isDefault());
  EXPECT_EQ(dlg->Button2->geometry(), QRect(320, 56, 75, 25));
  EXPECT_EQ(dlg->RadioGroup1->title(), U("Выбор объекта поиска"));
  EXPECT_EQ(dlg->RadioGroup1->geometry(), QRect(104, 40, 193, 41));
  EXPECT_EQ(dlg->RadioGroup1Items[1]->text(), U("Код"));
  EXPECT_EQ(dlg->CheckBox1->text(), U("Прописные и строчные буквы различать"));
  EXPECT_EQ(dlg->CheckBox1->parentWidget(), dlg->GroupBox1);
  EXPECT_EQ(dlg->RadioGroup1ItemIndex(), 0);
  EXPECT_FALSE(dlg->CheckBox1->isChecked());
  EXPECT_TRUE(dlg->Button1->font().bold());
  EXPECT_EQ(dlg->nextInFocusChain(), dlg->Edit1);

  dlg->SetRadioGroup1ItemIndex(1);
  EXPECT_FALSE(dlg->CheckBox1->isEnabled()) << "codes are searched exactly";
  dlg->SetRadioGroup1ItemIndex(0);
  EXPECT_TRUE(dlg->CheckBox1->isEnabled());
}

TEST_F(FindTest, TextSearchWithAndWithoutCaseAndFindNextThroughTheMatches) {
  Start({WriteFile("text.bin", "xxABCabcxxabcxA")});
  Find({"abc"});
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(Match(), M(2, 4, 4)) << "the cursor on the match's last byte";
  EXPECT_EQ(form->FindQuery(), "Tabc");
  EXPECT_TRUE(form->FindIgnoreCase());
  Key(Qt::Key_F8);
  EXPECT_EQ(Match(), M(5, 7, 7));
  Button(5)->click();  // the toolbar's Find next
  Settle();
  EXPECT_EQ(Match(), M(10, 12, 12));
  Key(Qt::Key_F8);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Data not found."});
  EXPECT_EQ(Match(), M(10, 12, 12)) << "the selection stays";
  EXPECT_EQ(form->FindLastPos(), -1);
  Key(Qt::Key_F8);
  EXPECT_EQ(Match(), M(2, 4, 4)) << "after a failure Find next starts from the beginning";

  // With case distinguished, from the start.
  Editor().GotoPosition(0, 0, true);
  AnswerFind({"abc", 0, true});
  Button(4)->click();
  Settle();
  EXPECT_EQ(selectedOnShow, U("abc")) << "the dialog keeps its text, shown selected";
  EXPECT_EQ(form->FindQuery(), "tabc");
  EXPECT_EQ(Match(), M(5, 7, 7));

  // A one-byte match: Find next goes on at the following byte; with the
  // cursor moved away it finds the last match again.
  Editor().GotoPosition(0, 0, true);
  Find({"x"});
  EXPECT_EQ(Match(), M(0, 0, 0));
  Key(Qt::Key_F8);
  EXPECT_EQ(Match(), M(1, 1, 1));
  Editor().GotoPosition(12, 0, true);
  Key(Qt::Key_F8);
  EXPECT_EQ(Match(), M(1, 1, 1));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FindTest, CodesDropWhatIsNotAHexDigitAndPadAnOddCount) {
  Start({WriteFile("codes.bin", std::string("\x00\x41\x04\x14\x41\x42\x43\x61\x62\x63", 10))});
  struct Case {
    const char* text;
    M match;
  };
  const Case cases[] = {
      {"41 42 43", {4, 6, 6}},  {"414", {2, 3, 3}},      {"0x41", {0, 1, 1}},
      {"61,62;63", {7, 9, 9}},  {"4142 43 zz", {4, 6, 6}},
  };
  for (const Case& c : cases) {
    Editor().GotoPosition(0, 0, true);
    Find({c.text, 1, false});
    EXPECT_EQ(Match(), c.match) << c.text;
    EXPECT_EQ(form->FindQuery(), c.text) << "no mark in code mode";
  }
  // Codes are exact whatever the check box says: 41 42 43 does not find abc.
  Editor().GotoPosition(5, 0, true);
  Find({"414243", 1, false});
  EXPECT_FALSE(form->FindIgnoreCase());
  EXPECT_EQ(Messages(), std::vector<std::string>{"Data not found."});
  // No hex digit at all: no search and no message.
  Find({"xyz", 1});
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(form->FindPattern().empty());
}

TEST_F(FindTest, FindNextWithoutAPatternAsksForOne) {
  Start();
  Key(Qt::Key_F8);  // no document: nothing at all
  EXPECT_EQ(shown, 0);
  form->ByteEditor1().LoadFromFile(WriteFile("data.bin", "..needle..needle"));
  Settle();

  AnswerFind({"needle"});
  Key(Qt::Key_F8);  // no Find yet: the dialog opens
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(Match(), M(2, 7, 7));

  // A cancelled Find discards the pattern; Find next then asks again
  // rather than searching with the old one.
  Find({"zzz", 0, false, true});
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(form->FindQuery(), "Tneedle");
  EXPECT_TRUE(form->FindPattern().empty());
  AnswerFind({"needle", 0, false, true});
  Key(Qt::Key_F8);
  EXPECT_EQ(shown, 3);
  EXPECT_TRUE(Messages().empty());

  // So does a Find whose text gave no bytes.
  Find({""});
  EXPECT_EQ(form->FindQuery(), "T");
  AnswerFind({"needle"});
  Key(Qt::Key_F8);
  EXPECT_EQ(shown, 5);
  EXPECT_EQ(Match(), M(10, 15, 15));
}

TEST_F(FindTest, TextIsSearchedInTheCharacterSetOfTheView) {
  // "Да" in CP866 (84 A0), twice, and once in Windows-1251 (C4 E0).
  Start({WriteFile("oem.bin", std::string("\xC4\xE0..\x84\xA0..\x84\xA0", 10))});
  Editor().SetTranslation(ttDos8);
  Find({U("Да")});
  EXPECT_EQ(Match(), M(4, 5, 5));
  EXPECT_EQ(form->FindPattern(), (std::vector<uint8_t>{0x84, 0xA0}));
  Key(Qt::Key_F8);
  EXPECT_EQ(Match(), M(8, 9, 9));
}

}  // namespace
}  // namespace bm::testing
