// ChecksumForm: one pass feeds every algorithm; the editor is read on this
// thread only, a slice at a time between events.
#include "app/checksum_form.h"
#include "app/ui_language.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "app/wait_cursor.h"

namespace bm {

namespace {

// Bytes fed between two looks at the event loop.
constexpr int64_t kSlice = int64_t{16} << 20;

struct Row {
  const char* name;
  const char* label;
};
constexpr std::array<Row, kChecksumKinds> kRows = {{
    {"Sum_crc32", "CRC-32"},
    {"Sum_adler32", "Adler-32"},
    {"Sum_md5", "MD5"},
    {"Sum_sha1", "SHA-1"},
    {"Sum_sha256", "SHA-256"},
    {"Sum_sha512", "SHA-512"},
    {"Sum_sha3_256", "SHA3-256"},
}};

}  // namespace

ChecksumForm::ChecksumForm(QWidget* parent, const QString& range, int64_t first, int64_t count,
                           ChecksumReader reader)
    : QDialog(parent), first_(first), count_(count), reader_(std::move(reader)) {
  setObjectName(QStringLiteral("ChecksumForm"));
  SetTrTitle(this, metaObject()->className(), QT_TR_NOOP("Контрольные суммы"));
  auto* layout = new QVBoxLayout(this);
  range_ = new QLabel(range, this);
  range_->setObjectName(QStringLiteral("ChecksumRange"));
  layout->addWidget(range_);

  auto* form = new QFormLayout;
  const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (size_t i = 0; i < kRows.size(); ++i) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(kRows[i].name));
    field->setReadOnly(true);
    field->setFont(mono);
    // Room for the 128 digits of SHA-512 would make the dialog too wide;
    // the field scrolls instead.
    field->setMinimumWidth(QFontMetrics(mono).horizontalAdvance(QString(64, QLatin1Char('0'))) + 12);
    form->addRow(QString::fromLatin1(kRows[i].label), field);
    fields_[i] = field;
  }
  layout->addLayout(form);

  auto* runRow = new QHBoxLayout;
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ChecksumProgress"));
  progress_->setRange(0, 1000);
  stop_ = TrText(this, new QPushButton(this), QT_TR_NOOP("Стоп"));
  stop_->setObjectName(QStringLiteral("ChecksumStop"));
  connect(stop_, &QPushButton::clicked, this, &ChecksumForm::Stop);
  runRow->addWidget(progress_, 1);
  runRow->addWidget(stop_);
  layout->addLayout(runRow);
  progress_->hide();
  stop_->hide();

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = TrText(this, buttons->addButton(QString(), QDialogButtonBox::RejectRole),
                              QT_TR_NOOP("Закрыть"));
  close->setObjectName(QStringLiteral("ChecksumClose"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

ChecksumForm::~ChecksumForm() = default;

void ChecksumForm::Start() {
  failure_.clear();
  for (QLineEdit* field : fields_) field->clear();
  pass_ = std::make_unique<ChecksumPass>(first_, count_, reader_);
  if (count_ <= kProgressThreshold) {
    WaitCursor busy;
    RunSlice();
    while (pass_) RunSlice();
    return;
  }
  progress_->setValue(0);
  progress_->show();
  stop_->show();
  stop_->setEnabled(true);
  QTimer::singleShot(0, this, &ChecksumForm::RunSlice);
}

void ChecksumForm::RunSlice() {
  if (!pass_) return;
  try {
    if (!pass_->Step(kSlice)) {
      progress_->setValue(static_cast<int>(pass_->Done() * 1000 / std::max<int64_t>(count_, 1)));
      if (count_ > kProgressThreshold) QTimer::singleShot(0, this, &ChecksumForm::RunSlice);
      return;
    }
    Show(pass_->Results());
  } catch (const std::exception& e) {
    failure_ = QString::fromStdString(e.what());
    range_->setText(range_->text() + tr("\nОшибка чтения: %1").arg(failure_));
  }
  pass_.reset();
  progress_->hide();
  stop_->hide();
}

void ChecksumForm::Show(const ChecksumResults& results) {
  for (size_t i = 0; i < results.size(); ++i)
    fields_[i]->setText(QString::fromStdString(results[i]));
}

void ChecksumForm::Stop() {
  pass_.reset();
  for (QLineEdit* field : fields_) field->clear();
  progress_->hide();
  stop_->hide();
}

QString ChecksumForm::Sum(ChecksumKind kind) const {
  return fields_[static_cast<size_t>(kind)]->text();
}

void ChecksumForm::done(int result) {
  // Closing the dialog ends a pass that is still running.
  Stop();
  QDialog::done(result);
}

}  // namespace bm
