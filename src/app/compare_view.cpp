// The second pane of a comparison (see compare_view.h).
#include "app/compare_view.h"
#include "app/utf8_text.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "compare/editor_side.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"

namespace bm {

namespace {

// How much one slice of the count reads at most, and how long slices run
// before the window gets its events again.
constexpr int64_t kCountSlice = 8 << 20;
constexpr int kSliceMilliseconds = 15;
// Counts over this many bytes show how far they are.
constexpr int64_t kProgressFrom = int64_t{1} << 30;

}  // namespace

CompareView::CompareView(EditorWidget* first, FileSystem& files, QWidget* parent)
    : QWidget(parent), first_(first) {
  setObjectName(QStringLiteral("CompareView"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* caption = new QWidget(this);
  caption->setObjectName(QStringLiteral("CompareCaption"));
  auto* row = new QHBoxLayout(caption);
  row->setContentsMargins(4, 1, 4, 1);
  name_ = new QLabel(caption);
  name_->setObjectName(QStringLiteral("CompareFileName"));
  status_ = new QLabel(caption);
  status_->setObjectName(QStringLiteral("CompareStatus"));
  progress_ = new QProgressBar(caption);
  progress_->setObjectName(QStringLiteral("CompareProgress"));
  progress_->setMaximumWidth(120);
  progress_->setMaximumHeight(14);
  progress_->setTextVisible(false);
  progress_->hide();
  row->addWidget(name_, 1);
  row->addWidget(progress_);
  row->addWidget(status_);
  column->addWidget(caption);

  pane_ = new EditorWidget(this, files);
  pane_->setObjectName(QStringLiteral("CompareEditor"));
  pane_->SetViewOnly(true);
  pane_->installEventFilter(this);
  column->addWidget(pane_, 1);

  TByteEditor& second = pane_->Editor();
  second.Loaded();
  second.OnStateChanged = [this](TByteEditor&) { SecondStateChanged(); };

  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, &CompareView::CountSlice);

  // Scrolling one pane scrolls the other.
  connect(first_->verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { FollowScroll(first_, pane_); });
  connect(first_->horizontalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { FollowScroll(first_, pane_); });
  connect(pane_->verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { FollowScroll(pane_, first_); });
  connect(pane_->horizontalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { FollowScroll(pane_, first_); });
}

CompareView::~CompareView() {
  timer_.stop();
  first_->Editor().SetDiffMarks(nullptr);
  if (parentWidget() && parentWidget()->window()) parentWidget()->window()->removeEventFilter(this);
  // The pane's editor reads through the scanner's readers while it goes.
  pane_->Editor().SetDiffMarks(nullptr);
  pane_->Editor().OnStateChanged = nullptr;
  delete pane_;
  pane_ = nullptr;
}

TByteEditor& CompareView::Second() { return pane_->Editor(); }

bool CompareView::Open(const std::string& path, std::string& error) {
  const QFileInfo info(QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size()))));
  // A folder, a FIFO or a device would block the copy or never end.
  if (!info.exists()) {
    error = tr("Файл не найден.").toStdString();
    return false;
  }
  if (!info.isFile()) {
    error = tr("Это не обычный файл.").toStdString();
    return false;
  }
  TByteEditor& second = Second();
  if (!second.LoadFromFile(path)) {
    error = second.LoadError().empty() ? tr("Файл не читается.").toStdString() : second.LoadError();
    return false;
  }
  second.MarkReadOnly(true);
  path_ = path;
  name_->setText(info.filePath());
  name_->setToolTip(info.absoluteFilePath());

  TByteEditor& first = first_->Editor();
  scanner_ = std::make_unique<DiffScanner>(EditorSide(first), EditorSide(second));
  mask_ = std::make_unique<DiffMask>(*scanner_);
  counter_ = std::make_unique<DiffCounter>(*scanner_);
  first.SetDiffMarks(mask_.get());
  second.SetDiffMarks(mask_.get());
  if (QWidget* top = parentWidget() ? parentWidget()->window() : nullptr) top->installEventFilter(this);

  TakeLayout();
  firstGeneration_ = first.ContentGeneration();
  firstKnown_ = PlaceOf(first);
  Follow(first, second, secondKnown_);
  FollowScroll(first_, pane_);
  Recount();
  return true;
}

bool CompareView::RefreshIfChanged(std::string& error) {
  TByteEditor& second = Second();
  if (!second.FileChangedOnDisk()) return true;
  const int64_t top = second.TopRow();
  if (!second.LoadFromFile(path_)) {
    error = second.LoadError().empty() ? tr("Файл не читается.").toStdString() : second.LoadError();
    return false;
  }
  second.MarkReadOnly(true);
  second.SetTopRow(std::min(top, second.MaxTopRow()));
  secondKnown_ = {};
  Follow(first_->Editor(), second, secondKnown_);
  DataChanged();
  return true;
}

QString CompareView::StatusText() const { return status_->text(); }

// ---- following the first pane ----------------------------------------------------------

CompareView::Place CompareView::PlaceOf(TByteEditor& ed) {
  const bool selected = ed.SelLength() > 0;
  return {ed.SelStart(), selected ? ed.SelEnd() : ed.SelStart(), selected};
}

void CompareView::FirstStateChanged() {
  if (!scanner_) return;
  TByteEditor& first = first_->Editor();
  if (first.ContentGeneration() != firstGeneration_) {
    firstGeneration_ = first.ContentGeneration();
    DataChanged();
  }
  const Place place = PlaceOf(first);
  if (place == firstKnown_) return;
  firstKnown_ = place;
  Follow(first, Second(), secondKnown_);
}

void CompareView::SecondStateChanged() {
  if (!scanner_) return;
  TByteEditor& second = Second();
  const Place place = PlaceOf(second);
  if (place == secondKnown_) return;
  secondKnown_ = place;
  Follow(second, first_->Editor(), firstKnown_);
}

void CompareView::SetSelection(TByteEditor& ed, int64_t start, int64_t end, bool selected) {
  const int64_t size = ed.DataSize();
  if (size <= 0) return;
  start = std::clamp<int64_t>(start, 0, size - 1);
  end = std::clamp<int64_t>(end, 0, size - 1);
  ed.SetSelStart(start);
  if (selected && end != start) ed.SetSelEnd(end);
}

void CompareView::Follow(TByteEditor& from, TByteEditor& to, Place& toKnown) {
  const Place want = PlaceOf(from);
  if (to.DataSize() <= 0) return;
  if (PlaceOf(to) != want) SetSelection(to, want.start, want.end, want.selected);
  toKnown = PlaceOf(to);
  FollowScroll(&from == &first_->Editor() ? first_ : pane_,
               &from == &first_->Editor() ? pane_ : first_);
}

void CompareView::FollowScroll(EditorWidget* from, EditorWidget* to) {
  if (syncing_ || !scanner_) return;
  syncing_ = true;
  TByteEditor& a = from->Editor();
  TByteEditor& b = to->Editor();
  const int64_t top = std::clamp<int64_t>(a.TopRow(), b.FixedRows(), std::max<int64_t>(b.FixedRows(), b.MaxTopRow()));
  const int left = std::clamp(a.LeftCol(), b.FixedCols(), std::max(b.FixedCols(), b.MaxLeftCol()));
  if (b.TopRow() != top || b.LeftCol() != left) {
    b.SetTopRow(top);
    b.SetLeftCol(left);
    b.Scrolled();
    to->ScrollStateChanged();
  }
  syncing_ = false;
}

void CompareView::TakeLayout() {
  TByteEditor& a = first_->Editor();
  TByteEditor& b = Second();
  b.SetFont(a.Font());
  b.SetBytesPerLine(a.BytesPerLine());
  b.SetBytesPerColumn(a.BytesPerColumn());
  b.SetOffsetDisplay(a.OffsetDisplay());
  b.SetOffsetSeparator(a.OffsetSeparator());
  b.SetTranslation(a.Translation());
  b.SetSwapNibbles(a.SwapNibbles());
  b.SetGridLineWidth(a.GridLineWidth());
  b.SetShowMarkerColumn(a.ShowMarkerColumn());
  b.SetCaretStyle(a.CaretStyle());
  b.SetFocusFrame(a.FocusFrame());
  b.SetMaskChar(a.MaskChar());
  b.SetMaskWhiteSpaces(a.MaskWhiteSpaces());
  TColors& from = a.Colors();
  TColors& to = b.Colors();
  to.SetBackground(from.Background());
  to.SetOffset(from.Offset());
  to.SetOddColumn(from.OddColumn());
  to.SetEvenColumn(from.EvenColumn());
  to.SetPositionBackground(from.PositionBackground());
  to.SetPositionText(from.PositionText());
  to.SetCursorFrame(from.CursorFrame());
  to.SetChangedBackground(from.ChangedBackground());
  to.SetChangedText(from.ChangedText());
  to.SetDiffBackground(from.DiffBackground());
  to.SetDiffText(from.DiffText());
  b.UpdateColumnWidths();
  b.UpdateGridSize();
  pane_->SetColumnRulerVisible(first_->ColumnRulerVisible());
  pane_->InvalidateAll();
  FollowScroll(first_, pane_);
}

// ---- runs ---------------------------------------------------------------------------------

void CompareView::ShowRun(const DiffRun& run) {
  if (!run.Found()) return;
  TByteEditor& first = first_->Editor();
  TByteEditor& second = Second();
  // Each pane selects the part of the run its document has; a run past the
  // end of one document leaves its cursor on its last byte.
  SetSelection(second, run.start, run.Last(), true);
  SetSelection(first, run.start, run.Last(), true);
  firstKnown_ = PlaceOf(first);
  secondKnown_ = PlaceOf(second);
  shownRun_ = run;
  shownPlace_ = firstKnown_;
  // The pane that holds the run's start leads the scrolling.
  if (run.start < first.DataSize()) FollowScroll(first_, pane_);
  else FollowScroll(pane_, first_);
}

int64_t CompareView::NextFrom() {
  TByteEditor& first = first_->Editor();
  const Place place = PlaceOf(first);
  if (shownRun_.Found() && place == shownPlace_) return shownRun_.Last() + 1;
  return place.selected ? std::max(place.start, place.end) + 1 : place.start;
}

int64_t CompareView::PreviousFrom() {
  TByteEditor& first = first_->Editor();
  const Place place = PlaceOf(first);
  if (shownRun_.Found() && place == shownPlace_) return shownRun_.start;
  return place.selected ? std::min(place.start, place.end) : place.start;
}

// ---- the count -----------------------------------------------------------------------------

void CompareView::DataChanged() {
  scanner_->SetSizes(first_->Editor().DataSize(), Second().DataSize());
  mask_->Touch();
  first_->InvalidateAll();
  pane_->InvalidateAll();
  Recount();
}

void CompareView::Recount() {
  counter_->Restart();
  // A small count is done at once, without a flash of the busy state.
  CountSlice();
}

void CompareView::CountSlice() {
  QElapsedTimer clock;
  clock.start();
  bool done = false;
  do {
    done = counter_->Step(kCountSlice);
  } while (!done && clock.elapsed() < kSliceMilliseconds);
  if (done) {
    timer_.stop();
    progress_->hide();
    const DiffCount count = counter_->Result();
    status_->setText(tr("Различий: %1 байт в %2 участках").arg(count.bytes).arg(count.runs));
    return;
  }
  if (!timer_.isActive()) {
    status_->setText(tr("Подсчёт различий…"));
    const bool long_count = counter_->Total() > kProgressFrom;
    progress_->setRange(0, long_count ? 1000 : 0);  // 0..0: busy without a measure
    progress_->show();
    timer_.start();
  }
  if (progress_->maximum() > 0)
    progress_->setValue(static_cast<int>(counter_->Position() * 1000 / counter_->Total()));
}

// ---- keys and activation -------------------------------------------------------------------

bool CompareView::eventFilter(QObject* watched, QEvent* e) {
  if (watched == pane_) {
    // Esc in the second pane closes the comparison, before any shortcut
    // (Exit in the program's own keys) can take it.
    if (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(e);
      if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        e->accept();
        if (e->type() == QEvent::KeyPress) emit closeRequested();
        return true;
      }
    }
  } else if (e->type() == QEvent::WindowActivate) {
    emit windowActivated();
  }
  return QWidget::eventFilter(watched, e);
}

}  // namespace bm
