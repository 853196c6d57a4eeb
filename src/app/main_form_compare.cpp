// TMainForm: comparing the document with a second file shown read-only under
// it, and stepping through the runs of differing bytes.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/compare_view.h"
#include "app/main_form.h"
#include "app/wait_cursor.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"

namespace bm {

void TMainForm::Compare1Click() {
  // Chosen again while a comparison is open, the item closes it.
  if (compare_) {
    EndComparison();
    return;
  }
  FileDialogRequest request;
  request.title = tr("Сравнить с").toStdString();
  request.filter = "All Files (*.*)|*.*";
  request.initialName = lastCompareName_;
  request.mustExist = true;
  const std::optional<FileDialogResult> chosen = dialogs_.OpenFile(request);
  if (!chosen) return;
  lastCompareName_ = chosen->path;
  StartComparison(chosen->path);
}

void TMainForm::StartComparison(const std::string& path) {
  auto* view = new CompareView(byteEditor1_, files_);
  std::string error;
  bool opened = false;
  {
    WaitCursor busy;
    opened = view->Open(path, error);
  }
  if (!opened) {
    delete view;
    ShowError("Cannot open file\r\n" + DisplayName(path).toStdString() + "\r\n" + error);
    return;
  }
  // The first pane moves into a splitter, the second under it.
  auto* column = static_cast<QVBoxLayout*>(byteEditor1_->parentWidget()->layout());
  const int at = column->indexOf(byteEditor1_);
  compareSplitter_ = new QSplitter(Qt::Vertical, byteEditor1_->parentWidget());
  compareSplitter_->setObjectName(QStringLiteral("CompareSplitter"));
  compareSplitter_->setChildrenCollapsible(false);
  column->insertWidget(at, compareSplitter_, 1);
  compareSplitter_->addWidget(byteEditor1_);
  compareSplitter_->addWidget(view);
  compareSplitter_->setSizes({1, 1});
  compare_ = view;
  connect(view, &CompareView::closeRequested, this, [this] { EndComparison(); });
  connect(view, &CompareView::windowActivated, this, [this] { RefreshComparison(); });
  // The View menu's items change the first pane; the second takes the same
  // layout after each of them.
  std::vector<QMenu*> menus{view1_};
  for (size_t i = 0; i < menus.size(); ++i)
    for (QAction* item : menus[i]->actions()) {
      if (item->menu()) menus.push_back(item->menu());
      else connect(item, &QAction::triggered, view, [view] { view->TakeLayout(); });
    }
  compare1_->setChecked(true);
  byteEditor1_->setFocus();
}

void TMainForm::EndComparison() {
  if (!compare_) return;
  const bool hadFocus = compare_->isAncestorOf(QApplication::focusWidget());
  auto* column = static_cast<QVBoxLayout*>(compareSplitter_->parentWidget()->layout());
  const int at = column->indexOf(compareSplitter_);
  column->insertWidget(at, byteEditor1_, 1);
  delete compare_;
  compare_ = nullptr;
  delete compareSplitter_;
  compareSplitter_ = nullptr;
  if (compare1_) compare1_->setChecked(false);
  if (hadFocus) byteEditor1_->setFocus();
}

void TMainForm::RefreshComparison() {
  if (!compare_) return;
  std::string error;
  bool fine = false;
  {
    WaitCursor busy;
    fine = compare_->RefreshIfChanged(error);
  }
  if (fine) return;
  const std::string path = compare_->Path();
  EndComparison();
  ShowError("Cannot open file\r\n" + DisplayName(path).toStdString() + "\r\n" + error);
}

void TMainForm::NextDiff1Click() {
  if (!compare_) return;
  DiffRun run;
  {
    WaitCursor busy;
    run = compare_->Scanner().NextRun(compare_->NextFrom());
  }
  if (!run.Found()) {
    ShowError(tr("Различий больше нет.").toStdString());
    return;
  }
  compare_->ShowRun(run);
}

void TMainForm::PrevDiff1Click() {
  if (!compare_) return;
  DiffRun run;
  {
    WaitCursor busy;
    run = compare_->Scanner().PreviousRun(compare_->PreviousFrom());
  }
  if (!run.Found()) {
    ShowError(tr("Различий больше нет.").toStdString());
    return;
  }
  compare_->ShowRun(run);
}

}  // namespace bm
