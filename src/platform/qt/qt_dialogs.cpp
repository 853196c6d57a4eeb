#include "platform/qt/qt_dialogs.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/qt_title_fit.h"

namespace bm {

namespace {

QString DisplayText(const std::string& text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// The icon, title (the program's name when none is given) and plain text of a box.
void SetUpBox(QMessageBox& box, const std::string& text, const std::string& caption, MessageIcon icon) {
  box.setIcon(QtIcon(icon));
  box.setWindowTitle(caption.empty() ? QGuiApplication::applicationDisplayName()
                                     : DisplayText(caption));
  box.setText(DisplayText(text));
  box.setTextFormat(Qt::PlainText);
}

}  // namespace

MessageResult QtDialogs::MessageBox(const std::string& text, const std::string& caption,
                                    MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(owner_);
  SetUpBox(box, text, caption, icon);

  struct Choice {
    QAbstractButton* button;
    MessageResult result;
  };
  std::vector<Choice> choices;
  auto add = [&](const char* label, QMessageBox::ButtonRole role, MessageResult result) {
    QPushButton* b = box.addButton(QCoreApplication::translate("bm::QtDialogs", label), role);
    choices.push_back({b, result});
    return b;
  };
  MessageResult closed = MessageResult::Cancel;
  switch (buttons) {
    case MessageButtons::Ok:
      box.setDefaultButton(add("OK", QMessageBox::AcceptRole, MessageResult::Ok));
      box.setEscapeButton(choices.back().button);
      closed = MessageResult::Ok;
      break;
    case MessageButtons::YesNoCancel:
      box.setDefaultButton(add(QT_TRANSLATE_NOOP("bm::QtDialogs", "&Да"), QMessageBox::YesRole, MessageResult::Yes));
      add(QT_TRANSLATE_NOOP("bm::QtDialogs", "&Нет"), QMessageBox::NoRole, MessageResult::No);
      box.setEscapeButton(add(QT_TRANSLATE_NOOP("bm::QtDialogs", "Отмена"), QMessageBox::RejectRole, MessageResult::Cancel));
      break;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoDefaultNo: {
      QPushButton* yes = add(QT_TRANSLATE_NOOP("bm::QtDialogs", "&Да"), QMessageBox::YesRole, MessageResult::Yes);
      QPushButton* no = add(QT_TRANSLATE_NOOP("bm::QtDialogs", "&Нет"), QMessageBox::NoRole, MessageResult::No);
      box.setDefaultButton(buttons == MessageButtons::YesNo ? yes : no);
      // Esc and the close button press a button nobody sees, which answers
      // Cancel; without an escape button the box could not be closed at all.
      QPushButton* closeBox = add(QT_TRANSLATE_NOOP("bm::QtDialogs", "Отмена"), QMessageBox::RejectRole, MessageResult::Cancel);
      closeBox->hide();
      box.setEscapeButton(closeBox);
      break;
    }
    case MessageButtons::OkCancel:
      box.setDefaultButton(add("OK", QMessageBox::AcceptRole, MessageResult::Ok));
      box.setEscapeButton(add(QT_TRANSLATE_NOOP("bm::QtDialogs", "Отмена"), QMessageBox::RejectRole, MessageResult::Cancel));
      break;
  }
  FitTitle(&box);
  box.exec();
  for (const Choice& c : choices)
    if (box.clickedButton() == c.button) return c.result;
  return closed;
}

int QtDialogs::Choose(const std::string& text, const std::string& caption, MessageIcon icon,
                      const std::vector<std::string>& buttons, int defaultButton) {
  QMessageBox box(owner_);
  SetUpBox(box, text, caption, icon);
  std::vector<QPushButton*> added;
  for (const std::string& label : buttons) {
    added.push_back(box.addButton(DisplayText(label), QMessageBox::ActionRole));
    if (static_cast<int>(added.size()) - 1 == defaultButton) box.setDefaultButton(added.back());
  }
  // As in the yes/no boxes: Esc and the close button press a hidden button.
  QPushButton* closeBox = box.addButton(QStringLiteral("Esc"), QMessageBox::RejectRole);
  closeBox->hide();
  box.setEscapeButton(closeBox);
  FitTitle(&box);
  box.exec();
  for (size_t i = 0; i < added.size(); ++i)
    if (box.clickedButton() == added[i]) return static_cast<int>(i);
  return -1;
}

QStringList QtDialogs::NameFilters(const std::string& filter) {
  const QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()))
                                .split(QLatin1Char('|'));
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == QLatin1String("*.*")) p = QStringLiteral("*");
    }
    // The display text keeps its own parentheses; the dialog hides the
    // pattern list appended here.
    result << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                  QLatin1Char(')');
  }
  if (result.isEmpty()) result << QStringLiteral("(*)");
  return result;
}

std::optional<FileDialogResult> QtDialogs::RunFileDialog(const FileDialogRequest& request,
                                                         bool save) {
  QFileDialog dialog(owner_, DisplayText(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile
                                                 : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  dialog.setNameFilters(NameFilters(request.filter));
  if (!request.initialFolder.empty())
    dialog.setDirectory(QFile::decodeName(request.initialFolder.c_str()));
  if (!request.initialName.empty()) dialog.selectFile(QFile::decodeName(request.initialName.c_str()));

  QCheckBox* readOnly = nullptr;
  if (request.showReadOnly) {
    readOnly = new QCheckBox(QCoreApplication::translate("bm::QtDialogs", "Только чтение"), &dialog);
    readOnly->setObjectName(QStringLiteral("readOnlyCheckBox"));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
      grid->addWidget(readOnly, grid->rowCount(), 0, 1, grid->columnCount());
    else if (dialog.layout())
      dialog.layout()->addWidget(readOnly);
  }

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  FileDialogResult result;
  result.path = QFile::encodeName(files.first()).toStdString();
  result.readOnlyChecked = readOnly && readOnly->isChecked();
  return result;
}

std::optional<FileDialogResult> QtDialogs::OpenFile(const FileDialogRequest& request) {
  return RunFileDialog(request, false);
}

std::optional<FileDialogResult> QtDialogs::SaveFile(const FileDialogRequest& request) {
  return RunFileDialog(request, true);
}

std::optional<std::string> QtDialogs::InputBox(const std::string& caption,
                                               const std::string& prompt,
                                               const std::string& initial) {
  QInputDialog dialog(owner_);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(DisplayText(caption));
  dialog.setLabelText(DisplayText(prompt));
  dialog.setTextValue(DisplayText(initial));
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QCoreApplication::translate("bm::QtDialogs", "Отмена"));
  FitTitle(&dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

}  // namespace bm
