#include "scripted_dialogs.h"

#include <gtest/gtest.h>

namespace bm {

void ScriptedDialogs::Clear() {
  messages.clear();
  opens.clear();
  saves.clear();
  inputs.clear();
  messageAnswers_.clear();
  choiceAnswers_.clear();
  openAnswers_.clear();
  saveAnswers_.clear();
  inputAnswers_.clear();
  fonts.clear();
  printerSetups = 0;
  fontAnswers_.clear();
  setupAnswers_.clear();
}

MessageResult ScriptedDialogs::MessageBox(const std::string& text, const std::string& caption,
                                          MessageIcon icon, MessageButtons buttons) {
  messages.push_back({text, caption, icon, buttons});
  if (onMessage) onMessage();
  if (messageAnswers_.empty()) {
    if (buttons == MessageButtons::Ok) return MessageResult::Ok;
    ADD_FAILURE() << "unexpected message box: " << text;
    return MessageResult::Cancel;
  }
  const MessageResult r = messageAnswers_.front();
  messageAnswers_.pop_front();
  return r;
}

int ScriptedDialogs::Choose(const std::string& text, const std::string& caption, MessageIcon icon,
                            const std::vector<std::string>& buttons, int defaultButton) {
  messages.push_back({text, caption, icon, MessageButtons::Ok, buttons, defaultButton});
  if (onMessage) onMessage();
  if (choiceAnswers_.empty()) {
    ADD_FAILURE() << "unexpected choice box: " << text;
    return -1;
  }
  const int r = choiceAnswers_.front();
  choiceAnswers_.pop_front();
  return r;
}

std::optional<FileDialogResult> ScriptedDialogs::OpenFile(const FileDialogRequest& request) {
  opens.push_back(request);
  if (openAnswers_.empty()) {
    ADD_FAILURE() << "unexpected open dialog";
    return std::nullopt;
  }
  auto r = openAnswers_.front();
  openAnswers_.pop_front();
  return r;
}

std::optional<FileDialogResult> ScriptedDialogs::SaveFile(const FileDialogRequest& request) {
  saves.push_back(request);
  if (saveAnswers_.empty()) {
    ADD_FAILURE() << "unexpected save dialog";
    return std::nullopt;
  }
  auto r = saveAnswers_.front();
  saveAnswers_.pop_front();
  return r;
}

std::optional<std::string> ScriptedDialogs::InputBox(const std::string& caption,
                                                     const std::string& prompt,
                                                     const std::string& initial) {
  inputs.push_back({caption, prompt, initial});
  if (inputAnswers_.empty()) {
    ADD_FAILURE() << "unexpected input box: " << caption;
    return std::nullopt;
  }
  auto r = inputAnswers_.front();
  inputAnswers_.pop_front();
  return r;
}

}  // namespace bm
