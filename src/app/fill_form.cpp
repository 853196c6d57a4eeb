// FillForm: the pattern or random bytes of a fill; an unreadable pattern
// keeps the dialog open with the reason.
#include "app/fill_form.h"
#include "app/ui_language.h"
#include "app/utf8_text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <random>

#include "bytetools/hex_text.h"
#include "platform/codepage.h"

namespace bm {

FillForm::FillForm(QWidget* parent, Dialogs& dialogs, int64_t count)
    : QDialog(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("FillForm"));
  SetTrTitle(this, metaObject()->className(), QT_TR_NOOP("Заполнить"));
  auto* layout = new QVBoxLayout(this);
  auto* size = new QLabel(tr("Выделено байт: %1").arg(count), this);
  layout->addWidget(size);
  repeat_ = TrText(this, new QRadioButton(this), QT_TR_NOOP("Повторять шаблон (hex):"));
  repeat_->setObjectName(QStringLiteral("FillRepeat"));
  repeat_->setChecked(true);
  layout->addWidget(repeat_);
  pattern_ = new QLineEdit(QStringLiteral("00"), this);
  pattern_->setObjectName(QStringLiteral("FillPattern"));
  layout->addWidget(pattern_);
  random_ = TrText(this, new QRadioButton(this), QT_TR_NOOP("Случайные байты"));
  random_->setObjectName(QStringLiteral("FillRandom"));
  layout->addWidget(random_);
  connect(random_, &QRadioButton::toggled, pattern_, [this](bool on) { pattern_->setEnabled(!on); });

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)
      ->setObjectName(QStringLiteral("FillOk"));
  TrText(this, buttons->addButton(QString(), QDialogButtonBox::RejectRole), QT_TR_NOOP("Отмена"))
      ->setObjectName(QStringLiteral("FillCancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  pattern_->selectAll();
  pattern_->setFocus();
}

std::optional<FillPattern> FillForm::Chosen(QString* problem) const {
  if (random_->isChecked()) {
    std::random_device device;
    return FillPattern::Random((uint64_t{device()} << 32) | device());
  }
  // The field's text in the ANSI code page, as the clipboard's would be.
  std::string text;
  for (char32_t ch : pattern_->text().toUcs4()) {
    const int b = UnicodeToAnsi(ch);
    text.push_back(b >= 0 ? static_cast<char>(b) : '?');
  }
  const HexTextResult parsed = ParseHexText(text);
  if (!parsed.ok) {
    if (problem)
      *problem = tr("Не шестнадцатеричный текст: «%1» в позиции %2.").arg(
                         QString(QChar(AnsiToUnicode(static_cast<uint8_t>(parsed.errorChar)))))
                     .arg(parsed.errorIndex + 1);
    return std::nullopt;
  }
  if (parsed.bytes.empty()) {
    if (problem) *problem = tr("Введите шаблон: шестнадцатеричные байты, например DE AD BE EF.");
    return std::nullopt;
  }
  return FillPattern::Repeat(parsed.bytes);
}

void FillForm::accept() {
  QString problem;
  if (!Chosen(&problem)) {
    dialogs_.MessageBox(problem.toStdString(), tr("Заполнить").toStdString(), MessageIcon::Warning, MessageButtons::Ok);
    pattern_->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace bm
