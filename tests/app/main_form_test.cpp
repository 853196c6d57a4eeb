// The main window: start-up, status line, caption, enabled states, the file
// commands with their save prompt, and key dispatch.
#include <QLabel>
#include <cstdio>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "app/AboutBox.h"
#include "app/CalchHex.h"
#include "app/findf.h"
#include "app/preview.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

TEST_F(AppTest, StartsUntitledWithItsWindowsInOrderAndItsLayout) {
  Start();
  EXPECT_EQ(form->windowTitle(), U("Редактируемый файл - [Untitled]"));
  EXPECT_EQ(form->PanelText(0), U("Смещение Dec: 0 Hex: 000000"));
  EXPECT_EQ(form->PanelText(1), QString());
  EXPECT_EQ(form->PanelText(2), QString());
  EXPECT_EQ(form->PanelText(3), U("Ч"));
  EXPECT_EQ(form->PanelText(4), U("Размер файла : 0"));
  EXPECT_EQ(form->JumpAmount(), 256);
  EXPECT_EQ(Editor().BytesPerColumn(), 1);
  EXPECT_FALSE(Editor().FocusFrame());
  EXPECT_EQ(form->PrinterFontName(), "Courier New Cyr");
  EXPECT_EQ(form->PrinterFontSize(), 10);

  // The four dialogs come after the main window, in order, hidden.
  std::vector<QString> dialogsInOrder;
  for (QObject* child : form->children())
    if (auto* d = qobject_cast<QDialog*>(child)) {
      dialogsInOrder.push_back(QString::fromLatin1(d->metaObject()->className()));
      EXPECT_FALSE(d->isVisible());
    }
  EXPECT_EQ(dialogsInOrder, (std::vector<QString>{"bm::TAboutForm", "bm::TFindForm",
                                                 "bm::TfmPreview", "bm::THexCalc"}));
  EXPECT_EQ(form->AboutForm()->parent(), form.get());

  // Toolbar and status line geometry.
  const int lefts[] = {0, 24, 48, 96, 120, 168, 192, 216};
  for (int i = 1; i <= 8; ++i) {
    ASSERT_NE(Button(i), nullptr);
    EXPECT_EQ(Button(i)->geometry(), QRect(lefts[i - 1], 0, 25, 25)) << i;
  }
  EXPECT_EQ(Button(8)->toolTip(), U("Шаг в перед"));
  std::vector<int> widths;
  for (auto* label : form->statusBar()->findChildren<QLabel*>()) widths.push_back(label->width());
  ASSERT_EQ(widths.size(), 5u);
  EXPECT_EQ(std::vector<int>(widths.begin(), widths.end() - 1), (std::vector<int>{200, 150, 30, 30}));
  EXPECT_GE(widths[4], 100) << "the last panel runs on to the edge";
  EXPECT_EQ(form->size(), QSize(696, 480));
}

TEST_F(AppTest, AnEmptyDocumentDisablesWhatNeedsData) {
  Start();
  // The openers run when their menus drop down.
  LookAtMenu("Datei1");
  LookAtMenu("Bearbeiten1");
  for (const char* off : {"Speichern1", "Speichernunter1", "Print1", "Printpreview1", "Rckgngig1",
                          "Ausschneiden1", "Kopieren1", "Einfgen1", "Goto1", "Find1", "FindNext1"})
    EXPECT_FALSE(Item(off)->isEnabled()) << off;
  for (const char* on : {"Neu1", "ffnen1", "N9", "Printsetup1", "Beenden1", "N8"})
    EXPECT_TRUE(Item(on)->isEnabled()) << on;
  EXPECT_TRUE(Button(1)->isEnabled());
  for (int i = 2; i <= 8; ++i) EXPECT_FALSE(Button(i)->isEnabled()) << i;

  // With data (and a clipboard text) they come on at the next opening.
  Editor().LoadFromFile(WriteCounting("data.bin", 10));
  clipboard.SetText("x");
  Settle();
  for (int i : {3, 4, 5, 7, 8}) EXPECT_TRUE(Button(i)->isEnabled()) << i;
  EXPECT_FALSE(Item("Goto1")->isEnabled());
  LookAtMenu("Bearbeiten1");
  for (const char* on : {"Goto1", "Find1", "FindNext1", "Einfgen1"})
    EXPECT_TRUE(Item(on)->isEnabled()) << on;
}

TEST_F(AppTest, StatusLineFollowsMovesAndSelections) {
  const std::string path = WriteCounting("data.bin", 1000);
  Start({path});
  EXPECT_EQ(form->windowTitle(), U("Редактируемый файл - [") + QString::fromStdString(path) + "]");
  EXPECT_EQ(form->PanelText(3), QString());
  EXPECT_EQ(form->PanelText(4), U("Размер файла : 1000"));

  dialogs.AnswerInput("300");
  Key(Qt::Key_A, Qt::ControlModifier);  // Go to
  ASSERT_EQ(dialogs.inputs.size(), 1u);
  EXPECT_EQ(dialogs.inputs[0].initial, "0");
  EXPECT_EQ(form->PanelText(0), U("Смещение Dec: 300 Hex: 00012C"));
  EXPECT_EQ(form->PanelText(1), QString());

  // A selection made upwards: from 300 back to 284.
  QTest::keyPress(EditorWidgetOf(), Qt::Key_Shift);
  Key(Qt::Key_Up, Qt::ShiftModifier);
  QTest::keyRelease(EditorWidgetOf(), Qt::Key_Shift);
  Settle();
  EXPECT_GT(Editor().SelStart(), Editor().SelEnd());
  EXPECT_EQ(form->PanelText(1), U("Выделено : 284 - 300"));
  EXPECT_EQ(form->PanelText(0), U("Смещение Dec: 284 Hex: 00011C"));

  Key(Qt::Key_Right);
  EXPECT_EQ(form->PanelText(1), QString());
  Type("7");
  EXPECT_EQ(form->PanelText(2), U("*"));
  EXPECT_TRUE(Button(2)->isEnabled());
  EXPECT_TRUE(Button(6)->isEnabled());
}

TEST_F(AppTest, CommandLineFileIsLoadedOnceAndStartUpSettingsStay) {
  const std::string path = WriteCounting("data.bin", 64);
  Start({path, "ignored"});
  EXPECT_EQ(Editor().FileName(), path);
  EXPECT_EQ(Editor().DataSize(), 64);
  EXPECT_FALSE(form->FirstActivation());

  Type("F");
  ASSERT_TRUE(Editor().Modified());
  Editor().SetBytesPerColumn(2);

  // Away to another window and back: Qt reports the activation again.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  Settle();

  EXPECT_TRUE(Editor().Modified()) << "the file was loaded again";
  EXPECT_EQ(Editor().ReadByte(0) >> 4, 0xF);
  EXPECT_EQ(Editor().BytesPerColumn(), 2);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AppTest, AFileThatCannotBeOpenedIsReportedAndKeepsTheDocument) {
  const std::string missing = Path("missing.bin");
  Start({missing});
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Cannot open file\r\n" + missing);
  EXPECT_EQ(dialogs.messages[0].caption, "");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(Editor().FileName(), "Untitled");

  // Open with the read-only box ticked: a good file becomes read-only...
  const std::string good = WriteCounting("good.bin", 20);
  dialogs.AnswerOpen(good, true);
  Key(Qt::Key_F3);
  ASSERT_EQ(dialogs.opens.size(), 1u);
  EXPECT_EQ(dialogs.opens[0].title, "Open file");
  EXPECT_EQ(dialogs.opens[0].filter, "All Files (*.*)|*.*");
  EXPECT_TRUE(dialogs.opens[0].showReadOnly);
  EXPECT_EQ(Editor().FileName(), good);
  EXPECT_TRUE(Editor().ReadOnly());
  EXPECT_EQ(form->PanelText(3), U("Ч"));

  // ...a missing one changes nothing, not even through the tick.
  Editor().LoadFromFile(good);
  Settle();
  ASSERT_FALSE(Editor().ReadOnly());
  Type("1");
  dialogs.AnswerOpen(missing, true);
  dialogs.AnswerMessage(MessageResult::No);  // the save prompt
  Key(Qt::Key_F3);
  EXPECT_EQ(dialogs.opens.back().initialName, good) << "the dialog starts at the last choice";
  EXPECT_EQ(dialogs.messages.back().text, "Cannot open file\r\n" + missing);
  EXPECT_EQ(Editor().FileName(), good);
  EXPECT_TRUE(Editor().Modified());
  EXPECT_FALSE(Editor().ReadOnly());
  EXPECT_EQ(Editor().DataSize(), 20);
}

TEST_F(AppTest, SavePromptAndItsThreeAnswers) {
  const std::string path = WriteFile("doc.bin", "ABCDEFGH");
  Start({path});
  Type("3");  // first digit of byte 0: 0x41 becomes 0x31
  ASSERT_TRUE(Editor().Modified());

  // Cancel: New is abandoned.
  dialogs.AnswerMessage(MessageResult::Cancel);
  Key(Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Файл \r\n" + path + " был изменен, сохранить?");
  EXPECT_EQ(dialogs.messages[0].caption, "Предупреждение");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNoCancel);
  EXPECT_EQ(Editor().FileName(), path);
  EXPECT_TRUE(Editor().Modified());

  // Yes: saved over its own file, the old contents kept as doc.bak, then New.
  dialogs.AnswerMessage(MessageResult::Yes);
  Key(Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(ReadFile(path), "1BCDEFGH");
  EXPECT_EQ(ReadFile(Path("doc.bak")), "ABCDEFGH");
  EXPECT_EQ(Editor().FileName(), "Untitled");
  EXPECT_EQ(form->windowTitle(), U("Редактируемый файл - [Untitled]"));

  // No: the changes go.
  Editor().LoadFromFile(path);
  Settle();
  Type("5");
  dialogs.AnswerMessage(MessageResult::No);
  Key(Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(Editor().FileName(), "Untitled");
  EXPECT_EQ(ReadFile(path), "1BCDEFGH");
}

TEST_F(AppTest, UntitledDocumentPromptsAsUnnamedAndCancelledSaveDialogStopsTheCommand) {
  Start();
  clipboard.SetText("xyz");
  Key(Qt::Key_Insert, Qt::ShiftModifier);  // paste into the new document
  ASSERT_EQ(Editor().DataSize(), 3);

  dialogs.AnswerMessage(MessageResult::Yes);
  dialogs.CancelSave();
  Key(Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Файл \r\nUnnamed File был изменен, сохранить?");
  ASSERT_EQ(dialogs.saves.size(), 1u);
  EXPECT_EQ(dialogs.saves[0].title, "Save as");
  EXPECT_TRUE(dialogs.saves[0].confirmOverwrite);
  EXPECT_EQ(Editor().DataSize(), 3) << "New went on after a cancelled save";

  // Yes and a name: saved there, no backup, then New.
  const std::string target = Path("new.dat");
  dialogs.AnswerMessage(MessageResult::Yes);
  dialogs.AnswerSave(target);
  Key(Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(ReadFile(target), "xyz");
  EXPECT_FALSE(Exists(Path("new.bak")));
  EXPECT_EQ(Editor().FileName(), "Untitled");
}

TEST_F(AppTest, FailedSavesAreReportedAndKeepTheChanges) {
  const std::string path = WriteFile("doc.bin", "ABCD");
  Start({path});
  Type("0");
  const std::string nowhere = Path("no/such/dir/x.bin");
  dialogs.AnswerSave(nowhere);
  Key(Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier);  // Save as
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Cannot save file\r\n" + nowhere + "\r\nNo such file or directory");
  EXPECT_TRUE(Editor().Modified());
  EXPECT_EQ(Editor().FileName(), path);

  // Save as a good name makes it the document's file; F2 then saves there.
  const std::string other = Path("other.bin");
  dialogs.AnswerSave(other);
  Key(Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier);
  // The dialog starts in the document's folder, at its own name.
  EXPECT_EQ(dialogs.saves.back().initialName, path);
  EXPECT_EQ(ReadFile(other), std::string("\x01" "BCD", 4));
  EXPECT_EQ(Editor().FileName(), other);
  EXPECT_FALSE(Editor().Modified());
  EXPECT_EQ(ReadFile(path), "ABCD");
}

TEST_F(AppTest, EscExitsAfterTheSavePrompt) {
  Start({WriteFile("doc.bin", "ABCD")});
  Type("9");
  dialogs.AnswerMessage(MessageResult::Cancel);
  Key(Qt::Key_Escape);
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(form->isVisible());

  dialogs.AnswerMessage(MessageResult::No);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(AppTest, MenuShortcutsComeBeforeTheEditorsKeys) {
  Start({WriteFile("doc.bin", "ABCDEFGH")});
  // Nothing on the clipboard, nothing selected: Paste, Copy and Cut are
  // disabled, and their keys still never reach the editor's Insert handling.
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  Key(Qt::Key_Insert, Qt::ControlModifier);
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_FALSE(Editor().InsertState());
  EXPECT_EQ(Editor().DataSize(), 8);

  // With text on the clipboard Shift+Ins pastes at the caret and selects.
  clipboard.SetText("xy");
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_FALSE(Editor().InsertState());
  EXPECT_EQ(Editor().DataSize(), 10);
  EXPECT_EQ(Editor().ReadByte(1), 'x');
  EXPECT_EQ(Editor().ReadByte(2), 'y');
  EXPECT_EQ(Editor().SelLength(), 2);

  // Insert alone is the editor's.
  Key(Qt::Key_Insert);
  EXPECT_TRUE(Editor().InsertState());
}

TEST_F(AppTest, ShortcutsActOnTheCurrentStateNotTheLastOpenedMenu) {
  const std::string path = WriteFile("doc.bin", "ABCD");
  Start({path});
  LookAtMenu("Datei1");
  ASSERT_FALSE(Item("Speichern1")->isEnabled());

  Type("2");
  Key(Qt::Key_F2);
  EXPECT_EQ(ReadFile(path), "!BCD");
  EXPECT_FALSE(Editor().Modified());

  // Unmodified: F2 is disabled and does nothing.
  Key(Qt::Key_F2);
  EXPECT_TRUE(dialogs.saves.empty());
}

TEST_F(AppTest, DroppedFileOpensLikeOpenWithItsNameAsBytes) {
  Start();
  const std::string name = "\xff\xfe raw.bin";
  const std::string path = WriteFile(name, "drop");
  QMimeData data;
  // A URI list with the name's bytes percent-encoded, as file managers send it.
  QByteArray encoded = QByteArray::fromStdString(path).toPercentEncoding("/");
  data.setData(QStringLiteral("text/uri-list"), "file://" + encoded + "\r\n");

  const QPoint at = form->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &drop);
  Settle();
  EXPECT_EQ(Editor().FileName(), path);
  EXPECT_EQ(Editor().DataSize(), 4);
  // The temporary folder cannot remove a name that is no text.
  std::remove(path.c_str());
}

}  // namespace
}  // namespace bm::testing
