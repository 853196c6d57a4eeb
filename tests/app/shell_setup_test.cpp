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

}  // namespace
}  // namespace bm::testing
