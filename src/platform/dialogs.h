// Modal boxes and common dialogs, scriptable in tests.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace bm {

class Printer;

enum class MessageIcon { None, Information, Warning, Error, Question };
// YesNo and YesNoDefaultNo: Esc and the window's close button answer
// Cancel, so that closing the box is told apart from the choice of "Нет".
// YesNoDefaultNo makes "Нет" the button that Enter presses.
enum class MessageButtons { Ok, YesNoCancel, YesNo, OkCancel, YesNoDefaultNo };
enum class MessageResult { Ok, Yes, No, Cancel };

struct FileDialogRequest {
  std::string title;
  std::string filter;        // "All Files (*.*)|*.*"
  std::string initialName;   // bytes, as the last choice
  std::string initialFolder; // bytes: the folder the dialog starts in (empty: its own choice)
  bool showReadOnly = false; // open: the read-only check box
  bool mustExist = false;
  bool confirmOverwrite = false;
};

struct FileDialogResult {
  std::string path;          // bytes, ready for open(2)
  bool readOnlyChecked = false;
};

// Texts are UTF-8 for display; paths stay byte strings.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // caption empty: the default caption of message boxes.
  virtual MessageResult MessageBox(const std::string& text, const std::string& caption,
                                   MessageIcon icon, MessageButtons buttons) = 0;
  // A box whose buttons carry the caller's own texts, in the order given;
  // Enter presses the one at defaultButton. The index of the button pressed,
  // -1 when the box was closed without one (Esc, the close button).
  virtual int Choose(const std::string& text, const std::string& caption, MessageIcon icon,
                     const std::vector<std::string>& buttons, int defaultButton) = 0;
  virtual std::optional<FileDialogResult> OpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<FileDialogResult> SaveFile(const FileDialogRequest& request) = 0;
  // One-line input box; nullopt when cancelled.
  virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial) = 0;
  // The font dialog, starting from initial; the chosen face and its size in
  // points, nullopt when cancelled. Boxes without it answer as cancelled.
  virtual std::optional<FontDesc> ChooseFont(const FontDesc& initial) {
    (void)initial;
    return std::nullopt;
  }
  // The printer setup dialog on printer, which it changes when confirmed
  // (including a PDF file to print to); false when cancelled.
  virtual bool PrinterSetup(Printer& printer) {
    (void)printer;
    return false;
  }
};

}  // namespace bm
