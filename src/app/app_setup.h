// What the program sets up before its windows: the answer to --version, the
// application's names and Qt's own Russian texts.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

class QTranslator;

namespace bm {

// "bytemoor --version" prints the program's name and version and the program
// ends there, before any window or display is needed. True when the first
// argument asked for it.
bool HandleVersionOption(int argc, char** argv, std::FILE* out);

// What the command line asks for. Options: --help (-h), --version (-v),
// --lang en|ru (the interface language of this run only); "--"
// ends them, and the first argument that is not an option names the file to
// open (further ones are ignored).
struct CommandLine {
  bool exit = false;  // the program ends with exitCode without a window
  int exitCode = 0;
  // The arguments that are no options, as bytes, exactly as given.
  std::vector<std::string> files;
  // The --lang word, "en" or "ru", or empty.
  std::string language;
};

// Reads argv. --help prints the usage to out (exit 0), --version the version
// (exit 0), an unknown option an error and the usage to err (exit 2). Before
// Qt has taken its own options out of argv (final false) those count as
// known; the names are only right once they are out (final). Needs no display.
CommandLine ParseCommandLine(int argc, char** argv, bool final, std::FILE* out, std::FILE* err);

// The usage text of --help.
std::string UsageText();

// The application's names, and the interface language of this run: language
// ("en" or "ru") when given, else the remembered choice, else Russian. Qt's
// own translation follows it, so that the standard buttons and texts of Qt's
// dialogs read like the rest. Returns Qt's installed translator (owned by the
// application), or null when the translation is not on this machine.
QTranslator* SetUpApplication(const std::string& language = std::string());

}  // namespace bm
