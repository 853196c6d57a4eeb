// Runs the Qt test suites inside a QApplication on the offscreen platform.
// The suites get a temporary directory of their own: the main window looks
// there at start-up for working copies left by other editors, and must not
// meet those of programs running beside the tests. The remembered choices go
// to a configuration folder inside it, never to the user's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::string base = std::filesystem::temp_directory_path().string() + "/bytemoor-qt-XXXXXX";
  const char* tmp = ::mkdtemp(base.data());
  if (tmp) {
    ::setenv("TMPDIR", tmp, 1);
    const std::string config = std::string(tmp) + "/config";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  }
  int result = 0;
  {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  if (tmp) {
    std::error_code ec;
    std::filesystem::remove_all(tmp, ec);
  }
  return result;
}
