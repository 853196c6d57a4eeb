// ChecksumForm: the checksums of the selection or of the whole document, each
// in a read-only field to copy from; long passes show progress and "Стоп".
#pragma once
#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "bytetools/checksums.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace bm {

class ChecksumForm : public QDialog {
  Q_OBJECT
 public:
  // Runs with progress and "Стоп" above this many bytes.
  static constexpr int64_t kProgressThreshold = int64_t{64} << 20;

  // range: what the sums are of, as the dialog says it.
  ChecksumForm(QWidget* parent, const QString& range, int64_t first, int64_t count,
               ChecksumReader reader);
  ~ChecksumForm() override;

  // Computes the sums: at once for a small range, else in slices from the
  // event loop once the dialog shows.
  void Start();
  bool Running() const { return pass_ != nullptr; }
  // Stops a running pass; the fields stay empty.
  void Stop();
  QString Sum(ChecksumKind kind) const;
  // Why the last pass failed (empty when it did not).
  const QString& Failure() const { return failure_; }

 protected:
  void done(int result) override;

 private:
  void RunSlice();
  void Show(const ChecksumResults& results);

  int64_t first_;
  int64_t count_;
  ChecksumReader reader_;
  std::unique_ptr<ChecksumPass> pass_;
  QString failure_;
  QLabel* range_ = nullptr;
  std::array<QLineEdit*, kChecksumKinds> fields_{};
  QProgressBar* progress_ = nullptr;
  QPushButton* stop_ = nullptr;
};

}  // namespace bm
