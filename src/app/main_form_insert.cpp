// TMainForm: insert mode for the user, allowed from the View menu, with its
// status panel.
#include <QAction>
#include <QLabel>
#include <QStatusBar>

#include "app/main_form.h"
#include "app/settings.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"

namespace bm {

namespace {

constexpr int kInsertPanelWidth = 60;

}  // namespace

void TMainForm::BuildInsertMode() {
  const bool allow = settings::Flag(settings::kAllowInsert, false);
  if (QAction* item = ViewItem("AllowInsert1")) item->setChecked(allow);
  ApplyInsertMode(allow);
}

void TMainForm::AllowInsert1Click() {
  QAction* item = ViewItem("AllowInsert1");
  const bool allow = item ? item->isChecked() : !ByteEditor1().AllowInsertMode();
  ApplyInsertMode(allow);
  settings::SetFlag(settings::kAllowInsert, allow);
}

void TMainForm::ApplyInsertMode(bool allow) {
  TByteEditor& ed = ByteEditor1();
  ed.SetAllowInsertMode(allow);
  // Typing after the last byte appends; the caret shows the mode.
  ed.SetCursorAfterEnd(allow);
  if (ed.AutoCaretMode()) ed.SetAutoCaretMode(true);
  // The panel is made the first time insert mode is allowed: until then the
  // status line is the one of overwrite mode only.
  if (allow && !insertPanel_) {
    insertPanel_ = new QLabel(statusBar());
    insertPanel_->setObjectName(QStringLiteral("InsertPanel"));
    insertPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    insertPanel_->setContentsMargins(1, 0, 1, 0);
    insertPanel_->setAlignment(Qt::AlignCenter);
    statusBar()->addPermanentWidget(insertPanel_);
  }
  if (insertPanel_) insertPanel_->setVisible(allow);
  UpdateInsertPanel();
}

void TMainForm::UpdateInsertPanel() {
  if (!insertPanel_) return;
  const TByteEditor& ed = ByteEditor1();
  insertPanel_->setText(ed.IsInsertMode() ? tr("Вставка") : tr("Замена"));
  insertPanel_->setMinimumWidth(std::max(kInsertPanelWidth, insertPanel_->sizeHint().width()));
}

}  // namespace bm
