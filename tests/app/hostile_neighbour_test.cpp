// The window's side of saving and recovery against a hostile neighbour: the
// question about a backup that cannot be made, the recovery offer closed
// without an answer or about a copy nothing is known of, and the word that
// recovery is off.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/app_fixture.h"
#include "platform/recovery.h"
#include "support/fake_host.h"

namespace bm::testing {
namespace {

class HostileNeighbourTest : public AppTest {
 protected:
  // An editor edits path and ends leaving its work behind; its working copy.
  static std::string LeaveEdited(const std::string& path) {
    FakeWindowHost host;
    TByteEditor ed(&host);
    host.client = &ed;
    ed.Loaded();
    EXPECT_TRUE(ed.LoadFromFile(path));
    ed.WMChar('3');
    EXPECT_TRUE(ed.KeepForRecovery());
    return ed.WorkFileName();
  }
  static bool OnDisk(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
  }
};

TEST_F(HostileNeighbourTest, ABackupThatCannotBeMadeIsExplainedAndOnlyYesSavesWithoutIt) {
  const std::string path = WriteFile("rep.bin", "ABCD");
  std::filesystem::create_directory(Path("rep.bak"));
  Start({path});
  Type("3");
  const std::string question = "Не удалось создать резервную копию " + Path("rep.bak") +
                               ": под этим именем находится папка. Сохранить без неё?";

  dialogs.AnswerMessage(MessageResult::No);
  Key(Qt::Key_F2);
  ASSERT_EQ(dialogs.messages.size(), 1u) << "no error box after No";
  EXPECT_EQ(dialogs.messages[0].text, question);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNoDefaultNo);
  EXPECT_EQ(ReadFile(path), "ABCD");
  EXPECT_TRUE(Editor().Modified());

  dialogs.AnswerMessage(MessageResult::Yes);
  Key(Qt::Key_F2);
  EXPECT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(ReadFile(path), "1BCD");
  EXPECT_TRUE(std::filesystem::is_directory(Path("rep.bak")));
  EXPECT_FALSE(Editor().Modified());
}

TEST_F(HostileNeighbourTest, OnlyNoDeletesOfferedWorkAndUnknownOrSavedWorkIsNeverAskedWrongly) {
  const std::string a = WriteFile("a.bin", "ABCD");
  // Closed without an answer (Esc, the close button): kept for the next start.
  const std::string work = LeaveEdited(a);
  dialogs.AnswerMessage(MessageResult::Cancel);
  Start();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_TRUE(OnDisk(work));
  EXPECT_EQ(Editor().FileName(), "Untitled");
  form.reset();

  // Its record unreadable: offered as a new document; anything but Yes keeps it.
  const std::string record = RecoveryRecordPath(work);
  ASSERT_EQ(::truncate(record.c_str(), 5), 0);
  const std::string unknown = "Найден рабочий файл без сведений о документе. Открыть как новый документ?";
  dialogs.Clear();
  dialogs.AnswerMessage(MessageResult::No);
  Start();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, unknown);
  EXPECT_TRUE(OnDisk(work));
  form.reset();
  dialogs.Clear();
  dialogs.AnswerMessage(MessageResult::Yes);
  Start();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(Editor().FileName(), "Untitled");
  EXPECT_TRUE(Editor().Modified());
  EXPECT_EQ(Editor().DataSize(), 4);
  EXPECT_EQ(Editor().ReadByte(0), 0x31);
  form->ByteEditor1().NewDocument("Untitled");
  form.reset();

  // Work whose save went through before its record said so goes unasked.
  const std::string saved = LeaveEdited(a);
  WriteFile("a.bin", "1BCD");
  dialogs.Clear();
  Start();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(OnDisk(saved));
  EXPECT_FALSE(OnDisk(RecoveryRecordPath(saved)));
}

TEST_F(HostileNeighbourTest, ARecordThatCannotBeMadeIsToldOnce) {
  const std::string path = WriteFile("doc.bin", "ABCD");
  Start();
  // Whatever name the working copy gets, its record's name is a folder.
  const std::string work = Editor().WorkFileName();
  std::filesystem::create_directories(RecoveryRecordPath(work));
  ASSERT_TRUE(Editor().LoadFromFile(path));
  Settle();
  Type("3");
  Settle();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Не удалось создать файл сведений для восстановления: восстановление после сбоя для "
            "этого документа отключено.");
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
  std::filesystem::remove(RecoveryRecordPath(work));
}

}  // namespace
}  // namespace bm::testing
