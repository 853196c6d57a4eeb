// TMainForm: the File menu's submenu of recent files, newest first, each with
// its full name and an access number.
#include <QAction>
#include <QMenu>

#include "app/main_form.h"
#include "app/recent_files.h"

namespace bm {

// Rebuilt from the stored list each time the File menu or the submenu opens,
// so that files another editor opened meanwhile are there too.
void TMainForm::Recent1Click() {
  const QList<QByteArray> names = RecentFiles();
  recent1_->clear();
  for (qsizetype i = 0; i < names.size(); ++i) {
    const std::string path(names[i].constData(), static_cast<size_t>(names[i].size()));
    QString shown = DisplayName(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* item = recent1_->addAction(QStringLiteral("&%1 ").arg(i + 1) + shown);
    item->setObjectName(QStringLiteral("Recent1File%1").arg(i + 1));
    // From the event loop: the menu is closed by then, and the items it
    // holds may be rebuilt while the save prompt is open.
    connect(item, &QAction::triggered, this, [this, path] {
      QMetaObject::invokeMethod(
          this, [this, path] { GuardedCall([&] { OpenRecent(path); }); }, Qt::QueuedConnection);
    });
  }
  recent1_->menuAction()->setEnabled(!names.isEmpty());
}

void TMainForm::OpenRecent(const std::string& path) {
  if (!QuerySave()) return;
  if (!OpenNamedFile(path)) ForgetRecentFile(path);
}

}  // namespace bm
