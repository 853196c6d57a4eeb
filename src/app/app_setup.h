// What the program sets up before its windows: the answer to --version, the
// application's names and Qt's own Russian texts.
#pragma once
#include <cstdio>

class QTranslator;

namespace bm {

// "bytemoor --version" prints the program's name and version and the program
// ends there, before any window or display is needed. True when the first
// argument asked for it.
bool HandleVersionOption(int argc, char** argv, std::FILE* out);

// The application's names, and Qt's Russian translation, so that the standard
// buttons and texts of Qt's dialogs read Russian like the rest. Returns the
// installed translator (owned by the application), or null when the
// translation is not on this machine.
QTranslator* SetUpApplication();

}  // namespace bm
