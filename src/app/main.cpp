// Program start: the windows in their order, then the event loop until the
// main window closes.
#include <QApplication>
#include <string>
#include <vector>

#include "app/app_setup.h"
#include "app/main_form.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_dialogs.h"

int main(int argc, char** argv) {
  if (bm::HandleVersionOption(argc, argv, stdout)) return 0;
  QApplication app(argc, argv);
  // The arguments Qt leaves (it takes its own options out), as the system
  // gave them: a path is bytes, whatever its encoding.
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  bm::SetUpApplication();

  bm::QtDialogs dialogs;
  bm::QtClipboard clipboard;
  std::unique_ptr<bm::TMainForm> mainForm = bm::CreateForms(dialogs, clipboard, arguments);
  dialogs.SetOwner(mainForm.get());
  mainForm->show();
  return app.exec();
}
