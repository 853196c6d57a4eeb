// Start-up settings of the application: the command line, names and translation.
#include "app/app_setup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

#include "app/ui_language.h"
#include "app/version.h"

namespace bm {

bool HandleVersionOption(int argc, char** argv, std::FILE* out) {
  if (argc < 2 || std::strcmp(argv[1], "--version") != 0) return false;
  std::fprintf(out, "bytemoor %s\n", kProgramVersion);
  std::fflush(out);
  return true;
}

std::string UsageText() {
  return "Usage: bytemoor [options] [--] [file]\n"
         "A hex editor: opens the named file, or an empty document.\n"
         "\n"
         "Options:\n"
         "  -h, --help     Show this help and exit.\n"
         "  -v, --version  Show the program's version and exit.\n"
         "  --lang en|ru   The interface language of this run: English or Russian\n"
         "                 (the choice of the View menu is kept for other runs).\n"
         "  --             End of options: the next argument is a file name even if\n"
         "                 it starts with \"-\".\n"
         "\n"
         "Arguments:\n"
         "  file           The file to open; further names are ignored.\n"
         "\n"
         "Exit status: 0 when the program ends normally or after --help or\n"
         "--version, 2 when the command line holds an unknown option.\n";
}

CommandLine ParseCommandLine(int argc, char** argv, bool final, std::FILE* out, std::FILE* err) {
  CommandLine result;
  QCommandLineParser parser;
  // As with further file names, an option after the file name is taken as
  // an argument (so "bytemoor file --version" opens file). Qt's own options
  // are words after one dash ("-platform xcb").
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  parser.addOption(help);
  parser.addOption(version);
  const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("en|ru"));
  parser.addOption(lang);
  parser.addPositionalArgument(QStringLiteral("file"), QString(), QStringLiteral("[file]"));
  if (!final) {
    // Before QApplication has taken them out, Qt's options are known too, so
    // that an unknown one is told without a display.
    static const char* const kWithValue[] = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
        "qwindowgeometry", "geometry", "qwindowicon", "icon", "qwindowtitle", "title",
        "session", "display", "name", "style", "stylesheet", "visual", "ncols", "cmap"};
    static const char* const kFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync",
                                         "testability"};
    for (const char* name : kWithValue) {
      QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
      option.setFlags(QCommandLineOption::HiddenFromHelp);
      parser.addOption(option);
    }
    for (const char* name : kFlags) {
      QCommandLineOption option(QString::fromLatin1(name));
      option.setFlags(QCommandLineOption::HiddenFromHelp);
      parser.addOption(option);
    }
  }

  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  if (!parser.parse(arguments)) {
    std::fprintf(err, "bytemoor: %s\n%s", parser.errorText().toLocal8Bit().constData(),
                 UsageText().c_str());
    std::fflush(err);
    result.exit = true;
    result.exitCode = 2;
    return result;
  }
  if (parser.isSet(lang) && !ParseUiLanguage(parser.value(lang))) {
    std::fprintf(err, "bytemoor: --lang takes en or ru\n%s", UsageText().c_str());
    std::fflush(err);
    result.exit = true;
    result.exitCode = 2;
    return result;
  }
  if (parser.isSet(lang)) result.language = parser.value(lang).trimmed().toLower().toStdString();
  if (parser.isSet(help)) {
    std::fputs(UsageText().c_str(), out);
    std::fflush(out);
    result.exit = true;
    return result;
  }
  if (parser.isSet(version)) {
    std::fprintf(out, "bytemoor %s\n", kProgramVersion);
    std::fflush(out);
    result.exit = true;
    return result;
  }
  // The names from argv itself: the parser's text would not keep bytes that
  // are no text in the locale's encoding. Only --lang takes a value (as the
  // next argument or after "=").
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg == "--lang") {
      ++i;
      continue;
    }
    if (!optionsEnded && arg.size() > 1 && arg.front() == '-') continue;
    result.files.push_back(arg);
    optionsEnded = true;  // what follows the first name is a name too
  }
  return result;
}

QTranslator* SetUpApplication(const std::string& language) {
  // No display name: Qt would append it to every window caption, and the
  // captions are the program's own texts. The message boxes without a
  // caption of their own show the application's name instead.
  QApplication::setApplicationName(QStringLiteral("Bytemoor"));
  QApplication::setDesktopFileName(QStringLiteral("bytemoor"));

  SetUiLanguage(StartLanguage(ParseUiLanguage(QString::fromStdString(language))));
  return InstalledQtTranslator();
}

}  // namespace bm
