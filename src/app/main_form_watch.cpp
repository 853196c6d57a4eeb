// TMainForm: noticing changes other programs make to the document's file, and
// reloading the document or telling the user of them.
#include <QApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "app/main_form.h"
#include "editor/byte_editor.h"
#include "platform/file_watch.h"
#include "widgets/editor_widget.h"

namespace bm {

namespace {

// A program writing a file in many writes is checked once, this long after
// its last write; one that never pauses, at least every kLongestWaitMs.
constexpr int kSettleMs = 300;
constexpr int kLongestWaitMs = 2000;
// A watch without a descriptor is asked this often.
constexpr int kPollMs = 1000;

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.device == b.device && a.inode == b.inode;
}

// Loads the document's file again. The cursor stays where it was while that
// is still inside the data, and so does the view; a file opened read-only
// stays read-only. False (after the error box) when the file cannot be used;
// the document is then kept.
bool ReloadDocument(TMainForm& form) {
  TByteEditor& ed = form.ByteEditor1();
  const std::string path = ed.FileName();
  const int64_t cursor = ed.CursorPosition();
  const int64_t top = ed.TopRow();
  const bool readOnly = ed.ReadOnlyFile();
  if (!ed.LoadFromFile(path)) {
    const std::string& cause = ed.LoadError();
    form.ShowError("Cannot open file\r\n" + DisplayName(path).toStdString() +
                   (cause.empty() ? "" : "\r\n" + cause));
    return false;
  }
  if (readOnly) ed.MarkReadOnly(true);
  // A load that keeps the grid's size repaints only what moved; every byte
  // shown may have changed.
  form.ByteEditor1Widget()->viewport()->update();
  if (cursor > 0 && cursor < ed.DataSize()) {
    ed.GotoPosition(cursor, 0, true);
    ed.SetTopRow(std::min(top, ed.MaxTopRow()));
  }
  return true;
}

}  // namespace

struct TMainForm::WatchState {
  std::unique_ptr<FileWatch> watch;
  std::unique_ptr<QSocketNotifier> notifier;  // on the watch's descriptor
  QTimer check;                               // single shot: the next check
  QElapsedTimer waiting;                      // since the news the check waits to look at
  QTimer poll;                                // a watch without a descriptor
  FileIdentity watched;                       // the file the watch is on
  // The change the user chose to keep working over: not told again.
  std::optional<FileIdentity> told;
  bool telling = false;
};

TMainForm::WatchState& TMainForm::Watching() {
  if (!watch_) {
    watch_ = std::make_shared<WatchState>();
    WatchState& w = *watch_;
    w.check.setSingleShot(true);
    connect(&w.check, &QTimer::timeout, this, [this] { Guarded(&TMainForm::CheckFileOnDisk); });
    connect(&w.poll, &QTimer::timeout, this, [this] {
      if (watch_->watch && watch_->watch->Changed()) ScheduleFileCheck(kSettleMs);
    });
  }
  return *watch_;
}

void TMainForm::WatchDocumentFile() {
  WatchState& w = Watching();
  w.notifier.reset();
  w.watch.reset();
  w.poll.stop();
  w.told.reset();
  TByteEditor& ed = ByteEditor1();
  // A new document has no file to watch.
  if (!ed.FileOnDisk().known) return;
  w.watched = ed.Files().Identify(ed.FileName());
  w.watch = WatchFile(ed.FileName());
  if (!w.watch) return;  // the check on activation still sees changes
  if (w.watch->Descriptor() < 0) {
    w.poll.start(kPollMs);
    return;
  }
  w.notifier = std::make_unique<QSocketNotifier>(w.watch->Descriptor(), QSocketNotifier::Read);
  connect(w.notifier.get(), &QSocketNotifier::activated, this, [this] {
    // Reading the news also clears the descriptor for the next.
    if (watch_->watch && watch_->watch->Changed()) ScheduleFileCheck(kSettleMs);
  });
}

void TMainForm::ScheduleFileCheck(int delay) {
  WatchState& w = Watching();
  if (!w.check.isActive()) w.waiting.start();
  // Each piece of news puts the check off, but not for ever.
  else if (delay > 0 && w.waiting.elapsed() >= kLongestWaitMs) return;
  w.check.start(delay);
}

void TMainForm::CheckFileOnDisk() {
  WatchState& w = Watching();
  if (firstActivation_) return;  // no document yet; start-up watches the one it loads
  // Never over another box or a menu, nor amid the start-up's questions:
  // looked at again a little later.
  if (startingUp_ || w.telling || QApplication::activeModalWidget() ||
      QApplication::activePopupWidget()) {
    w.check.start(kSettleMs);
    return;
  }
  TByteEditor& ed = ByteEditor1();
  if (!ed.FileChangedOnDisk()) return;
  const std::string path = ed.FileName();
  const FileIdentity now = ed.Files().Identify(path);
  // Removed or renamed away: nothing to reload; the save asks before it
  // writes a file there again.
  if (!now.known) {
    w.notifier.reset();
    w.watch.reset();
    w.poll.stop();
    return;
  }
  if (w.told && *w.told == now) return;
  // What the document reads in place may have changed under it.
  if (!ed.BaseIsPrivate()) ed.ReadFileAgain();
  if (!ed.Modified()) {
    // Nothing of the user's to lose: the view must not show stale bytes.
    if (ReloadDocument(*this)) WatchDocumentFile();
    else w.told = now;  // one error box for this change
    return;
  }
  // Another file under the name now (a program that saves by renaming a new
  // file over the old): further changes come from that one.
  if (!w.watch || !SameFile(now, w.watched)) WatchDocumentFile();
  w.told = now;
  w.telling = true;
  const std::string caption = tr("Предупреждение").toStdString();
  const int choice = dialogs_.Choose(
      tr("Файл %1 изменён другой программой. Несохранённые изменения сделаны поверх прежнего "
         "содержимого.")
          .arg(DisplayName(path))
          .toStdString(),
      caption, MessageIcon::Warning,
      {tr("Перезагрузить").toStdString(), tr("Продолжить работу").toStdString()}, 1);
  const bool reload =
      choice == 0 &&
      dialogs_.MessageBox(tr("Несохранённые изменения будут потеряны. Перезагрузить файл?").toStdString(),
                          caption, MessageIcon::Warning,
                          MessageButtons::YesNoDefaultNo) == MessageResult::Yes;
  w.telling = false;
  // The answer keeps the edits over the changed file: the save still asks
  // before it writes over it.
  if (!reload) return;
  if (ReloadDocument(*this)) WatchDocumentFile();
}

}  // namespace bm
