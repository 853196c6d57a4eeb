// Redo and the two key schemes: the program's own keys and those of most
// programs, both reaching the same menu items, the choice remembered.
#include <QKeySequence>
#include <QShortcut>

#include "app/key_table.h"
#include "app/settings.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

class KeySchemeTest : public AppTest {
 protected:
  std::string Text() {
    std::vector<uint8_t> data(static_cast<size_t>(Editor().DataSize()));
    if (!data.empty()) Editor().ReadBytes(data.data(), 0, Editor().DataSize());
    return std::string(data.begin(), data.end());
  }
  // The item the window-wide shortcut for key leads to; empty when no
  // shortcut or more than one has it.
  QString ShortcutOwner(const QKeySequence& key) {
    QString owner;
    int found = 0;
    for (QShortcut* s : form->findChildren<QShortcut*>()) {
      if (s->key() != key) continue;
      ++found;
      owner = s->objectName().section(QStringLiteral("Shortcut"), 0, 0);
    }
    return found == 1 ? owner : QString();
  }
  static QKeySequence K(const char* text) {
    return QKeySequence(QString::fromLatin1(text), QKeySequence::PortableText);
  }
};

TEST_F(KeySchemeTest, TypeUndoRedoAndSaveWithBothKeysOfEach) {
  const std::string path = WriteFile("doc.bin", "ABCD");
  Start({path});
  LookAtMenu("Bearbeiten1");
  EXPECT_FALSE(Item("Redo1")->isEnabled());
  EXPECT_EQ(Item("Redo1")->text(), U("&Повторить"));

  Type("9");
  ASSERT_EQ(Text(), "\x91" "BCD");
  Key(Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(Text(), "ABCD");
  EXPECT_FALSE(Editor().Modified());
  LookAtMenu("Bearbeiten1");
  EXPECT_TRUE(Item("Redo1")->isEnabled());

  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Text(), "\x91" "BCD");
  EXPECT_TRUE(Editor().Modified());
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "ABCD");
  Key(Qt::Key_Backspace, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_EQ(Text(), "\x91" "BCD");
  // Nothing left to redo: the key does nothing.
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Text(), "\x91" "BCD");

  Key(Qt::Key_F2);
  EXPECT_EQ(ReadFile(path), "\x91" "BCD");
  EXPECT_FALSE(Editor().CanRedo());
}

TEST_F(KeySchemeTest, EveryKeyOfBothSchemesLeadsToItsItemAndTheMenusShowIt) {
  Start();
  for (const bool standard : {false, true}) {
    SCOPED_TRACE(standard ? "standard keys" : "classic keys");
    form->ApplyKeyScheme(standard);
    for (const ItemKeys& row : KeyTable()) {
      SCOPED_TRACE(row.item);
      QAction* item = Item(row.item);
      ASSERT_NE(item, nullptr);
      const auto& keys = standard ? row.standard : row.classic;
      ASSERT_EQ(item->shortcuts().size(), static_cast<qsizetype>(keys.size()));
      for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(item->shortcuts()[static_cast<qsizetype>(i)], K(keys[i]));
        EXPECT_EQ(ShortcutOwner(K(keys[i])), QString::fromLatin1(row.item)) << keys[i];
      }
    }
  }
  // Keys only one scheme has lead nowhere in the other.
  form->ApplyKeyScheme(false);
  EXPECT_EQ(ShortcutOwner(K("Ctrl+O")), QString());
  EXPECT_EQ(ShortcutOwner(K("Ctrl+G")), QString());
  form->ApplyKeyScheme(true);
  EXPECT_EQ(ShortcutOwner(K("Esc")), QString());
  EXPECT_EQ(ShortcutOwner(K("Ctrl+A")), QStringLiteral("SelectAll1"));
}

TEST_F(KeySchemeTest, TheKeysOfMostProgramsEditAndSaveAndTheChoiceIsRemembered) {
  const std::string path = WriteFile("doc.bin", "ABCDEFGH");
  Start({path});
  EXPECT_FALSE(form->StandardKeys());
  LookAtMenu("View1");
  EXPECT_FALSE(Item("StandardKeys1")->isChecked());
  Item("StandardKeys1")->trigger();
  EXPECT_TRUE(form->StandardKeys());
  EXPECT_TRUE(settings::Flag(settings::kStandardKeys, false));
  EXPECT_EQ(Item("ffnen1")->shortcut(), K("Ctrl+O"));

  // Ctrl+A selects everything, Ctrl+C copies, Ctrl+V pastes over it.
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Editor().SelLength(), 8);
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard.Text(), "ABCDEFGH");
  clipboard.SetText("xy");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "xy");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "ABCDEFGH");
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(), "xy");
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ReadFile(path), "xy");
  EXPECT_TRUE(dialogs.saves.empty());

  // Ctrl+G goes to an offset; Esc no longer ends the program.
  dialogs.AnswerInput("1");
  Key(Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(Editor().CursorPosition(), 1);
  Key(Qt::Key_Escape);
  EXPECT_TRUE(form->isVisible());

  // The next start keeps the choice; switching back restores the classic keys.
  form->ByteEditor1().NewDocument("Untitled");
  form.reset();
  Start();
  EXPECT_TRUE(form->StandardKeys());
  LookAtMenu("View1");
  EXPECT_TRUE(Item("StandardKeys1")->isChecked());
  Item("StandardKeys1")->trigger();
  EXPECT_FALSE(settings::Flag(settings::kStandardKeys, true));
  EXPECT_EQ(Item("ffnen1")->shortcut(), K("F3"));
  Key(Qt::Key_Escape);
  EXPECT_FALSE(form->isVisible());
}

}  // namespace
}  // namespace bm::testing
