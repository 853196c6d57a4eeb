// Modal boxes and file dialogs on Qt.
#pragma once
#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

class QFileDialog;

namespace bm {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}

  // The window the boxes are modal to and centred over.
  void SetOwner(QWidget* owner) { owner_ = owner; }
  QWidget* Owner() const { return owner_; }

  // "\r\n" in texts is shown as a line break. An empty caption gives the
  // application's name. YesNoCancel shows "&Да", "&Нет" and "Отмена";
  // closing such a box answers Cancel.
  MessageResult MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons) override;
  int Choose(const std::string& text, const std::string& caption, MessageIcon icon,
             const std::vector<std::string>& buttons, int defaultButton) override;
  // Qt's own (non-native) file dialog, so that the read-only check box
  // "Только чтение" can sit in it.
  std::optional<FileDialogResult> OpenFile(const FileDialogRequest& request) override;
  std::optional<FileDialogResult> SaveFile(const FileDialogRequest& request) override;
  // Buttons "OK" and "Отмена".
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  // QFontDialog and QPrintDialog (qt_print_dialogs.cpp). The print dialog
  // needs a QtPrinter; any other printer is left as it is.
  std::optional<FontDesc> ChooseFont(const FontDesc& initial) override;
  bool PrinterSetup(Printer& printer) override;

  // "Text|pattern;pattern|..." as Qt name filters; "*.*" matches every file,
  // as it does on Windows.
  static QStringList NameFilters(const std::string& filter);

 private:
  std::optional<FileDialogResult> RunFileDialog(const FileDialogRequest& request, bool save);

  QPointer<QWidget> owner_;
};

}  // namespace bm
