// Program start: the windows in their order, then the event loop until the
// main window closes. Termination signals and the session's logout reach the
// main window through the event loop.
#include <QApplication>
#include <QSessionManager>
#include <string>
#include <vector>

#include "app/app_setup.h"
#include "app/main_form.h"
#include "app/session_end.h"
#include "app/signal_bridge.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_dialogs.h"

int main(int argc, char** argv) {
  if (bm::HandleVersionOption(argc, argv, stdout)) return 0;
  // --help and --version before any display is needed.
  const bm::CommandLine early = bm::ParseCommandLine(argc, argv, false, stdout, stderr);
  if (early.exit) return early.exitCode;
  QApplication app(argc, argv);
  // The arguments Qt leaves (it takes its own options out), as the system
  // gave them: a path is bytes, whatever its encoding.
  const bm::CommandLine commandLine = bm::ParseCommandLine(argc, argv, true, stdout, stderr);
  if (commandLine.exit) return commandLine.exitCode;
  const std::vector<std::string>& arguments = commandLine.files;
  bm::SetUpApplication(commandLine.language);

  bm::QtDialogs dialogs;
  bm::QtClipboard clipboard;
  std::unique_ptr<bm::TMainForm> mainForm = bm::CreateForms(dialogs, clipboard, arguments);
  dialogs.SetOwner(mainForm.get());

  bm::SignalBridge signalBridge;
  bool ending = false;
  QObject::connect(&signalBridge, &bm::SignalBridge::Received, [&](int number) {
    if (ending) return;
    bm::EndOnSignal(*mainForm, number, [&](int code) {
      ending = true;
      QApplication::exit(code);
    });
  });
  QObject::connect(&app, &QGuiApplication::commitDataRequest, [&](QSessionManager& manager) {
    const bool mayAsk = manager.allowsInteraction();
    const bool ok = bm::CommitSessionData(*mainForm, mayAsk);
    if (mayAsk) manager.release();
    if (!ok) manager.cancel();
  });

  mainForm->show();
  return app.exec();
}
