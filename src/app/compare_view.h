// The second pane of a comparison: the compared file, read-only, in a second
// editor control under a caption with its name, the count of differences and
// a busy indicator. It keeps its layout, scroll position and cursor in step
// with the first pane, and counts the differences in slices on the window's
// thread, so both panes stay usable while a long count runs.
#pragma once
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "compare/diff_count.h"
#include "compare/diff_mask.h"
#include "compare/diff_scan.h"
#include "platform/files.h"

class QLabel;
class QProgressBar;

namespace bm {

class EditorWidget;
class TByteEditor;

class CompareView : public QWidget {
  Q_OBJECT
 public:
  CompareView(EditorWidget* first, FileSystem& files, QWidget* parent = nullptr);
  ~CompareView() override;

  // Loads path as the second document; false, with the reason, when it
  // cannot be used (the view is then not to be shown).
  bool Open(const std::string& path, std::string& error);
  // Re-reads the compared file when another program changed, replaced or
  // truncated it since it was read; false, with the reason, when it is gone.
  bool RefreshIfChanged(std::string& error);

  EditorWidget* Pane() const { return pane_; }
  TByteEditor& Second();
  const std::string& Path() const { return path_; }
  DiffScanner& Scanner() { return *scanner_; }
  QString StatusText() const;
  bool Counting() const { return timer_.isActive(); }
  // The count as it stands (complete once Counting is false).
  DiffCount Count() const { return counter_->Result(); }

  // After a state notification of the first pane: recounts after an edit,
  // and the second pane follows a moved cursor or selection.
  void FirstStateChanged();
  // Layout, font, colours and the column ruler of the first pane.
  void TakeLayout();
  // Selects the run in both panes (as far as each document reaches) and
  // scrolls both to it.
  void ShowRun(const DiffRun& run);
  // Where the next and the previous run are looked for: after or before the
  // run shown last while its selection stands, else the first pane's
  // selection or cursor.
  int64_t NextFrom();
  int64_t PreviousFrom();

 signals:
  // Esc in the second pane.
  void closeRequested();
  // The main window was activated: the compared file may have changed.
  void windowActivated();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // A pane's cursor and selection as last seen or set.
  struct Place {
    int64_t start = -1, end = -1;
    bool selected = false;
    bool operator==(const Place&) const = default;
  };

  static Place PlaceOf(TByteEditor& ed);
  void SecondStateChanged();
  // Moves the cursor and selection of to where from has them.
  void Follow(TByteEditor& from, TByteEditor& to, Place& toKnown);
  void FollowScroll(EditorWidget* from, EditorWidget* to);
  void SetSelection(TByteEditor& ed, int64_t start, int64_t end, bool selected);
  void DataChanged();
  void Recount();
  void CountSlice();

  EditorWidget* first_;
  EditorWidget* pane_ = nullptr;
  QLabel* name_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  std::string path_;

  std::unique_ptr<DiffScanner> scanner_;
  std::unique_ptr<DiffMask> mask_;
  std::unique_ptr<DiffCounter> counter_;
  QTimer timer_;

  Place firstKnown_, secondKnown_;
  // The first document's content generation the marks and the count are of.
  uint64_t firstGeneration_ = 0;
  DiffRun shownRun_;
  Place shownPlace_;
  bool syncing_ = false;
};

}  // namespace bm
