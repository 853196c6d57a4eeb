// The interface in English: the switch, the remembered choice, --lang, and the translation file.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QXmlStreamReader>
#include <functional>

#include "app/app_setup.h"
#include "app/settings.h"
#include "app/ui_language.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

bool HasCyrillic(const QString& text) {
  static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
  return text.contains(cyrillic);
}

// Every text the user can see on root and what it holds, with where it is.
QStringList CyrillicTexts(QWidget* root) {
  const QStringList bilingual = {QStringLiteral("Язык / Language"), QStringLiteral("Русский")};
  QStringList found;
  auto check = [&](const QObject* where, const QString& text) {
    if (HasCyrillic(text) && !bilingual.contains(text))
      found << where->objectName() + QStringLiteral(": ") + text;
  };
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  for (QWidget* w : widgets) {
    check(w, w->windowTitle());
    check(w, w->toolTip());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) check(w, b->text());
    if (auto* l = qobject_cast<QLabel*>(w)) check(w, l->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) check(w, g->title());
    if (auto* m = qobject_cast<QMenu*>(w)) check(w, m->title());
    if (auto* c = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < c->count(); ++i) check(w, c->itemText(i));
  }
  for (QAction* a : root->findChildren<QAction*>()) {
    check(a, a->text());
    check(a, a->toolTip());
  }
  return found;
}

class LanguageTest : public AppTest {
 protected:
  void TearDown() override {
    SetUiLanguage(UiLanguage::Russian);
    Settle();
    AppTest::TearDown();
  }

  // Presses key in the editor and looks at the modal dialog it opens.
  QStringList CyrillicInDialog(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QStringList found;
    bool seen = false;
    QTimer::singleShot(50, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog) return;
      seen = true;
      found = CyrillicTexts(dialog);
      dialog->close();
    });
    Key(key, modifiers);
    EXPECT_TRUE(seen) << "no dialog for key " << key;
    return found;
  }
};

TEST_F(LanguageTest, EnglishLeavesNoRussianInAnyWindowAndRussianComesBack) {
  Start({WriteCounting("data.bin", 300)});
  const QString russianTitle = form->windowTitle();
  ASSERT_TRUE(HasCyrillic(russianTitle));

  Item("LangEnglish1")->trigger();
  Settle();
  EXPECT_EQ(CurrentUiLanguage(), UiLanguage::English);
  EXPECT_TRUE(Item("LangEnglish1")->isChecked());
  EXPECT_EQ(form->findChild<QMenu*>(QStringLiteral("Datei1"))->title(), QStringLiteral("&File"));
  Select(2, 5);
  Key(Qt::Key_Right);
  for (const char* menu : {"Datei1", "Bearbeiten1", "View1", "Jump1"}) LookAtMenu(menu);
  Key(Qt::Key_F9);  // the value inspector, docked in the main window
  EXPECT_EQ(CyrillicTexts(form.get()), QStringList());
  // Qt's own texts follow.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

  EXPECT_EQ(CyrillicInDialog(Qt::Key_F7), QStringList());                     // find
  EXPECT_EQ(CyrillicInDialog(Qt::Key_R, Qt::ControlModifier), QStringList());  // replace
  EXPECT_EQ(CyrillicInDialog(Qt::Key_F6), QStringList());                     // calculator
  EXPECT_EQ(CyrillicInDialog(Qt::Key_F1), QStringList());                     // about
  EXPECT_EQ(CyrillicInDialog(Qt::Key_V, Qt::ControlModifier), QStringList());  // preview

  // The save question, through the program's boxes.
  Type("41");
  dialogs.AnswerMessage(MessageResult::No);
  form->Neu1Click();
  ASSERT_FALSE(dialogs.messages.empty());
  EXPECT_FALSE(HasCyrillic(QString::fromStdString(dialogs.messages.back().text)))
      << dialogs.messages.back().text;
  EXPECT_FALSE(HasCyrillic(QString::fromStdString(dialogs.messages.back().caption)));

  // Back to Russian at once, and the choice is remembered.
  EXPECT_EQ(settings::Value(settings::kLanguage).toString(), QStringLiteral("en"));
  Item("LangRussian1")->trigger();
  Settle();
  EXPECT_EQ(form->findChild<QMenu*>(QStringLiteral("Datei1"))->title(), U("&Файлы"));
  EXPECT_EQ(Button(1)->toolTip(), U("Открыть"));
  EXPECT_TRUE(HasCyrillic(form->windowTitle()));
  EXPECT_EQ(settings::Value(settings::kLanguage).toString(), QStringLiteral("ru"));
}

TEST_F(LanguageTest, StartLanguageComesFromTheCommandLineThenTheSettingsElseRussian) {
  EXPECT_EQ(StartLanguage(std::nullopt), UiLanguage::Russian);
  RememberUiLanguage(UiLanguage::English);
  EXPECT_EQ(StartLanguage(std::nullopt), UiLanguage::English);
  // --lang ru is for one run: the stored choice stays.
  EXPECT_EQ(StartLanguage(UiLanguage::Russian), UiLanguage::Russian);
  EXPECT_EQ(settings::Value(settings::kLanguage).toString(), QStringLiteral("en"));
  settings::SetValue(settings::kLanguage, QStringLiteral("klingon"));
  EXPECT_EQ(StartLanguage(std::nullopt), UiLanguage::Russian);

  auto parse = [](std::vector<const char*> args) {
    args.insert(args.begin(), "bytemoor");
    std::FILE* sink = std::tmpfile();
    const CommandLine line =
        ParseCommandLine(static_cast<int>(args.size()), const_cast<char**>(args.data()), true, sink, sink);
    std::fclose(sink);
    return line;
  };
  CommandLine line = parse({"--lang", "en", "file.bin"});
  EXPECT_FALSE(line.exit);
  EXPECT_EQ(line.language, "en");
  EXPECT_EQ(line.files, std::vector<std::string>{"file.bin"});
  line = parse({"--lang=RU"});
  EXPECT_EQ(line.language, "ru");
  EXPECT_TRUE(line.files.empty());
  line = parse({"--lang", "de"});
  EXPECT_TRUE(line.exit);
  EXPECT_EQ(line.exitCode, 2);
  EXPECT_NE(UsageText().find("--lang en|ru"), std::string::npos);
}

// Every message of a .ts file has a finished translation.
QStringList UnfinishedEntries(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {QStringLiteral("cannot read ") + path};
  QStringList bad;
  QXmlStreamReader xml(&file);
  QString source;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == QLatin1String("source")) {
      source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    } else if (xml.name() == QLatin1String("translation")) {
      const QString type = xml.attributes().value(QLatin1String("type")).toString();
      const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
      if (!type.isEmpty() || text.trimmed().isEmpty()) bad << type + QStringLiteral(": ") + source;
    }
  }
  if (xml.hasError()) bad << xml.errorString();
  return bad;
}

TEST(TranslationFileTest, EveryTextOfTheSourcesHasAFinishedTranslation) {
  EXPECT_EQ(UnfinishedEntries(QStringLiteral(BYTEMOOR_TS_FILE)), QStringList());
  // lupdate over the sources as they are now, into a copy: a new text shows
  // as unfinished there, a removed one as vanished.
  QTemporaryDir dir;
  const QString copy = dir.filePath(QStringLiteral("copy.ts"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(BYTEMOOR_TS_FILE), copy));
  const QString root = QStringLiteral(BYTEMOOR_SOURCE_DIR);
  QProcess lupdate;
  lupdate.start(QStringLiteral(BYTEMOOR_LUPDATE),
                {QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-I") + root + QStringLiteral("/src"),
                 root + QStringLiteral("/src/app"),
                 root + QStringLiteral("/src/widgets"), root + QStringLiteral("/src/platform/qt"),
                 QStringLiteral("-ts"), copy});
  ASSERT_TRUE(lupdate.waitForFinished(120000));
  ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
  EXPECT_EQ(UnfinishedEntries(copy), QStringList());
}

}  // namespace
}  // namespace bm::testing
