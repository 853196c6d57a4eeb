// TMainForm: the value inspector beside the data and the column ruler over
// it, both shown from the View menu and remembered between runs.
#include <QAction>
#include <QDockWidget>
#include <QKeyEvent>
#include <QRect>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "app/main_form.h"
#include "app/settings.h"
#include "app/value_inspector.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"

namespace bm {

void TMainForm::BuildInspector() {
  valueInspector1_ = new ValueInspector(*byteEditor1_, this);
  valueInspector1_->OnError = [this](const std::string& text) {
    QTimer::singleShot(0, this, [this, text] { ShowError(text); });
  };
  valueInspector1_->IsDocumentKey = [this](const QKeyEvent& key) {
    return IsKeyOf(rckgngig1_, key) || IsKeyOf(redo1_, key);
  };
  addDockWidget(Qt::RightDockWidgetArea, valueInspector1_);
  valueInspector1_->hide();
  // Its own close button hides it as F9 does; that is remembered too.
  valueInspector1_->OnClosed = [this] {
    ShowInspector(false);
    settings::SetFlag(settings::kInspectorVisible, false);
    byteEditor1_->setFocus(Qt::OtherFocusReason);
  };
  if (settings::Flag(settings::kInspectorVisible, false)) ShowInspector(true);
  byteEditor1_->SetColumnRulerVisible(settings::Flag(settings::kColumnRuler, false));
}

void TMainForm::ShowInspector(bool show) {
  ValueInspector& dock = *valueInspector1_;
  const bool docked = !dock.isFloating() && !isMaximized() && !isFullScreen();
  if (show) {
    if (!dock.isHidden()) return;
    // The window grows by the panel, so that the data keeps its width, as
    // far as the screen has room; the data gives up the rest.
    if (docked) {
      inspectorGrowth_ = dock.sizeHint().width();
      if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        const int frame = std::max(0, frameGeometry().width() - width());
        inspectorGrowth_ = std::clamp(room.width() - frame - width(), 0, inspectorGrowth_);
        // A window that would now reach past the screen's right edge moves left.
        const int overflow = frameGeometry().right() + inspectorGrowth_ - room.right();
        if (overflow > 0) move(std::max(room.left(), x() - overflow), y());
      }
      resize(width() + inspectorGrowth_, height());
    }
    dock.show();
    dock.Refresh();
  } else {
    const int growth = inspectorGrowth_;
    inspectorGrowth_ = 0;
    dock.hide();
    if (docked && growth > 0) resize(std::max(minimumWidth(), width() - growth), height());
  }
}

void TMainForm::ValueInspector1Click() {
  const bool show = valueInspector1_->isHidden();
  ShowInspector(show);
  if (show) valueInspector1_->FocusFirstValue();
  else byteEditor1_->setFocus(Qt::OtherFocusReason);
  if (QAction* item = ViewItem("ValueInspector1")) item->setChecked(show);
  settings::SetFlag(settings::kInspectorVisible, show);
}

void TMainForm::ColumnRuler1Click() {
  const bool show = !byteEditor1_->ColumnRulerVisible();
  byteEditor1_->SetColumnRulerVisible(show);
  if (QAction* item = ViewItem("ColumnRuler1")) item->setChecked(show);
  settings::SetFlag(settings::kColumnRuler, show);
}

}  // namespace bm
