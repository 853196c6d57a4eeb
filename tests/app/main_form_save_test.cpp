// Save over a file that another program changed, replaced by a link or by a
// FIFO, over a planted backup link or a backup that cannot be made, and a
// recovery record that cannot be made, as the user meets them in the window.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include <QLabel>

#include "app_fixture.h"

namespace bm::testing {
namespace {

constexpr const char* kChangedQuestion = "Файл изменён другой программой. Сохранить поверх?";

TEST_F(AppTest, AChangedFileIsOverwrittenOnlyWhenTheUserSaysYes) {
  const std::string path = WriteFile("doc.bin", "ABCD");
  Start({path});
  Type("3");  // 0x41 becomes 0x31
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  WriteFile("doc.bin", "written by another program");

  dialogs.AnswerMessage(MessageResult::No);
  Key(Qt::Key_F2);
  ASSERT_EQ(dialogs.messages.size(), 1u) << "no error box after No";
  EXPECT_EQ(dialogs.messages[0].text, kChangedQuestion);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNoDefaultNo);
  EXPECT_EQ(ReadFile(path), "written by another program");
  EXPECT_FALSE(Exists(Path("doc.bak")));
  EXPECT_TRUE(Editor().Modified());

  // Closing: Yes to the save prompt, No to the question keeps the window.
  dialogs.AnswerMessage(MessageResult::Yes);
  dialogs.AnswerMessage(MessageResult::No);
  Key(Qt::Key_Escape);
  ASSERT_EQ(dialogs.messages.size(), 3u);
  EXPECT_EQ(dialogs.messages[2].text, kChangedQuestion);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(Editor().Modified());

  dialogs.AnswerMessage(MessageResult::Yes);
  Key(Qt::Key_F2);
  ASSERT_EQ(dialogs.messages.size(), 4u);
  // Read in place (no private clone), the bytes not typed over are the
  // other program's now, as the window said when the file changed.
  const bool own = Editor().BaseIsPrivate();
  EXPECT_EQ(ReadFile(path), own ? "1BCD" : "1rit");
  EXPECT_EQ(ReadFile(Path("doc.bak")), "written by another program");
  EXPECT_FALSE(Editor().Modified());

  // Saved: the next save asks nothing.
  Type("2");
  Key(Qt::Key_F2);
  EXPECT_EQ(dialogs.messages.size(), 4u);
  EXPECT_EQ(ReadFile(path), own ? "2BCD" : "2rit");  // the low digit of byte 0
}

TEST_F(AppTest, PlantedLinksAndAPipeNeverReceiveTheData) {
  const std::string path = WriteFile("report.bin", "report");
  const std::string victim = WriteFile("victim", "start-up script");
  ASSERT_EQ(::symlink(victim.c_str(), Path("report.bak").c_str()), 0);
  Start({path});
  Type("4");
  Key(Qt::Key_F2);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(ReadFile(victim), "start-up script");
  EXPECT_FALSE(std::filesystem::is_symlink(Path("report.bak")));
  EXPECT_EQ(ReadFile(Path("report.bak")), "report");

  // The document's file swapped for a link to a private file: asked first.
  const std::string secret = WriteFile("secret", "private");
  ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
  std::filesystem::remove(path);
  ASSERT_EQ(::symlink(secret.c_str(), path.c_str()), 0);
  Type("5");
  dialogs.AnswerMessage(MessageResult::No);
  Key(Qt::Key_F2);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(ReadFile(secret), "private");

  // Swapped for a FIFO: refused without opening it, even after Yes. The
  // alarm ends the run instead of letting a blocked open hang it.
  std::filesystem::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0);
  dialogs.AnswerMessage(MessageResult::Yes);
  ::alarm(30);
  Key(Qt::Key_F2);
  ::alarm(0);
  ASSERT_EQ(dialogs.messages.size(), 3u);
  EXPECT_EQ(dialogs.messages[1].text, kChangedQuestion);
  EXPECT_EQ(dialogs.messages[2].text, "Cannot save file\r\n" + path + "\r\nnot a regular file");
  EXPECT_TRUE(Editor().Modified());
  EXPECT_TRUE(std::filesystem::exists(Editor().WorkFileName()));
}

TEST_F(AppTest, AFailedSaveSaysWhyOnASecondLine) {
  const std::string path = WriteFile("doc.bin", "ABCD");
  Start({path});
  Type("3");
  // Save as into a folder that is gone, then over a read-only file system.
  const std::string gone = Path("gone/doc.bin");
  dialogs.AnswerSave(gone);
  Key(Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Cannot save file\r\n" + gone + "\r\n" + std::strerror(ENOENT));
  dialogs.AnswerSave("/proc/version");
  Key(Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier);
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text.rfind("Cannot save file\r\n/proc/version\r\n", 0), 0u);
  EXPECT_GT(dialogs.messages[1].text.size(), std::string("Cannot save file\r\n/proc/version\r\n").size());
  EXPECT_TRUE(Editor().Modified());
}

TEST_F(AppTest, ABackupThatCannotBeMadeIsExplainedAndOnlyYesSavesWithoutIt) {
  const std::string path = WriteFile("rep.bin", "ABCD");
  std::filesystem::create_directory(Path("rep.bak"));
  Start({path});
  Type("3");
  dialogs.AnswerMessage(MessageResult::No);
  Key(Qt::Key_F2);
  ASSERT_EQ(dialogs.messages.size(), 1u) << "no error box after No";
  EXPECT_EQ(dialogs.messages[0].text, "Не удалось создать резервную копию " + Path("rep.bak") +
                                          ": под этим именем находится папка. Сохранить без неё?");
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNoDefaultNo);
  EXPECT_EQ(ReadFile(path), "ABCD");
  dialogs.AnswerMessage(MessageResult::Yes);
  Key(Qt::Key_F2);
  EXPECT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(ReadFile(path), "1BCD");
  EXPECT_FALSE(Editor().Modified());
}

TEST_F(AppTest, ARecordThatCannotBeMadeIsToldOnce) {
  Start();
  std::filesystem::create_directories(RecoveryRecordPath(Editor().WorkFileName()));
  ASSERT_TRUE(Editor().LoadFromFile(WriteFile("doc.bin", "ABCD")));
  Settle();
  Type("3");
  Settle();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Не удалось создать файл сведений для восстановления: восстановление после сбоя для "
            "этого документа отключено.");
  std::filesystem::remove(RecoveryRecordPath(Editor().WorkFileName()));
}


// Editing a read-only document is allowed; F2 then asks for another name.
TEST_F(AppTest, F2OnAReadOnlyDocumentOpensSaveAsAndThePanelSaysWhy) {
  const std::string path = WriteFile("doc.bin", "ABCD");
  const std::string copy = Path("copy.bin");
  Start();
  dialogs.AnswerOpen(path, true);
  Key(Qt::Key_F3);
  ASSERT_TRUE(Editor().ReadOnly());
  EXPECT_EQ(form->PanelText(3), U("Ч"));
  const auto* panel = form->findChild<QLabel*>(QStringLiteral("StatusPanel3"));
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->toolTip().contains(U("только для чтения")));

  Type("3");
  EXPECT_TRUE(Button(2)->isEnabled());
  dialogs.AnswerSave(copy);
  Key(Qt::Key_F2);
  ASSERT_EQ(dialogs.saves.size(), 1u);
  EXPECT_EQ(ReadFile(copy), "1BCD");
  EXPECT_EQ(ReadFile(path), "ABCD");
  EXPECT_FALSE(Editor().ReadOnly());
  EXPECT_EQ(Editor().FileName(), copy);
  EXPECT_EQ(panel->toolTip(), QString());
}

}  // namespace
}  // namespace bm::testing
