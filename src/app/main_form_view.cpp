// TMainForm: the View menu (line size, grouping, caret shape, offsets,
// character set, grid, marker column) and the About box of the Help menu.
#include <QAction>
#include <string_view>

#include "app/AboutBox.h"
#include "app/main_form.h"
#include "app/value_inspector.h"
#include "editor/byte_editor.h"
#include "editor/editor_types.h"
#include "widgets/editor_widget.h"

namespace bm {

namespace {

// Checks item (which unchecks the others of its radio group).
void Check(QAction* item) {
  if (item) item->setChecked(true);
}

}  // namespace

QAction* TMainForm::ViewItem(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

int TMainForm::ChosenTag(int fallback) const {
  const auto* item = qobject_cast<const QAction*>(sender());
  if (!item) return fallback;
  bool ok = false;
  const int tag = item->data().toInt(&ok);
  return ok ? tag : fallback;
}

// ---- openers: the marks are read back from the editor -------------------------------

void TMainForm::View1Click() {
  const TByteEditor& ed = ByteEditor1();
  switch (ed.BytesPerLine()) {
    case 16: Check(ViewItem("_16")); break;
    case 32: Check(ViewItem("_32")); break;
    case 64: Check(ViewItem("_64")); break;
    default: break;
  }
  if (QAction* grid = ViewItem("Grid1")) grid->setChecked(ed.GridLineWidth() == 1);
  if (QAction* markers = ViewItem("Showmarkers1")) markers->setChecked(ed.ShowMarkerColumn());
  if (QAction* inspector = ViewItem("ValueInspector1"))
    inspector->setChecked(valueInspector1_ && !valueInspector1_->isHidden());
  if (QAction* ruler = ViewItem("ColumnRuler1"))
    ruler->setChecked(byteEditor1_->ColumnRulerVisible());
  standardKeys1_->setChecked(standardKeys_);
}

void TMainForm::Blocksize1Click() {
  switch (ByteEditor1().BytesPerColumn()) {
    case 1: Check(ViewItem("N1Byteperblock1")); break;
    case 2: Check(ViewItem("N2Bytesperblock1")); break;
    case 4: Check(ViewItem("N4Bytesperblock1")); break;
    default: break;
  }
}

void TMainForm::Caretstyle1Click() {
  switch (ByteEditor1().CaretStyle()) {
    case csFull: Check(ViewItem("Fullblock1")); break;
    case csLeftLine: Check(ViewItem("Leftline1")); break;
    case csBottomLine: Check(ViewItem("Bottomline1")); break;
  }
}

void TMainForm::Offsetdisplay1Click() {
  switch (ByteEditor1().OffsetDisplay()) {
    case odHex: Check(ViewItem("Hex1")); break;
    case odDec: Check(ViewItem("Dec1")); break;
    case odOctal: Check(ViewItem("oct1")); break;
    case odNone: Check(ViewItem("None1")); break;
  }
}

// ---- the shared radio handlers: the chosen item's tag is the value ---------------------

void TMainForm::_64Click() {
  const int tag = ChosenTag(0);
  if (tag == 16 || tag == 32 || tag == 64) ByteEditor1().SetBytesPerLine(tag);
}

void TMainForm::N4Bytesperblock1Click() {
  const int tag = ChosenTag(0);
  if (tag == 1 || tag == 2 || tag == 4) ByteEditor1().SetBytesPerColumn(tag);
}

void TMainForm::Bottomline1Click() {
  const int tag = ChosenTag(-1);
  if (tag >= csFull && tag <= csBottomLine)
    ByteEditor1().SetCaretStyle(static_cast<TCaretStyle>(tag));
}

void TMainForm::None1Click() {
  const int tag = ChosenTag(-1);
  if (tag >= odHex && tag <= odNone)
    ByteEditor1().SetOffsetDisplay(static_cast<TOffsetDisplayStyle>(tag));
}

// ---- character sets: fixed values, and the mark moves at once ----------------------

void TMainForm::ChooseTranslation(TTranslationType set, const char* itemName) {
  ByteEditor1().SetTranslation(set);
  for (const char* name : {"Win1", "ASCIItoANSI1", "N10", "N11", "N12"})
    if (QAction* item = ViewItem(name)) item->setChecked(std::string_view(name) == itemName);
  if (valueInspector1_) valueInspector1_->Refresh();
}

void TMainForm::Win1Click() { ChooseTranslation(ttAnsi, "Win1"); }
void TMainForm::ASCIItoANSI1Click() { ChooseTranslation(ttDos8, "ASCIItoANSI1"); }
void TMainForm::N10Click() { ChooseTranslation(ttASCII, "N10"); }
// The item with tag 3 shows EBCDIC, the one with tag 4 Macintosh: the
// character-set items pass their own values, not their tags.
void TMainForm::N11Click() { ChooseTranslation(ttEBCDIC, "N11"); }
void TMainForm::N12Click() { ChooseTranslation(ttMac, "N12"); }

// ---- toggles ---------------------------------------------------------------------------

void TMainForm::Grid1Click() {
  TByteEditor& ed = ByteEditor1();
  ed.SetGridLineWidth(1 - ed.GridLineWidth());
}

void TMainForm::Showmarkers1Click() {
  TByteEditor& ed = ByteEditor1();
  ed.SetShowMarkerColumn(!ed.ShowMarkerColumn());
}

// ---- Help ------------------------------------------------------------------------------

void TMainForm::Info1Click() {
  if (aboutForm_) aboutForm_->exec();
}

}  // namespace bm
