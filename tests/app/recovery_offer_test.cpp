// The main window's side of recovery: the start-up offer of work left by an
// editor that ended without closing its document, the end on a termination
// signal, and the save prompt at logout.
#include <chrono>
#include <csignal>
#include <thread>
#include <sys/stat.h>

#include "app/app_fixture.h"
#include "app/session_end.h"
#include "app/signal_bridge.h"
#include "platform/recovery.h"
#include "support/fake_host.h"

namespace bm::testing {
namespace {

class RecoveryOfferTest : public AppTest {
 protected:
  // An editor that edits path and ends leaving its work behind, as one
  // ended by a signal or a crash does. Returns the edited bytes.
  std::string LeaveEdited(const std::string& path, const char* digits) {
    FakeWindowHost host;
    TByteEditor ed(&host);
    host.client = &ed;
    ed.Loaded();
    ed.SetClientSize(800, 600);
    EXPECT_TRUE(ed.LoadFromFile(path));
    for (const char* d = digits; *d; ++d) ed.WMChar(static_cast<uint8_t>(*d));
    std::vector<uint8_t> data(static_cast<size_t>(ed.DataSize()));
    ed.ReadBytes(data.data(), 0, ed.DataSize());
    EXPECT_TRUE(ed.KeepForRecovery());
    left_.push_back(ed.WorkFileName());
    // The offer goes oldest first: the next one must be seen to be younger
    // by a file system with coarse timestamps.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return std::string(data.begin(), data.end());
  }

  static std::string Offer(const std::string& path) {
    return "Найдены несохранённые изменения файла " + path + ". Восстановить?";
  }

  static bool OnDisk(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
  }

  std::string EditorText() {
    std::vector<uint8_t> data(static_cast<size_t>(Editor().DataSize()));
    if (!data.empty()) Editor().ReadBytes(data.data(), 0, Editor().DataSize());
    return std::string(data.begin(), data.end());
  }

  std::vector<std::string> left_;
};

TEST_F(RecoveryOfferTest, LeftWorkIsOfferedBeforeTheNamedFileAndF2SavesItWithBackup) {
  const std::string path = WriteFile("data.bin", "ABCDEFGH");
  const std::string other = WriteFile("other.bin", "other");
  const std::string edited = LeaveEdited(path, "3132");
  ASSERT_EQ(edited, "12CDEFGH");

  dialogs.AnswerMessage(MessageResult::Yes);
  Start({other});
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, Offer(path));
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNo);
  // The named file is not dropped without a word.
  EXPECT_EQ(dialogs.messages[1].text,
            "Файл \r\n" + other +
                "\r\nне открыт: вместо него восстановлен несохранённый документ. Откройте его, "
                "когда закончите с восстановленным.");
  EXPECT_EQ(dialogs.messages[1].buttons, MessageButtons::Ok);

  // The restored work is the document; the named file does not replace it.
  EXPECT_EQ(Editor().FileName(), path);
  EXPECT_TRUE(Editor().Modified());
  EXPECT_EQ(EditorText(), edited);
  EXPECT_EQ(form->PanelText(2), U("*"));
  EXPECT_TRUE(Button(2)->isEnabled());

  Key(Qt::Key_F2);
  EXPECT_EQ(ReadFile(path), edited);
  EXPECT_EQ(ReadFile(Path("data.bak")), "ABCDEFGH");
  EXPECT_FALSE(Editor().Modified());
  EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(RecoveryOfferTest, SeveralAreOfferedInTurnDeclinedOnesGoAndTheRestWait) {
  const std::string a = WriteFile("a.bin", "aaaa");
  const std::string b = WriteFile("b.bin", "bbbb");
  const std::string c = WriteFile("c.bin", "cccc");
  LeaveEdited(a, "41");
  const std::string editedB = LeaveEdited(b, "42");
  LeaveEdited(c, "43");

  dialogs.AnswerMessage(MessageResult::No);
  dialogs.AnswerMessage(MessageResult::Yes);
  Start();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, Offer(a));
  EXPECT_EQ(dialogs.messages[1].text, Offer(b));
  EXPECT_EQ(Editor().FileName(), b);
  EXPECT_EQ(EditorText(), editedB);

  // The declined one is gone with its record; the third waits for a later start.
  EXPECT_FALSE(OnDisk(left_[0]));
  EXPECT_FALSE(OnDisk(RecoveryRecordPath(left_[0])));
  std::vector<OrphanedWorkCopy> waiting =
      FindOrphanedWorkCopies(left_[2].substr(0, left_[2].rfind('/') + 1));
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_EQ(waiting[0].WorkFile(), left_[2]);
  EXPECT_EQ(waiting[0].Info()->fileName, c);
  waiting[0].Discard();
}

TEST_F(RecoveryOfferTest, ASignalEndsLikeExitUnlessThereIsWorkToKeep) {
  const std::string path = WriteFile("data.bin", "ABCD");
  int code = -1;
  auto quit = [&](int c) { code = c; };

  // Nothing modified: the window closes as on Exit and its files go with it.
  Start();
  ASSERT_TRUE(Editor().LoadFromFile(path));
  std::string work = Editor().WorkFileName();
  EndOnSignal(*form, SIGTERM, quit);
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(form->isVisible());
  form.reset();
  EXPECT_FALSE(OnDisk(work));
  EXPECT_FALSE(OnDisk(RecoveryRecordPath(work)));

  // Modified: no box, and the work waits for the next start whole.
  code = -1;
  Start();
  ASSERT_TRUE(Editor().LoadFromFile(path));
  Type("7");
  work = Editor().WorkFileName();
  EndOnSignal(*form, SIGHUP, quit);
  EXPECT_EQ(code, 128 + SIGHUP);
  EXPECT_TRUE(dialogs.messages.empty());
  form.reset();
  ASSERT_TRUE(OnDisk(work));
  EXPECT_EQ(ReadFile(work), "q");  // the typed byte; the others are the file's
  std::vector<OrphanedWorkCopy> found = FindOrphanedWorkCopies(work.substr(0, work.rfind('/') + 1));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].HasUnsavedChanges());
  found[0].Discard();
}

// A signal that comes while the offer is on screen closes the window; the box
// then ends as if "Нет" had been chosen. The work must outlive that.
TEST_F(RecoveryOfferTest, ASignalDuringTheOfferKeepsAllTheWorkForTheNextStart) {
  const std::string a = WriteFile("a.bin", "aaaa");
  const std::string b = WriteFile("b.bin", "bbbb");
  const std::string named = WriteFile("named.bin", "named");
  LeaveEdited(a, "41");
  LeaveEdited(b, "42");
  int code = -1;
  dialogs.onMessage = [&] {
    dialogs.onMessage = nullptr;
    EndOnSignal(*form, SIGTERM, [&](int c) { code = c; });
  };
  dialogs.AnswerMessage(MessageResult::No);
  form = CreateForms(dialogs, clipboard, {named});
  form->show();
  for (int i = 0; i < 50 && dialogs.messages.empty(); ++i) QTest::qWait(10);
  Settle();
  ASSERT_EQ(dialogs.messages.size(), 1u);  // nothing more is asked
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Editor().DataSize(), 0);  // the named file was not loaded either
  form.reset();

  std::vector<OrphanedWorkCopy> found =
      FindOrphanedWorkCopies(left_[0].substr(0, left_[0].rfind('/') + 1));
  ASSERT_EQ(found.size(), 2u);
  for (OrphanedWorkCopy& o : found) {
    EXPECT_TRUE(o.HasUnsavedChanges());
    o.Discard();
  }
}

// Only "Нет" removes offered work; a copy nothing is known of is never
// removed, and work already in its file is not offered.
TEST_F(RecoveryOfferTest, ClosingTheOfferKeepsTheWorkAndUnknownOrSavedWorkIsNotLost) {
  const std::string a = WriteFile("a.bin", "ABCD");
  LeaveEdited(a, "3");
  dialogs.AnswerMessage(MessageResult::Cancel);  // Esc or the close button
  Start();
  EXPECT_EQ(dialogs.messages.at(0).buttons, MessageButtons::YesNo);
  EXPECT_TRUE(OnDisk(left_[0]));
  form.reset();

  ASSERT_EQ(::truncate(RecoveryRecordPath(left_[0]).c_str(), 5), 0);
  const std::string unknown = "Найден рабочий файл без сведений о документе. Открыть как новый документ?";
  dialogs.Clear();
  dialogs.AnswerMessage(MessageResult::No);
  Start();
  EXPECT_EQ(dialogs.messages.at(0).text, unknown);
  EXPECT_TRUE(OnDisk(left_[0]));
  form.reset();
  // No is remembered: the next start keeps the copy without asking again.
  dialogs.Clear();
  Start();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(OnDisk(left_[0]));
  form.reset();
  ASSERT_EQ(::truncate(RecoveryRecordPath(left_[0]).c_str(), 5), 0);
  dialogs.Clear();
  dialogs.AnswerMessage(MessageResult::Yes);
  Start();
  EXPECT_EQ(dialogs.messages.at(0).text, unknown);
  EXPECT_EQ(Editor().FileName(), "Untitled");
  EXPECT_TRUE(Editor().Modified());
  EXPECT_EQ(EditorText(), "1BCD");
  Editor().NewDocument("Untitled");
  form.reset();

  LeaveEdited(a, "3");
  WriteFile("a.bin", "1BCD");  // saved before the record could say so
  dialogs.Clear();
  Start();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(OnDisk(left_[1]));
  EXPECT_FALSE(OnDisk(RecoveryRecordPath(left_[1])));
}

TEST_F(RecoveryOfferTest, LogoutRunsTheSavePromptOnlyWhenABoxIsAllowed) {
  const std::string path = WriteFile("data.bin", "ABCD");
  Start();
  ASSERT_TRUE(Editor().LoadFromFile(path));
  EXPECT_TRUE(CommitSessionData(*form, true));  // nothing to save: no box
  Type("7");
  EXPECT_TRUE(CommitSessionData(*form, false));
  EXPECT_TRUE(dialogs.messages.empty());
  dialogs.AnswerMessage(MessageResult::Cancel);
  EXPECT_FALSE(CommitSessionData(*form, true));  // the logout is to be cancelled
  dialogs.AnswerMessage(MessageResult::Yes);
  EXPECT_TRUE(CommitSessionData(*form, true));
  EXPECT_EQ(ReadFile(path), "qBCD");
  EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST(SignalBridge, TerminationSignalsArriveThroughTheEventLoop) {
  std::vector<int> received;
  {
    SignalBridge bridge;
    ASSERT_TRUE(bridge.Active());
    QObject::connect(&bridge, &SignalBridge::Received, [&](int n) { received.push_back(n); });
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_EQ(std::raise(SIGHUP), 0);
    ASSERT_EQ(std::raise(SIGINT), 0);
    // Nothing happens inside the handler.
    EXPECT_TRUE(received.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 3; }, 2000));
    // A second bridge would fight over the handlers.
    SignalBridge second;
    EXPECT_FALSE(second.Active());
  }
  EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));
  // The default actions are back once the bridge is gone.
  for (const int n : {SIGTERM, SIGHUP, SIGINT}) {
    struct sigaction now {};
    ASSERT_EQ(::sigaction(n, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL) << n;
  }
}

// Without a window manager the server can leave the keys with the window
// under the pointer after the start-up question while no window is active:
// each shortcut must work all the same, as the first key after that too.
TEST_F(RecoveryOfferTest, EveryShortcutWorksAfterTheQuestionWithNoWindowActive) {
  const std::string path = WriteFile("data.bin", "ABCDEFGH");
  LeaveEdited(path, "31");
  dialogs.AnswerMessage(MessageResult::Yes);
  Start();
  ASSERT_EQ(EditorText(), "1BCDEFGH");
  Type("5");
  QApplication::setActiveWindow(nullptr);
  Key(Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(EditorText(), "1BCDEFGH");
  EXPECT_EQ(QApplication::activeWindow(), form.get());
  QApplication::setActiveWindow(nullptr);
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(EditorText(), "QBCDEFGH");
  QApplication::setActiveWindow(nullptr);
  Key(Qt::Key_F2);
  EXPECT_EQ(ReadFile(path), "QBCDEFGH");
}

}  // namespace
}  // namespace bm::testing
