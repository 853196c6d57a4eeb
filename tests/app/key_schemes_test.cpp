// Redo and the two key schemes: the program's own keys and those of most
// programs, both reaching the same menu items, the choice remembered.
#include <QKeySequence>
#include <QMenuBar>
#include <QShortcut>
#include <QTimer>

#include <map>

#include "app/key_table.h"
#include "app/settings.h"
#include "app/CalchHex.h"
#include "app/value_inspector.h"
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


TEST_F(KeySchemeTest, NoKeyIsBoundTwiceInEitherScheme) {
  Start();
  for (const bool standard : {false, true}) {
    SCOPED_TRACE(standard ? "standard keys" : "classic keys");
    // The table: no key in two rows, nor twice in one (compared as keys,
    // so "Shift+Ctrl+Z" and "Ctrl+Shift+Z" are the same).
    std::map<QKeySequence, std::string> owners;
    for (const ItemKeys& row : KeyTable())
      for (const char* key : standard ? row.standard : row.classic) {
        const auto [it, added] = owners.emplace(K(key), row.item);
        EXPECT_TRUE(added) << key << " is bound to " << it->second << " and " << row.item;
      }
    // The window as built, items without a row included: one shortcut a key.
    form->ApplyKeyScheme(standard);
    std::map<QKeySequence, QString> live;
    for (QShortcut* s : form->findChildren<QShortcut*>()) {
      const auto [it, added] = live.emplace(s->key(), s->objectName());
      EXPECT_TRUE(added) << s->key().toString().toStdString() << " is bound by "
                         << it->second.toStdString() << " and " << s->objectName().toStdString();
    }
  }
}

// A submenu closed with Esc leaves the menu bar holding the keys; every
// shortcut must still run, once, without a clash between the menu's shown
// keys and the window's shortcuts.
TEST_F(KeySchemeTest, EveryShortcutWorksAfterASubmenuIsClosedWithEsc) {
  static QStringList warnings;
  warnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
  Start({WriteCounting("data.bin", 4096)});

  const auto closeSubmenuWithEsc = [&](const char* menuName, const char* submenuName) {
    auto* menu = form->findChild<QMenu*>(QString::fromLatin1(menuName));
    auto* submenu = form->findChild<QMenu*>(QString::fromLatin1(submenuName));
    QMenuBar* bar = form->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
    menu->setActiveAction(submenu->menuAction());
    QTest::keyClick(menu, Qt::Key_Right);
    ASSERT_TRUE(QTest::qWaitFor([&] { return submenu->isVisible(); }));
    QTest::keyClick(submenu, Qt::Key_Escape);
    QTest::keyClick(menu, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    Settle();
  };
  // Keys go where the application sends them: to the focus widget.
  const auto press = [&](Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : static_cast<QWidget*>(form.get()), key);
    Settle();
  };

  for (const bool standard : {false, true}) {
    SCOPED_TRACE(standard ? "standard keys" : "classic keys");
    form->ApplyKeyScheme(standard);
    Editor().SetSelStart(0);
    Settle();

    closeSubmenuWithEsc("Bearbeiten1", "Jump1");
    press(Qt::Key_F4);
    EXPECT_EQ(Editor().CursorPosition(), 256) << "F4";
    press(Qt::Key_F5);
    EXPECT_EQ(Editor().CursorPosition(), 0) << "F5";

    closeSubmenuWithEsc("View1", "Linesize1");
    const bool inspectorHidden = form->ValueInspector1()->isHidden();
    press(Qt::Key_F9);
    EXPECT_NE(form->ValueInspector1()->isHidden(), inspectorHidden) << "F9";

    // F6 opens the calculator (a modal box, closed again from the timer).
    closeSubmenuWithEsc("Bearbeiten1", "Jump1");
    bool calculatorShown = false;
    QTimer::singleShot(0, form.get(), [&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        calculatorShown = modal == form->HexCalc();
        static_cast<QDialog*>(modal)->reject();
      }
    });
    press(Qt::Key_F6);
    EXPECT_TRUE(calculatorShown) << "F6";
  }
  qInstallMessageHandler(previous);
  for (const QString& text : warnings)
    EXPECT_FALSE(text.contains(QStringLiteral("Ambiguous"))) << text.toStdString();
}

}  // namespace
}  // namespace bm::testing
