// The document's file changed by another program while it is open: reloaded
// when nothing is unsaved, told of (once a change) when something is.
#include <filesystem>

#include <QEvent>

#include "app_fixture.h"

namespace bm::testing {
namespace {

constexpr const char* kToldText =
    "Файл %1 изменён другой программой. Несохранённые изменения сделаны поверх прежнего содержимого.";
constexpr const char* kReloadQuestion = "Несохранённые изменения будут потеряны. Перезагрузить файл?";

class FileWatchTest : public AppTest {
 protected:
  // Waits for the check that follows a change (it waits for writes to settle).
  static bool WaitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
  }
  // Long enough for a check that should not tell anything to have run.
  static void Linger() { QTest::qWait(700); }
  std::string Bytes(int64_t count) {
    std::string bytes(static_cast<size_t>(count), '\0');
    Editor().ReadBytes(bytes.data(), 0, count);
    return bytes;
  }
  // The user comes back to the window.
  void Activate() {
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(form.get(), &activate);
    Settle();
  }
};

TEST_F(FileWatchTest, AnUnmodifiedDocumentShowsTheNewBytesAtOnceKeepingTheCursor) {
  const std::string path = WriteFile("log.bin", "0123456789");
  Start({path});
  Editor().GotoPosition(6, 0, true);
  WriteFile("log.bin", "abcdefghijklmnop");
  ASSERT_TRUE(WaitFor([&] { return Bytes(16) == "abcdefghijklmnop"; }));
  EXPECT_EQ(Editor().CursorPosition(), 6);
  EXPECT_EQ(form->PanelText(4), U("Размер файла : 16"));

  // Still watched after a save (which puts a new file under the name).
  Type("4");
  Key(Qt::Key_F2);
  WriteFile("log.bin", "xyz");
  ASSERT_TRUE(WaitFor([&] { return Editor().DataSize() == 3; }));
  EXPECT_EQ(Bytes(3), "xyz");
  EXPECT_LT(Editor().CursorPosition(), 3);
  EXPECT_FALSE(Editor().Modified());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FileWatchTest, AModifiedDocumentTellsOfEachChangeOnceAndKeepsTheEditsUnlessReloaded) {
  const std::string path = WriteFile("doc.bin", "ABCD");
  Start({path});
  Type("3");  // 0x41 becomes 0x31

  dialogs.AnswerChoice(1);  // "Продолжить работу"
  WriteFile("doc.bin", "changed elsewhere");
  ASSERT_TRUE(WaitFor([&] { return !dialogs.messages.empty(); }));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(QString::fromStdString(dialogs.messages[0].text), U(kToldText).arg(QString::fromStdString(path)));
  EXPECT_EQ(dialogs.messages[0].choices,
            (std::vector<std::string>{"Перезагрузить", "Продолжить работу"}));
  EXPECT_EQ(dialogs.messages[0].defaultChoice, 1);
  // The file read in place (no private clone): the bytes not typed over are
  // the other program's now, shown at once, never the stale ones.
  const std::string over = Editor().BaseIsPrivate() ? "1BCD" : "1han";
  EXPECT_EQ(Bytes(4), over);
  EXPECT_TRUE(WaitFor([&] {
    return Editor().ReadWindowStart() == 0 &&
           std::string(reinterpret_cast<const char*>(Editor().ReadWindow()), 4) == over;
  })) << "the bytes painted are read again";
  EXPECT_TRUE(Editor().Modified());

  // The same change is not told again, on activation either.
  Activate();
  Linger();
  EXPECT_EQ(dialogs.messages.size(), 1u);
  // The save still asks before it writes over the changed file.
  dialogs.AnswerMessage(MessageResult::No);
  Key(Qt::Key_F2);
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "Файл изменён другой программой. Сохранить поверх?");
  EXPECT_EQ(ReadFile(path), "changed elsewhere");

  // A further change is told; "Перезагрузить" then "Нет" keeps the edits.
  dialogs.AnswerChoice(0);
  dialogs.AnswerMessage(MessageResult::No);
  WriteFile("doc.bin", "changed again");
  ASSERT_TRUE(WaitFor([&] { return dialogs.messages.size() == 4; }));
  EXPECT_EQ(dialogs.messages[3].text, kReloadQuestion);
  EXPECT_EQ(dialogs.messages[3].buttons, MessageButtons::YesNoDefaultNo);
  EXPECT_EQ(Bytes(4), over);
  EXPECT_TRUE(Editor().Modified());

  // "Перезагрузить" then "Да": the file's bytes, nothing unsaved.
  dialogs.AnswerChoice(0);
  dialogs.AnswerMessage(MessageResult::Yes);
  WriteFile("doc.bin", "third version");
  ASSERT_TRUE(WaitFor([&] { return dialogs.messages.size() == 6; }));
  Settle();
  EXPECT_EQ(Editor().DataSize(), 13);
  EXPECT_EQ(Bytes(13), "third version");
  EXPECT_FALSE(Editor().Modified());
}

TEST_F(FileWatchTest, ARemovedFileIsNotToldOfAndAFileAtItsNameAgainIs) {
  const std::string path = WriteFile("gone.bin", "ABCD");
  Start({path});
  Type("3");
  std::filesystem::remove(path);
  Linger();
  Activate();
  Linger();
  EXPECT_TRUE(dialogs.messages.empty());

  // Another file put under the name is a change of the document's file.
  dialogs.AnswerChoice(-1);  // closed: as "Продолжить работу"
  WriteFile("gone.bin", "new file");
  Activate();
  ASSERT_TRUE(WaitFor([&] { return !dialogs.messages.empty(); }));
  EXPECT_EQ(Bytes(4), "1BCD");
}

}  // namespace
}  // namespace bm::testing
