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
  QApplication app(argc, argv);
  // The arguments Qt leaves (it takes its own options out), as the system
  // gave them: a path is bytes, whatever its encoding.
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  bm::SetUpApplication();

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
