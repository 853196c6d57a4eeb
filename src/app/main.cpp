// Program start.
#include <QApplication>
#include <QMainWindow>

#include "platform/qt/editor_widget.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  auto* editor = new bm::EditorWidget(&window);
  window.setCentralWidget(editor);
  editor->Editor().Loaded();
  window.resize(696, 480);
  window.show();
  if (argc > 1) editor->Editor().LoadFromFile(argv[1]);
  return app.exec();
}
