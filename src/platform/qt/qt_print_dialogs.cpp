// The font dialog and the printer setup dialog of QtDialogs.
#include <QFontDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>
#include <cmath>

#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_surface.h"

namespace bm {

std::optional<FontDesc> QtDialogs::ChooseFont(const FontDesc& initial) {
  QFontDialog dialog(ToQFont(initial), owner_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QFont chosen = dialog.selectedFont();
  FontDesc font;
  font.name = chosen.family().toStdString();
  font.bold = chosen.bold();
  int points = static_cast<int>(std::lround(chosen.pointSizeF()));
  if (points <= 0 && chosen.pixelSize() > 0)
    points = (chosen.pixelSize() * 72 + kPixelsPerInch / 2) / kPixelsPerInch;
  font.SetSize(points > 0 ? points : initial.Size());
  return font;
}

bool QtDialogs::PrinterSetup(Printer& printer) {
  auto* qt = dynamic_cast<QtPrinter*>(&printer);
  if (!qt) return false;
  // Printing always takes every page; the dialog chooses the printer, its
  // paper and orientation, or a PDF file.
  QPrintDialog dialog(&qt->Device(), owner_);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  // It sets the printer up, it does not print: "OK", under the command's name.
  dialog.setWindowTitle(QCoreApplication::translate("bm::QtDialogs", "Свойства принтера"));
  for (auto* box : dialog.findChildren<QDialogButtonBox*>())
    if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace bm
