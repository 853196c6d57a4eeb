// TMainForm: New, Open, Save, Save as, Exit, the save prompt and dropped files.
#include <QByteArray>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QList>
#include <QMetaObject>
#include <QMimeData>

#include <cstring>

#include "app/main_form.h"

#include <QCoreApplication>
#include "app/recent_files.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"

namespace bm {

namespace {

constexpr const char* kFileFilter = "All Files (*.*)|*.*";

std::string Utf8(const QString& s) { return s.toStdString(); }

// The local paths of a drop, as bytes: taken from the raw URI list so that
// names which are not valid in the locale's encoding arrive unchanged.
std::vector<std::string> DroppedPaths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data) return paths;
  const QByteArray list = data->data(QStringLiteral("text/uri-list"));
  for (QByteArray line : list.split('\n')) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (!line.startsWith("file:")) continue;
    QByteArray rest = line.mid(5);
    if (rest.startsWith("//")) {
      // file://host/path: only this machine's files ("" or "localhost").
      const qsizetype slash = rest.indexOf('/', 2);
      if (slash < 0) continue;
      const QByteArray host = rest.mid(2, slash - 2);
      if (!host.isEmpty() && host != "localhost") continue;
      rest = rest.mid(slash);
    }
    if (!rest.startsWith('/')) continue;
    const QByteArray path = QByteArray::fromPercentEncoding(rest);
    paths.emplace_back(path.constData(), static_cast<size_t>(path.size()));
  }
  return paths;
}

// A text of the main window in the interface language, as UTF-8.
std::string Tm(const char* source) {
  return QCoreApplication::translate("bm::TMainForm", source).toStdString();
}

// Before a save over the document's own file: when another program changed
// or replaced that file since it was loaded or last saved, asks whether to
// write over it. False when the user said no; nothing is written then.
// "Нет" is the default: the change may be another user's trap (the file
// swapped for a link to a private file), and Enter must not fall into it.
bool ConfirmOverwriteOfChangedFile(Dialogs& dialogs, TByteEditor& ed, const std::string& path) {
  if (path != ed.FileName() || !ed.FileChangedOnDisk()) return true;
  if (dialogs.MessageBox(Tm(QT_TRANSLATE_NOOP("bm::TMainForm",
                                            "Файл изменён другой программой. Сохранить поверх?")),
                         Tm(QT_TRANSLATE_NOOP("bm::TMainForm", "Предупреждение")),
                         MessageIcon::Warning, MessageButtons::YesNoDefaultNo) != MessageResult::Yes)
    return false;
  ed.AcceptFileOnDisk();
  return true;
}

// Why the backup could not be made, for the question that follows.
std::string BackupReason(const BackupFailure& failure) {
  switch (failure.problem) {
    case BackupProblem::FolderNotWritable:
      return Tm(QT_TRANSLATE_NOOP("bm::TMainForm", "нет права записи в папку"));
    case BackupProblem::NameTaken:
      return Tm(QT_TRANSLATE_NOOP("bm::TMainForm", "это имя занято файлом другого пользователя"));
    case BackupProblem::FolderAtName:
      return Tm(QT_TRANSLATE_NOOP("bm::TMainForm", "под этим именем находится папка"));
    case BackupProblem::Other:
    case BackupProblem::None: break;
  }
  return failure.error != 0 ? std::strerror(failure.error)
                            : Tm(QT_TRANSLATE_NOOP("bm::TMainForm", "неизвестная ошибка"));
}

// "Cannot save file", the name, and on a line of its own why, as far as the
// save could tell.
std::string SaveFailureText(TByteEditor& ed, const std::string& path) {
  const std::string& reason = ed.SaveError();
  return "Cannot save file\r\n" + Utf8(DisplayName(path)) + (reason.empty() ? "" : "\r\n" + reason);
}

enum class SaveOutcome { Saved, Failed, Declined };

// Saves to path; when only the backup stood in the way, says why and asks
// whether to save without it ("Нет" the default, which writes nothing).
SaveOutcome SaveAskingForTheBackup(Dialogs& dialogs, TByteEditor& ed, const std::string& path) {
  if (ed.SaveToFile(path)) return SaveOutcome::Saved;
  const BackupFailure failure = ed.LastBackupFailure();
  if (failure.problem == BackupProblem::None) return SaveOutcome::Failed;
  const std::string name = DisplayName(ed.BackupName(path)).toStdString();
  const QString question = QCoreApplication::translate(
      "bm::TMainForm", "Не удалось создать резервную копию %1: %2. Сохранить без неё?");
  if (dialogs.MessageBox(question.arg(QString::fromStdString(name),
                                      QString::fromStdString(BackupReason(failure)))
                             .toStdString(),
                         Tm(QT_TRANSLATE_NOOP("bm::TMainForm", "Предупреждение")), MessageIcon::Warning,
                         MessageButtons::YesNoDefaultNo) != MessageResult::Yes)
    return SaveOutcome::Declined;
  return ed.SaveToFileWithoutBackup(path) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

}  // namespace

// ---- the save prompt and saving -------------------------------------------------------

bool TMainForm::QuerySave() {
  TByteEditor& ed = ByteEditor1();
  if (!ed.Modified()) return true;
  const std::string& name = ed.FileName();
  const std::string shown = files_.FileExists(name) ? Utf8(DisplayName(name)) : "Unnamed File";
  const MessageResult answer =
      dialogs_.MessageBox(tr("Файл \r\n%1 был изменен, сохранить?").arg(QString::fromStdString(shown)).toStdString(),
                          tr("Предупреждение").toStdString(),
                          MessageIcon::Warning, MessageButtons::YesNoCancel);
  switch (answer) {
    case MessageResult::Yes: return SaveDocument();
    case MessageResult::No: return true;
    default: return false;
  }
}

bool TMainForm::SaveDocument() {
  TByteEditor& ed = ByteEditor1();
  const std::string name = ed.FileName();
  std::string path = name;
  if (!files_.FileExists(name) || ed.ReadOnly()) {
    const std::optional<FileDialogResult> chosen = dialogs_.SaveFile(SaveRequest());
    if (!chosen) return false;
    lastSaveName_ = path = chosen->path;
  }
  if (!ConfirmOverwriteOfChangedFile(dialogs_, ed, path)) return false;
  switch (SaveAskingForTheBackup(dialogs_, ed, path)) {
    case SaveOutcome::Saved:
      NoteRecentFile(path);
      WatchDocumentFile();
      return true;
    case SaveOutcome::Declined: return false;
    case SaveOutcome::Failed: break;
  }
  ShowError(SaveFailureText(ed, path));
  return false;
}

void TMainForm::TellIfRecoveryIsOff() {
  if (!ByteEditor1().TakeRecoveryOffNotice()) return;
  // After the command that made the working copy, not in its middle.
  QMetaObject::invokeMethod(
      this,
      [this] {
        dialogs_.MessageBox(
            tr("Не удалось создать файл сведений для восстановления: восстановление после сбоя "
               "для этого документа отключено.")
                .toStdString(),
            tr("Предупреждение").toStdString(), MessageIcon::Warning, MessageButtons::Ok);
      },
      Qt::QueuedConnection);
}

// The file dialogs start in the document's folder, or in the folder last
// used when the document has none (a new one). The last name chosen is
// offered again when it lies there; Save as offers the document's own name
// otherwise.
std::string TMainForm::DialogFolder() const {
  const std::string& name = ByteEditor1().FileName();
  if (files_.FileExists(name)) return FolderOf(AbsoluteName(name));
  return LastFolder();
}

FileDialogRequest TMainForm::OpenRequest() const {
  FileDialogRequest request;
  request.title = "Open file";
  request.filter = kFileFilter;
  request.initialFolder = DialogFolder();
  if (FolderOf(lastOpenName_) == request.initialFolder) request.initialName = lastOpenName_;
  request.showReadOnly = true;
  request.mustExist = true;
  return request;
}

FileDialogRequest TMainForm::SaveRequest() const {
  FileDialogRequest request;
  request.title = "Save as";
  request.filter = kFileFilter;
  request.initialFolder = DialogFolder();
  const std::string& own = ByteEditor1().FileName();
  if (FolderOf(lastSaveName_) == request.initialFolder) request.initialName = lastSaveName_;
  else if (files_.FileExists(own)) request.initialName = AbsoluteName(own);
  request.confirmOverwrite = true;
  return request;
}

bool TMainForm::OpenNamedFile(const std::string& path) {
  // Once, at the first load: the working copies had to go elsewhere because
  // another user holds their usual folder.
  if (const std::optional<WorkDirectoryNotice> notice = files_.TakeWorkDirectoryNotice())
    dialogs_.MessageBox(tr("Папка %1 не принадлежит только вам, поэтому рабочие файлы хранятся в %2.")
                            .arg(DisplayName(notice->refused), DisplayName(notice->used))
                            .toStdString(),
                        tr("Предупреждение").toStdString(), MessageIcon::Information, MessageButtons::Ok);
  if (ByteEditor1().LoadFromFile(path)) {
    EndComparison();  // it compared the document that has gone
    NoteRecentFile(path);
    WatchDocumentFile();
    return true;
  }
  const std::string& cause = ByteEditor1().LoadError();
  ShowError("Cannot open file\r\n" + Utf8(DisplayName(path)) + (cause.empty() ? "" : "\r\n" + cause));
  return false;
}

// ---- commands ------------------------------------------------------------------------

void TMainForm::Neu1Click() {
  if (!QuerySave()) return;
  ByteEditor1().NewDocument("Untitled");
  EndComparison();
  WatchDocumentFile();
}

void TMainForm::ffnen1Click() {
  if (!QuerySave()) return;
  const std::optional<FileDialogResult> chosen = dialogs_.OpenFile(OpenRequest());
  if (!chosen) return;
  lastOpenName_ = chosen->path;
  // A file that cannot be used leaves the document as it was; the read-only
  // choice then does not touch that document either.
  if (OpenNamedFile(chosen->path) && chosen->readOnlyChecked) ByteEditor1().MarkReadOnly(true);
}

void TMainForm::Speichern1Click() { SaveDocument(); }

void TMainForm::Speichernunter1Click() {
  const std::optional<FileDialogResult> chosen = dialogs_.SaveFile(SaveRequest());
  if (!chosen) return;
  lastSaveName_ = chosen->path;
  if (!ConfirmOverwriteOfChangedFile(dialogs_, ByteEditor1(), chosen->path)) return;
  switch (SaveAskingForTheBackup(dialogs_, ByteEditor1(), chosen->path)) {
    case SaveOutcome::Saved:
      NoteRecentFile(chosen->path);
      WatchDocumentFile();
      return;
    case SaveOutcome::Declined: return;
    case SaveOutcome::Failed: break;
  }
  ShowError(SaveFailureText(ByteEditor1(), chosen->path));
}

void TMainForm::Beenden1Click() { close(); }

// ---- dropped files -------------------------------------------------------------------

void TMainForm::dragEnterEvent(QDragEnterEvent* e) {
  if (!DroppedPaths(e->mimeData()).empty()) e->acceptProposedAction();
  else e->ignore();
}

void TMainForm::dropEvent(QDropEvent* e) {
  const std::vector<std::string> paths = DroppedPaths(e->mimeData());
  if (paths.empty()) {
    e->ignore();
    return;
  }
  e->acceptProposedAction();
  // Opened as the Open command would, once the drop is over (the save prompt
  // is modal); further files of the drop are ignored like further
  // command-line arguments.
  const std::string path = paths.front();
  QMetaObject::invokeMethod(
      this,
      [this, path] {
        GuardedCall([&] {
          if (QuerySave()) OpenNamedFile(path);
        });
      },
      Qt::QueuedConnection);
}

}  // namespace bm
