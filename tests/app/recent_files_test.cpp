// The recent files submenu: order, limit, opening and removal, names kept as
// bytes, and a settings file full of garbage.
#include <QMenu>
#include <cstdlib>
#include <filesystem>

#include "app/recent_files.h"
#include "app/settings.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

class RecentFilesTest : public AppTest {
 protected:
  // The texts of the submenu as the File menu's opener leaves them.
  QStringList Shown() {
    form->Datei1Click();
    QStringList texts;
    for (QAction* a : form->findChild<QMenu*>(QStringLiteral("Recent1"))->actions())
      texts.append(a->text());
    return texts;
  }
  bool SubmenuEnabled() {
    form->Datei1Click();
    return form->findChild<QMenu*>(QStringLiteral("Recent1"))->menuAction()->isEnabled();
  }
  void Choose(int number) {
    form->Datei1Click();
    QAction* item = form->findChild<QAction*>(QStringLiteral("Recent1File%1").arg(number));
    ASSERT_NE(item, nullptr) << number;
    item->trigger();
    Settle();
  }
  static QByteArray B(const std::string& s) { return QByteArray::fromStdString(s); }
};

TEST_F(RecentFilesTest, OpenedAndSavedFilesComeFirstUpToEightAndReopenLikeOpen) {
  const std::string a = WriteFile("a.bin", "aaaa");
  const std::string b = WriteFile("b & c.bin", "bbbb");
  Start({a});
  EXPECT_EQ(RecentFiles(), QList<QByteArray>{B(a)});
  dialogs.AnswerOpen(b);
  Key(Qt::Key_F3);
  const std::string saved = Path("saved.bin");
  dialogs.AnswerSave(saved);
  form->Speichernunter1Click();
  EXPECT_EQ(RecentFiles(), (QList<QByteArray>{B(saved), B(b), B(a)}));
  // Full names with their access numbers; an ampersand stays a character.
  EXPECT_EQ(Shown(), (QStringList{U("&1 ") + DisplayName(saved), U("&2 ") + DisplayName(b).replace(
                                                                      U("&"), U("&&")),
                                  U("&3 ") + DisplayName(a)}));

  // Choosing one asks about unsaved changes first, as Open does.
  Type("7");
  dialogs.AnswerMessage(MessageResult::No);
  Choose(3);
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(Editor().FileName(), a);
  EXPECT_EQ(RecentFiles().front(), B(a));
  EXPECT_EQ(RecentFiles().size(), 3);

  // Eight at most, the newest first.
  for (int i = 0; i < 10; ++i) NoteRecentFile(WriteFile("f" + std::to_string(i), "f"));
  const QList<QByteArray> list = RecentFiles();
  ASSERT_EQ(list.size(), kMaxRecentFiles);
  EXPECT_EQ(list.front(), B(Path("f9")));
  EXPECT_EQ(list.back(), B(Path("f2")));
  EXPECT_EQ(Shown().size(), kMaxRecentFiles);
}

TEST_F(RecentFilesTest, AFileThatNoLongerOpensLeavesTheListAfterItsError) {
  const std::string gone = WriteFile("gone.bin", "gone");
  const std::string kept = WriteFile("kept.bin", "kept");
  Start({gone});
  NoteRecentFile(kept);
  std::filesystem::remove(gone);
  Choose(2);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind("Cannot open file\r\n", 0), 0u);
  EXPECT_EQ(RecentFiles(), QList<QByteArray>{B(kept)});
  EXPECT_EQ(Editor().FileName(), gone);  // the document stays

  // Another editor's entry written meanwhile is kept by the next change here.
  settings::SetByteList(settings::kRecentFiles, {B("/elsewhere/x.bin"), B(kept)});
  Choose(2);
  EXPECT_EQ(RecentFiles(), (QList<QByteArray>{B(kept), B("/elsewhere/x.bin")}));
}

TEST_F(RecentFilesTest, NamesComeBackByteForByteAndGarbageGivesAnEmptyDisabledList) {
  Start();
  EXPECT_FALSE(SubmenuEnabled());
  const std::string odd = Path("line\nbreak \xff\xfe.bin");
  NoteRecentFile(odd);
  NoteRecentFile("relative.bin");
  const std::string here = std::filesystem::current_path().string() + "/relative.bin";
  EXPECT_EQ(RecentFiles(), (QList<QByteArray>{B(here), B(odd)}));
  EXPECT_TRUE(SubmenuEnabled());
  ForgetRecentFile("relative.bin");
  EXPECT_EQ(RecentFiles(), QList<QByteArray>{B(odd)});

  const std::filesystem::path store =
      std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "Bytemoor" / "Bytemoor.conf";
  {
    std::ofstream out(store, std::ios::binary | std::ios::trunc);
    out << "[recent]\nfiles=zz, 4, \xff\x00\x01, @Variant(garbage\n[[[\n";
  }
  EXPECT_TRUE(RecentFiles().isEmpty());
  EXPECT_FALSE(SubmenuEnabled());
  // The next file is noted over the garbage.
  NoteRecentFile(odd);
  EXPECT_EQ(RecentFiles(), QList<QByteArray>{B(odd)});
}


// Open and Save as start in the document's folder; a new document's dialogs
// start in the folder last used, remembered for the next start.
TEST_F(RecentFilesTest, FileDialogsStartInTheDocumentsFolderOrTheLastOneUsed) {
  const std::string doc = WriteFile("doc.bin", "abcd");
  const std::string folder = doc.substr(0, doc.rfind('/') + 1);
  std::filesystem::create_directory(Path("sub"));
  const std::string inSub = WriteFile("sub/other.bin", "xyz");
  Start({doc});
  dialogs.CancelOpen();
  Key(Qt::Key_F3);
  ASSERT_EQ(dialogs.opens.size(), 1u);
  EXPECT_EQ(dialogs.opens[0].initialFolder, folder);
  EXPECT_EQ(dialogs.opens[0].initialName, "");
  dialogs.CancelSave();
  Key(Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier);
  ASSERT_EQ(dialogs.saves.size(), 1u);
  EXPECT_EQ(dialogs.saves[0].initialFolder, folder);
  EXPECT_EQ(dialogs.saves[0].initialName, doc) << "Save as offers the document's own name";

  // Opened from another folder: the dialogs follow the document there.
  dialogs.AnswerOpen(inSub);
  Key(Qt::Key_F3);
  dialogs.CancelOpen();
  Key(Qt::Key_F3);
  EXPECT_EQ(dialogs.opens.back().initialFolder, folder + "sub/");
  EXPECT_EQ(dialogs.opens.back().initialName, inSub);

  // A new document: the folder last used, also after a restart.
  Key(Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier);
  ASSERT_EQ(Editor().FileName(), "Untitled");
  clipboard.SetText("new");
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  dialogs.CancelSave();
  Key(Qt::Key_F2);
  EXPECT_EQ(dialogs.saves.back().initialFolder, folder + "sub/");
  EXPECT_EQ(dialogs.saves.back().initialName, "");
  form->ByteEditor1().NewDocument("Untitled");
  form.reset();
  Start();
  dialogs.CancelOpen();
  Key(Qt::Key_F3);
  EXPECT_EQ(dialogs.opens.back().initialFolder, folder + "sub/");
}

}  // namespace
}  // namespace bm::testing
