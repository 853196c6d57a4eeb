// At start-up: the unsaved work of editors that ended without closing their
// document (a crash, a kill, a signal) is offered back, one file after another.
#pragma once

#include <functional>

#include "platform/dialogs.h"

namespace bm {

class TByteEditor;

// Looks in the folder of the working copies for those no running editor
// holds. Each one with unsaved changes is offered ("Да" makes it the
// editor's document, modified, under its file's name); declined ones ("Нет")
// and those without changes, or with changes already saved to their file,
// are removed with their records. Esc or the close button keep the work for
// a later start. A working copy whose record is missing or unreadable is
// offered as a new document and never removed. Once one has been restored
// the others stay for a later start. True when one was restored.
// ending tells whether the program is ending (its window has closed): an
// answer given then decides nothing, and that work and the rest stay too.
bool OfferRecovery(TByteEditor& editor, Dialogs& dialogs,
                   const std::function<bool()>& ending = {});

}  // namespace bm
