// The status panels with long numbers, and what the program sets up before
// its windows: --version, the application's names and Qt's Russian texts.
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTranslator>
#include <cstdio>
#include <filesystem>

#include "app/app_setup.h"
#include "app_fixture.h"

namespace bm::testing {
namespace {

TEST_F(AppTest, StatusPanelsWidenToShowLongPositionsWhole) {
  // 64 MiB, sparse: the last offset needs seven hexadecimal digits.
  const std::string path = Path("big.bin");
  { std::ofstream(path, std::ios::binary); }
  std::filesystem::resize_file(path, 64u << 20);
  Start({path});
  ASSERT_EQ(Editor().DataSize(), 64 << 20);
  const auto panels = form->statusBar()->findChildren<QLabel*>();
  ASSERT_EQ(panels.size(), 5);
  const int narrowWidth = panels[0]->width();
  // A wider face than the one the panels were measured for, as a fallback
  // font on another machine can be.
  QFont wide = form->statusBar()->font();
  wide.setPixelSize(16);
  form->statusBar()->setFont(wide);

  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(form->PanelText(0), U("Смещение Dec: 67108863 Hex: 3FFFFFF"));
  EXPECT_GE(panels[0]->width(), panels[0]->sizeHint().width());
  Select(0, 67108863);
  EXPECT_EQ(form->PanelText(1), U("Выделено : 0 - 67108863"));
  EXPECT_EQ(form->PanelText(4), U("Размер файла : 67108864"));
  for (QLabel* panel : panels)
    EXPECT_GE(panel->width(), panel->sizeHint().width()) << panel->text().toStdString();
  EXPECT_GE(panels[0]->width(), narrowWidth);

  // Back at the start the first panel keeps at least its own width.
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_GE(panels[0]->width(), 200);
  EXPECT_GE(panels[1]->width(), 150);
}

TEST(AppSetupTest, VersionOptionPrintsTheProjectsVersionAndOnlyWhenAsked) {
  auto run = [](std::vector<const char*> args, bool& handled) {
    std::FILE* out = std::tmpfile();
    handled = HandleVersionOption(static_cast<int>(args.size()), const_cast<char**>(args.data()),
                                  out);
    std::rewind(out);
    char buffer[128] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
    std::fclose(out);
    return std::string(buffer, n);
  };
  bool handled = false;
  EXPECT_EQ(run({"bytemoor", "--version"}, handled), "bytemoor 1.2.0.6\n");
  EXPECT_TRUE(handled);
  // A file to open, no argument, or the option further back: the program runs.
  for (auto args : {std::vector<const char*>{"bytemoor", "file.bin"},
                    std::vector<const char*>{"bytemoor"},
                    std::vector<const char*>{"bytemoor", "file.bin", "--version"}}) {
    EXPECT_EQ(run(args, handled), "");
    EXPECT_FALSE(handled) << args.size();
  }
}

TEST(AppSetupTest, QtsOwnTextsReadRussianAndCaptionsGetNoApplicationName) {
  const QString name = QApplication::applicationName();
  QTranslator* translator = SetUpApplication();
  ASSERT_NE(translator, nullptr) << "Qt's Russian translation is installed";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("Отмена"));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"),
            QString::fromUtf8("&Имя файла:"));
  // Boxes without a caption of their own name the program.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Bytemoor"));

  QApplication::removeTranslator(translator);
  delete translator;
  QApplication::setApplicationName(name);
}

struct Parsed {
  CommandLine result;
  std::string out, err;
};

Parsed Parse(std::vector<const char*> args, bool final = true) {
  args.insert(args.begin(), "bytemoor");
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  Parsed p;
  p.result = ParseCommandLine(static_cast<int>(args.size()), const_cast<char**>(args.data()), final,
                              out, err);
  for (auto [file, text] : {std::pair{out, &p.out}, std::pair{err, &p.err}}) {
    std::rewind(file);
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text->append(buffer, n);
    std::fclose(file);
  }
  return p;
}

TEST(CommandLineTest, HelpVersionUnknownOptionsAndNamesAsBytes) {
  Parsed help = Parse({"--help"});
  EXPECT_TRUE(help.result.exit);
  EXPECT_EQ(help.result.exitCode, 0);
  EXPECT_EQ(help.out, UsageText());
  EXPECT_NE(help.out.find("[file]"), std::string::npos);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  EXPECT_TRUE(help.err.empty());
  EXPECT_EQ(Parse({"-h"}).out, UsageText());
  // Before Qt has taken its own options out, they do not stop --help.
  EXPECT_EQ(Parse({"-platform", "offscreen", "--help"}, false).out, UsageText());

  Parsed version = Parse({"--version"});
  EXPECT_TRUE(version.result.exit);
  EXPECT_EQ(version.out, "bytemoor 1.2.0.6\n");

  Parsed unknown = Parse({"--frobnicate", "file.bin"});
  EXPECT_TRUE(unknown.result.exit);
  EXPECT_EQ(unknown.result.exitCode, 2);
  EXPECT_TRUE(unknown.out.empty());
  EXPECT_NE(unknown.err.find("frobnicate"), std::string::npos) << unknown.err;
  EXPECT_NE(unknown.err.find(UsageText()), std::string::npos);
  // Qt's own options are left to Qt at first; others are unknown at once.
  EXPECT_FALSE(Parse({"-platform", "offscreen", "-reverse", "f.bin"}, false).result.exit);
  EXPECT_EQ(Parse({"-platform", "offscreen", "-x"}, false).result.exitCode, 2);
  EXPECT_EQ(Parse({"-platform", "offscreen"}).result.exitCode, 2);

  // "--" ends the options; names keep every byte; what follows a name is a name.
  using Names = std::vector<std::string>;
  EXPECT_EQ(Parse({"--", "-file"}).result.files, Names{"-file"});
  EXPECT_EQ(Parse({"a\nb\xff.bin", "--version", "-x"}).result.files,
            (Names{"a\nb\xff.bin", "--version", "-x"}));
  EXPECT_FALSE(Parse({"a.bin", "--version"}).result.exit);
  EXPECT_EQ(Parse({"", "b.bin"}).result.files, (Names{"", "b.bin"}));
  EXPECT_TRUE(Parse({}).result.files.empty());
  EXPECT_FALSE(Parse({}).result.exit);
}

}  // namespace
}  // namespace bm::testing
