// The main window under test: started as the program starts it, with scripted
// boxes and an in-memory clipboard, on files in a temporary folder.
#pragma once
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"
#include "support/scripted_dialogs.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace bm::testing {

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // Each test starts with no remembered choices.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Bytemoor"),
              QStringLiteral("Bytemoor"))
        .clear();
  }

  void TearDown() override {
    if (form) {
      // Leave without a save prompt.
      form->ByteEditor1().NewDocument("Untitled");
      form.reset();
    }
    EXPECT_EQ(dialogs.PendingAnswers(), 0u) << "scripted answers left over";
  }

  // Creates the program's windows, shows the main window and waits for its
  // first activation.
  TMainForm& Start(std::vector<std::string> arguments = {}) {
    form = CreateForms(dialogs, clipboard, std::move(arguments));
    form->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Settle();
    return *form;
  }

  // Delivers the posted state notifications.
  static void Settle() {
    for (int i = 0; i < 4; ++i) QCoreApplication::processEvents();
  }

  // Drops a menu down and closes it again, as the user looking at it would.
  void LookAtMenu(const char* name) {
    auto* menu = form->findChild<QMenu*>(QString::fromLatin1(name));
    ASSERT_NE(menu, nullptr) << name;
    menu->popup(QPoint(0, 0));
    menu->hide();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Settle();
  }

  TByteEditor& Editor() { return form->ByteEditor1(); }

  // A selection as a mouse drag leaves it: still Selecting, so the Shift of
  // a following Shift+key does not clear it.
  void Select(int64_t from, int64_t to) {
    Editor().SetSelStart(from);
    Editor().SetSelEnd(to);
    Editor().SetSelecting(true);
    Settle();
  }
  QWidget* EditorWidgetOf() { return form->ByteEditor1Widget(); }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(EditorWidgetOf(), key, modifiers);
    Settle();
  }
  void Type(const char* text) {
    QTest::keyClicks(EditorWidgetOf(), QString::fromLatin1(text));
    Settle();
  }

  QAction* Item(const char* name) {
    auto* item = form->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(item, nullptr) << name;
    return item;
  }
  QToolButton* Button(int number) {
    return form->findChild<QToolButton*>(QStringLiteral("SpeedButton%1").arg(number));
  }

  std::string Path(const std::string& name) const {
    return dir_.path().toStdString() + "/" + name;
  }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // A file of n bytes 0x01, 0x02, ... (never zero).
  std::string WriteCounting(const std::string& name, int n) {
    std::string bytes;
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<char>(i % 255 + 1));
    return WriteFile(name, bytes);
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static bool Exists(const std::string& path) { return std::ifstream(path).good(); }

  static QString U(const char* utf8) { return QString::fromUtf8(utf8); }

  ScriptedDialogs dialogs;
  MemoryClipboard clipboard;
  std::unique_ptr<TMainForm> form;

 private:
  QTemporaryDir dir_;
};

}  // namespace bm::testing
