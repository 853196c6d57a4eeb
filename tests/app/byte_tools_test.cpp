// The byte tools through the main window: copy as text and paste it back,
// fill, checksums, the selection to a file and a file into the document.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "app/checksum_form.h"
#include "app/fill_form.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

class ByteToolsTest : public AppTest {
 protected:
  std::string Bytes(int32_t from, int32_t count) {
    std::string out(static_cast<size_t>(count), '\0');
    Editor().ReadBytes(out.data(), from, count);
    return out;
  }
  // Runs item, doing inside in the modal dialog it opens.
  template <typename Dialog, typename F>
  void WithDialog(const char* item, F inside) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      seen = true;
      inside(*dialog);
    });
    form->DispatchShortcut(Item(item));
    Settle();
    EXPECT_TRUE(seen) << item;
  }
};

// "Копировать как" of four selected bytes in each form, the C array pasted
// back elsewhere with Ctrl+Shift+V writing the same bytes, one Undo
// taking the paste back; nothing selected copies the byte at the cursor.
TEST_F(ByteToolsTest, CopyAsAndPasteHexBack) {
  Start({WriteFile("mz.bin", std::string("\x4D\x5A\x90\x00", 4) + std::string(12, '\x11'))});
  Select(0, 3);
  LookAtMenu("Bearbeiten1");
  Item("CopyAsC1")->trigger();
  EXPECT_EQ(clipboard.Text(), "unsigned char data[4] = { 0x4D, 0x5A, 0x90, 0x00 };");
  Item("CopyAsPython1")->trigger();
  EXPECT_EQ(clipboard.Text(), "b'\\x4d\\x5a\\x90\\x00'");
  Item("CopyAsBase641")->trigger();
  EXPECT_EQ(clipboard.Text(), "TVqQAA==");
  Item("CopyAsHex1")->trigger();
  EXPECT_EQ(clipboard.Text(), "4D 5A 90 00");

  Item("CopyAsC1")->trigger();
  Editor().ClearSelection(true);
  Editor().GotoPosition(8, 0, true);
  Settle();
  form->DispatchShortcut(Item("PasteHex1"));
  Settle();
  EXPECT_EQ(Bytes(8, 4), std::string("\x4D\x5A\x90\x00", 4));
  EXPECT_EQ(Editor().DataSize(), 20);  // inserted at the cursor, as Paste does
  Editor().Undo();
  EXPECT_EQ(Editor().DataSize(), 16);
  EXPECT_EQ(Bytes(8, 4), std::string(4, '\x11'));

  Editor().ClearSelection(true);
  Editor().GotoPosition(1, 0, true);
  Settle();
  Item("CopyAsHexPlain1")->trigger();
  EXPECT_EQ(clipboard.Text(), "5A");
}

// Text that is no hex is refused with the first offending character and its
// position, and nothing changes; no text at all leaves the item disabled.
TEST_F(ByteToolsTest, PasteHexRefusals) {
  Start({WriteFile("data.bin", std::string(8, '\x22'))});
  clipboard.SetText("4D 5A 9");
  form->DispatchShortcut(Item("PasteHex1"));
  Settle();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Не шестнадцатеричный текст: «9» в позиции 7.");
  clipboard.SetText("DE AD\nZZ");
  form->DispatchShortcut(Item("PasteHex1"));
  Settle();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "Не шестнадцатеричный текст: «Z» в позиции 7.");
  EXPECT_EQ(Editor().DataSize(), 8);
  EXPECT_FALSE(Editor().Modified());

  clipboard.Clear();
  LookAtMenu("Bearbeiten1");
  EXPECT_FALSE(Item("PasteHex1")->isEnabled());
}

// "DE AD" over five selected bytes gives DE AD DE AD DE, the size kept and
// one Undo taking it back; without a selection or on a read-only file the
// item is disabled.
TEST_F(ByteToolsTest, FillSelection) {
  Start({WriteFile("data.bin", std::string(10, '\x01'))});
  LookAtMenu("Bearbeiten1");
  EXPECT_FALSE(Item("Fill1")->isEnabled());
  Select(3, 7);
  WithDialog<FillForm>("Fill1", [](FillForm& dialog) {
    dialog.findChild<QLineEdit*>(QStringLiteral("FillPattern"))->setText(QStringLiteral("DE AD"));
    dialog.findChild<QPushButton*>(QStringLiteral("FillOk"))->click();
  });
  EXPECT_EQ(Bytes(0, 10), std::string("\x01\x01\x01\xDE\xAD\xDE\xAD\xDE\x01\x01", 10));
  EXPECT_EQ(Editor().DataSize(), 10);
  EXPECT_TRUE(Editor().IsByteChanged(7));
  EXPECT_FALSE(Editor().IsByteChanged(8));
  Editor().Undo();
  EXPECT_EQ(Bytes(0, 10), std::string(10, '\x01'));

  Editor().MarkReadOnly(true);
  Select(0, 9);
  LookAtMenu("Bearbeiten1");
  EXPECT_FALSE(Item("Fill1")->isEnabled());
}

// Ctrl+M over the whole document and over a selection, each sum as
// sha256sum and zlib print it.
TEST_F(ByteToolsTest, ChecksumsOfDocumentAndSelection) {
  Start({WriteFile("abc.bin", "xabcx")});
  WithDialog<ChecksumForm>("Checksums1", [](ChecksumForm& dialog) {
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Sum_sha256"))->text().size(), 64);
    EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("ChecksumRange"))
                    ->text()
                    .startsWith(QString::fromUtf8("Весь документ : 0 - 4")));
    dialog.reject();
  });
  Select(1, 3);
  WithDialog<ChecksumForm>("Checksums1", [](ChecksumForm& dialog) {
    EXPECT_EQ(dialog.Sum(ChecksumKind::Crc32), QStringLiteral("352441c2"));
    EXPECT_EQ(dialog.Sum(ChecksumKind::Sha256),
              QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Sum_sha3_256"))->text(),
              QStringLiteral("3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532"));
    dialog.reject();
  });
}

// Over 64 MiB the pass runs in slices with "Стоп"; stopping leaves the
// fields empty.
TEST_F(ByteToolsTest, LongChecksumStops) {
  const int64_t count = ChecksumForm::kProgressThreshold + 1;
  ChecksumForm dialog(nullptr, QStringLiteral("range"), 0, count, [](uint8_t* to, int64_t, int64_t n) {
    std::memset(to, 0, static_cast<size_t>(n));
    return n;
  });
  dialog.show();
  dialog.Start();
  EXPECT_TRUE(dialog.Running());
  QCoreApplication::processEvents();
  EXPECT_TRUE(dialog.Running());
  dialog.findChild<QPushButton*>(QStringLiteral("ChecksumStop"))->click();
  EXPECT_FALSE(dialog.Running());
  EXPECT_TRUE(dialog.Sum(ChecksumKind::Sha256).isEmpty());
  dialog.Start();
  while (dialog.Running()) QCoreApplication::processEvents();
  EXPECT_EQ(dialog.Sum(ChecksumKind::Crc32).size(), 8);
}

// The selection goes to a new file byte for byte; a link at the chosen name
// is replaced, not followed; a file is inserted at the cursor as one change
// and a folder or a FIFO is refused with the reason, nothing changed.
TEST_F(ByteToolsTest, SelectionToFileAndFileIntoDocument) {
  std::string data;
  for (int i = 0; i < 300; ++i) data.push_back(static_cast<char>(i * 7));
  Start({WriteFile("data.bin", data)});
  Select(100, 299);  // to the last byte
  dialogs.AnswerSave(Path("part.bin"));
  form->DispatchShortcut(Item("SaveSelection1"));
  Settle();
  EXPECT_EQ(ReadFile(Path("part.bin")), data.substr(100));

  const std::string secret = WriteFile("secret.bin", "keep");
  ASSERT_EQ(::symlink(secret.c_str(), Path("link.bin").c_str()), 0);
  dialogs.AnswerSave(Path("link.bin"));
  form->DispatchShortcut(Item("SaveSelection1"));
  Settle();
  EXPECT_EQ(ReadFile(secret), "keep");
  EXPECT_EQ(ReadFile(Path("link.bin")), data.substr(100));

  Editor().ClearSelection(true);
  Editor().GotoPosition(10, 0, true);
  Settle();
  dialogs.AnswerOpen(WriteFile("insert.bin", "INSERTED"));
  form->DispatchShortcut(Item("InsertFile1"));
  Settle();
  EXPECT_EQ(Editor().DataSize(), 308);
  EXPECT_EQ(Bytes(10, 8), "INSERTED");
  EXPECT_EQ(Bytes(18, 4), data.substr(10, 4));
  Editor().Undo();
  EXPECT_EQ(Editor().DataSize(), 300);

  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  dialogs.AnswerOpen(Path("fifo"));
  form->DispatchShortcut(Item("InsertFile1"));
  ASSERT_EQ(::mkdir(Path("folder").c_str(), 0700), 0);
  dialogs.AnswerOpen(Path("folder"));
  form->DispatchShortcut(Item("InsertFile1"));
  Settle();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_NE(dialogs.messages[0].text.find("это не обычный файл"), std::string::npos);
  EXPECT_NE(dialogs.messages[1].text.find("это папка"), std::string::npos);
  EXPECT_EQ(Editor().DataSize(), 300);
}

}  // namespace
}  // namespace bm::testing
