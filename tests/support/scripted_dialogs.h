// Fakes of the modal boxes and the clipboard: every box records what it was
// asked and answers from a script, so no real modal window ever opens.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/dialogs.h"

namespace bm {

class ScriptedDialogs : public Dialogs {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
    // A box of Choose: its buttons' texts and the default one.
    std::vector<std::string> choices = {};
    int defaultChoice = -1;
  };
  struct Input {
    std::string caption;
    std::string prompt;
    std::string initial;
  };

  // Answers, used in order. An OK-only box needs none (it answers OK); any
  // other box without a scripted answer is a test failure and is cancelled.
  void AnswerMessage(MessageResult result) { messageAnswers_.push_back(result); }
  // The index of the button a box of Choose presses (-1: closed).
  void AnswerChoice(int index) { choiceAnswers_.push_back(index); }
  void AnswerOpen(const std::string& path, bool readOnly = false) {
    openAnswers_.push_back(FileDialogResult{path, readOnly});
  }
  void CancelOpen() { openAnswers_.push_back(std::nullopt); }
  void AnswerSave(const std::string& path) { saveAnswers_.push_back(FileDialogResult{path, false}); }
  void CancelSave() { saveAnswers_.push_back(std::nullopt); }
  void AnswerInput(const std::string& text) { inputAnswers_.push_back(text); }
  void CancelInput() { inputAnswers_.push_back(std::nullopt); }
  // Font and printer setup dialogs (scripted_print_dialogs.cpp). A printer
  // setup answer with a path chooses printing to that PDF file.
  void AnswerFont(const FontDesc& font) { fontAnswers_.push_back(font); }
  void CancelFont() { fontAnswers_.push_back(std::nullopt); }
  void AnswerPrinterSetup(const std::string& pdfPath = std::string()) {
    setupAnswers_.push_back(pdfPath);
  }
  void CancelPrinterSetup() { setupAnswers_.push_back(std::nullopt); }

  // Scripted answers not used yet.
  size_t PendingAnswers() const {
    return messageAnswers_.size() + choiceAnswers_.size() + openAnswers_.size() + saveAnswers_.size() +
           inputAnswers_.size() + fontAnswers_.size() + setupAnswers_.size();
  }
  void Clear();

  // Runs when a message box shows, before it is answered: what happens
  // meanwhile in the program's event loop.
  std::function<void()> onMessage;

  // What was shown, in order.
  std::vector<Message> messages;
  std::vector<FileDialogRequest> opens;
  std::vector<FileDialogRequest> saves;
  std::vector<Input> inputs;
  std::vector<FontDesc> fonts;  // the initial font of each font dialog
  int printerSetups = 0;

  MessageResult MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons) override;
  int Choose(const std::string& text, const std::string& caption, MessageIcon icon,
             const std::vector<std::string>& buttons, int defaultButton) override;
  std::optional<FileDialogResult> OpenFile(const FileDialogRequest& request) override;
  std::optional<FileDialogResult> SaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<FontDesc> ChooseFont(const FontDesc& initial) override;
  bool PrinterSetup(Printer& printer) override;

 private:
  std::deque<MessageResult> messageAnswers_;
  std::deque<int> choiceAnswers_;
  std::deque<std::optional<FileDialogResult>> openAnswers_;
  std::deque<std::optional<FileDialogResult>> saveAnswers_;
  std::deque<std::optional<std::string>> inputAnswers_;
  std::deque<std::optional<FontDesc>> fontAnswers_;
  std::deque<std::optional<std::string>> setupAnswers_;
};

// A clipboard in memory, holding text the way the system clipboard does.
class MemoryClipboard : public Clipboard {
 public:
  bool HasText() override { return text_.has_value(); }
  std::string Text() override { return text_.value_or(std::string()); }
  void SetText(const std::string& ansi) override {
    bytes_.reset();
    text_ = ansi.substr(0, ansi.find('\0'));
  }
  void Clear() override {
    text_.reset();
    bytes_.reset();
  }
  void SetBytes(std::shared_ptr<const std::string> bytes) override {
    text_ = bytes->substr(0, bytes->find('\0'));
    bytes_ = std::move(bytes);
  }
  bool HasBytes() override { return bytes_ != nullptr; }
  ClipboardBytes Bytes() override {
    if (!bytes_) return {};
    return {reinterpret_cast<const uint8_t*>(bytes_->data()), bytes_->size(), bytes_};
  }

 private:
  std::optional<std::string> text_;
  std::shared_ptr<const std::string> bytes_;
};

}  // namespace bm
