// TAboutForm, the About box (Help, "&Информация", F1): a fixed-size box with
// the program's icon, its version and two lines of text. Created hidden at
// start-up and shown modally again and again.
#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace bm {

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* parent = nullptr);

  QFrame* Panel1() const { return panel1_; }
  QLabel* Image1() const { return image1_; }
  QLabel* lblVersion() const { return lblVersion_; }
  QLabel* NoticeLabel() const { return notice_; }
  QLabel* ContactLabel() const { return contact_; }
  QPushButton* btnAboutOK() const { return btnAboutOK_; }

  // The version line, "Bytemoor - version " and the program's version.
  static QString VersionLine();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void FormCreate();
  // Centres the box on the screen of its owner (or the primary screen).
  void CentreOnScreen();

  QFrame* panel1_ = nullptr;
  QLabel* image1_ = nullptr;
  QLabel* lblVersion_ = nullptr;
  QLabel* notice_ = nullptr;
  QLabel* contact_ = nullptr;
  QPushButton* btnAboutOK_ = nullptr;
};

}  // namespace bm
