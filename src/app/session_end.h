// How the program ends when the system, not the user, ends it: a termination
// signal, or the desktop session logging out.
#pragma once
#include <functional>

namespace bm {

class TMainForm;

// A termination signal. With nothing modified the program ends as Exit does;
// with unsaved changes the working copy and its record are kept for the next
// start and the program ends without a box. quit ends the event loop with an
// exit code. When the work cannot be kept, the window closes as Exit does,
// save prompt included.
void EndOnSignal(TMainForm& form, int signalNumber, const std::function<void(int)>& quit);

// The session manager asks to save before logging out. mayAsk: the session
// manager lets the program show a box. False to ask for the logout to be
// cancelled (the user cancelled the save prompt or the save failed).
bool CommitSessionData(TMainForm& form, bool mayAsk);

}  // namespace bm
