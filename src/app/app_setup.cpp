// Start-up settings of the application: --version, names and translation.
#include "app/app_setup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

#include "app/version.h"

namespace bm {

bool HandleVersionOption(int argc, char** argv, std::FILE* out) {
  if (argc < 2 || std::strcmp(argv[1], "--version") != 0) return false;
  std::fprintf(out, "bytemoor %s\n", kProgramVersion);
  std::fflush(out);
  return true;
}

QTranslator* SetUpApplication() {
  // No display name: Qt would append it to every window caption, and the
  // captions are the program's own texts. The message boxes without a
  // caption of their own show the application's name instead.
  QApplication::setApplicationName(QStringLiteral("Bytemoor"));
  QApplication::setDesktopFileName(QStringLiteral("bytemoor"));

  auto* translator = new QTranslator(qApp);
  if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                        QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return nullptr;
  }
  QApplication::installTranslator(translator);
  return translator;
}

}  // namespace bm
