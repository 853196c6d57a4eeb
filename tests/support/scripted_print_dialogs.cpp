// The scripted font and printer setup dialogs.
#include <gtest/gtest.h>

#include "platform/printer.h"
#include "scripted_dialogs.h"

namespace bm {

std::optional<FontDesc> ScriptedDialogs::ChooseFont(const FontDesc& initial) {
  fonts.push_back(initial);
  if (fontAnswers_.empty()) {
    ADD_FAILURE() << "unexpected font dialog";
    return std::nullopt;
  }
  auto r = fontAnswers_.front();
  fontAnswers_.pop_front();
  return r;
}

bool ScriptedDialogs::PrinterSetup(Printer& printer) {
  ++printerSetups;
  if (setupAnswers_.empty()) {
    ADD_FAILURE() << "unexpected printer setup dialog";
    return false;
  }
  auto r = setupAnswers_.front();
  setupAnswers_.pop_front();
  if (!r) return false;
  if (!r->empty()) printer.SetOutputFileName(*r);
  return true;
}

}  // namespace bm
