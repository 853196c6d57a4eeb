// The Qt boxes and the Qt clipboard: what the user sees and what comes back.
// Each box is answered from a timer that acts on the modal window once it is
// up; a box that never shows is closed after a few seconds as a failure.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>
#include <random>

#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_title_fit.h"

namespace bm {
namespace {

// Runs act on the next modal window to come up.
void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  auto* clock = new QElapsedTimer;
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal && clock->elapsed() < 5000) return;
    timer->stop();
    timer->deleteLater();
    delete clock;
    if (!modal) {
      ADD_FAILURE() << "no modal window came up";
      return;
    }
    act(modal);
  });
  timer->start(10);
}

QStringList ButtonTexts(QWidget* w) {
  QStringList texts;
  for (auto* b : w->findChildren<QPushButton*>())
    if (b->isVisible()) texts << b->text();
  return texts;
}

void Click(QWidget* w, const QString& text) {
  for (auto* b : w->findChildren<QPushButton*>())
    if (b->text() == text) {
      b->click();
      return;
    }
  ADD_FAILURE() << "no button " << text.toStdString();
  if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
}

// Two-button questions: closing the box is no "Нет"; Enter presses the default.
TEST(QtDialogsTest, YesNoBoxesTellClosingFromNoAndHaveTheirDefaultButton) {
  QtDialogs dialogs;
  for (MessageButtons buttons : {MessageButtons::YesNo, MessageButtons::YesNoDefaultNo}) {
    QStringList seen;
    QString defaultText;
    WhenModal([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      seen = ButtonTexts(box);
      if (box->defaultButton()) defaultText = box->defaultButton()->text();
      QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(dialogs.MessageBox("q", "x", MessageIcon::Question, buttons), MessageResult::Cancel);
    seen.sort();
    EXPECT_EQ(seen.join('|').toStdString(), "&Да|&Нет");
    EXPECT_EQ(defaultText.toStdString(), buttons == MessageButtons::YesNo ? "&Да" : "&Нет");

    WhenModal([](QWidget* w) { w->close(); });  // the window's close button
    EXPECT_EQ(dialogs.MessageBox("q", "x", MessageIcon::Question, buttons), MessageResult::Cancel);
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_EQ(dialogs.MessageBox("q", "x", MessageIcon::Question, buttons),
              buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::No);
  }
}

TEST(QtDialogsTest, SavePromptShowsItsTextOnTwoLinesAndItsThreeButtons) {
  QtDialogs dialogs;
  const std::string text = "Файл \r\n/tmp/a.bin был изменен, сохранить?";
  QString seenText, seenTitle;
  QStringList seenButtons;
  int seenWidth = 0;
  QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
  auto inspectAnd = [&](const char* answer) {
    WhenModal([&, answer](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      seenText = box->text();
      seenTitle = box->windowTitle();
      seenIcon = box->icon();
      seenButtons = ButtonTexts(box);
      seenWidth = box->width();
      Click(box, QString::fromUtf8(answer));
    });
  };

  inspectAnd("&Да");
  EXPECT_EQ(dialogs.MessageBox(text, "Предупреждение", MessageIcon::Warning,
                               MessageButtons::YesNoCancel),
            MessageResult::Yes);
  EXPECT_EQ(seenText.toStdString(), "Файл \n/tmp/a.bin был изменен, сохранить?");
  EXPECT_EQ(seenTitle.toStdString(), "Предупреждение");
  EXPECT_EQ(seenIcon, QMessageBox::Warning);
  seenButtons.sort();
  EXPECT_EQ(seenButtons.join('|').toStdString(), "&Да|&Нет|Отмена");

  inspectAnd("&Нет");
  EXPECT_EQ(dialogs.MessageBox(text, "x", MessageIcon::Warning, MessageButtons::YesNoCancel),
            MessageResult::No);
  inspectAnd("Отмена");
  EXPECT_EQ(dialogs.MessageBox(text, "x", MessageIcon::Warning, MessageButtons::YesNoCancel),
            MessageResult::Cancel);

  // Closing the box (Esc) cancels.
  WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(dialogs.MessageBox(text, "x", MessageIcon::Warning, MessageButtons::YesNoCancel),
            MessageResult::Cancel);

  // The error box: stop icon, OK, the application's own caption.
  QApplication::setApplicationDisplayName(QStringLiteral("Bytemoor"));
  inspectAnd("OK");
  EXPECT_EQ(dialogs.MessageBox("Invalid position", "", MessageIcon::Error, MessageButtons::Ok),
            MessageResult::Ok);
  EXPECT_EQ(seenIcon, QMessageBox::Critical);
  EXPECT_EQ(seenTitle.toStdString(), "Bytemoor");
  EXPECT_EQ(seenButtons.join('|').toStdString(), "OK");
  EXPECT_GE(seenWidth, TitleBarWidth(seenTitle));
}

TEST(QtDialogsTest, OpenDialogHasTheReadOnlyBoxAndAFilterForEveryFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.path().toStdString() + "/README";
  std::ofstream(path) << "x";

  QtDialogs dialogs;
  FileDialogRequest request;
  request.title = "Open file";
  request.filter = "All Files (*.*)|*.*";
  request.showReadOnly = true;
  request.mustExist = true;
  QString title;
  QStringList filters;
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    auto* box = dialog->findChild<QCheckBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), "Только чтение");
    box->setChecked(true);
    dialog->setDirectory(dir.path());
    filters = dialog->nameFilters();
    // The dialog lists the folder in the background and takes an existing
    // file only once it is listed: on a busy machine the first accept may
    // come too early.
    for (int i = 0; i < 500 && dialog->isVisible(); ++i) {
      dialog->selectFile(QString::fromStdString(path));
      QMetaObject::invokeMethod(dialog, "accept");
      if (dialog->isVisible()) QTest::qWait(10);
    }
    if (dialog->isVisible()) {
      ADD_FAILURE() << "the dialog never took the file";
      dialog->reject();
    }
  });
  const std::optional<FileDialogResult> chosen = dialogs.OpenFile(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(title.toStdString(), "Open file");
  EXPECT_EQ(chosen->path, path);
  EXPECT_TRUE(chosen->readOnlyChecked);
  // "*.*" matches names without a dot too, as on Windows.
  EXPECT_EQ(filters.join('|').toStdString(), "All Files (*.*) (*)");

  // Cancelled.
  WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  EXPECT_FALSE(dialogs.OpenFile(request).has_value());

  // The save dialog has no such box.
  FileDialogRequest save;
  save.title = "Save as";
  save.filter = request.filter;
  save.confirmOverwrite = true;
  bool hasBox = true;
  WhenModal([&](QWidget* w) {
    hasBox = w->findChild<QCheckBox*>() != nullptr;
    qobject_cast<QDialog*>(w)->reject();
  });
  EXPECT_FALSE(dialogs.SaveFile(save).has_value());
  EXPECT_FALSE(hasBox);
}

TEST(QtDialogsTest, InputBoxShowsItsPromptAndReturnsTheEditedText) {
  QtDialogs dialogs;
  int width = 0;
  QString title, label, initial;
  QStringList buttons;
  WhenModal([&](QWidget* w) {
    auto* input = qobject_cast<QInputDialog*>(w);
    ASSERT_NE(input, nullptr);
    title = input->windowTitle();
    label = input->labelText();
    initial = input->textValue();
    buttons = ButtonTexts(input);
    width = input->width();
    input->setTextValue(QStringLiteral("$10"));
    input->accept();
  });
  const std::optional<std::string> text =
      dialogs.InputBox("Перейти по адресу...", "($ - HEX)", "300");
  EXPECT_EQ(text, std::optional<std::string>("$10"));
  EXPECT_EQ(title.toStdString(), "Перейти по адресу...");
  EXPECT_EQ(label.toStdString(), "($ - HEX)");
  EXPECT_EQ(initial.toStdString(), "300");
  EXPECT_GE(width, TitleBarWidth(title)) << "the whole title in a window manager's bar";
  buttons.sort();
  EXPECT_EQ(buttons.join('|').toStdString(), "OK|Отмена");

  WhenModal([](QWidget* w) { Click(w, QString::fromUtf8("Отмена")); });
  EXPECT_FALSE(dialogs.InputBox("c", "p", "1").has_value());
}

TEST(QtClipboardTest, TextTravelsAsWindows1251BytesUpToTheFirstZero) {
  QtClipboard clipboard;
  clipboard.Clear();
  EXPECT_FALSE(clipboard.HasText());

  clipboard.SetText(std::string("\xCF\xF0\xE8\x00tail", 8));  // "При", then a zero
  EXPECT_TRUE(clipboard.HasText());
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "При");
  EXPECT_EQ(clipboard.Text(), "\xCF\xF0\xE8");

  // What other programs put there: characters the code page lacks become "?".
  QGuiApplication::clipboard()->setText(QString::fromUtf8("a€ж中") + QChar(0) +
                                        QStringLiteral("rest"));
  EXPECT_EQ(clipboard.Text(), "a\x88\xE6?");
  clipboard.Clear();
  EXPECT_FALSE(clipboard.HasText());
}

TEST(QtClipboardTest, BytesTravelExactlyBesideTheirText) {
  QtClipboard clipboard;
  std::string every(256, '\0');
  for (int i = 0; i < 256; ++i) every[static_cast<size_t>(i)] = static_cast<char>(255 - i);
  std::mt19937 random(7);
  std::string noise(1 << 20, '\0');
  for (char& c : noise) c = static_cast<char>(random());

  for (const std::string* bytes : {&every, &noise}) {
    clipboard.SetBytes(std::make_shared<const std::string>(*bytes));
    ASSERT_TRUE(clipboard.HasBytes());
    const ClipboardBytes own = clipboard.Bytes();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(own.data), own.size), *bytes);
    // Other programs see the text up to the first zero byte.
    EXPECT_TRUE(clipboard.HasText());
    EXPECT_EQ(clipboard.Text(), bytes->substr(0, bytes->find('\0')));
    // As another program's copy arrives: a plain array under the binary type.
    const QByteArray raw = QGuiApplication::clipboard()->mimeData()->data(kBytesMimeType);
    auto* foreign = new QMimeData;
    foreign->setData(kBytesMimeType, raw);
    QGuiApplication::clipboard()->setMimeData(foreign);
    const ClipboardBytes other = clipboard.Bytes();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(other.data), other.size), *bytes);
  }

  // Text alone, from a program that offers no bytes.
  QGuiApplication::clipboard()->setText(QStringLiteral("plain"));
  EXPECT_FALSE(clipboard.HasBytes());
  EXPECT_EQ(clipboard.Bytes().size, 0u);
  EXPECT_EQ(clipboard.Text(), "plain");
  clipboard.Clear();
  EXPECT_FALSE(clipboard.HasBytes());
}

}  // namespace
}  // namespace bm
