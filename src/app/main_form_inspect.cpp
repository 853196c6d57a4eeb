// TMainForm: the value inspector beside the data and the column ruler over
// it, both shown from the View menu and remembered between runs.
#include <QAction>
#include <QDockWidget>
#include <QTimer>

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
    // The window grows by the panel, so that the data keeps its width.
    if (docked) {
      inspectorGrowth_ = dock.sizeHint().width();
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
