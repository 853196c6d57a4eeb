// The Find dialog: its controls at their places, focus, keys and the case
// box that only text searches use.
#include "app/findf.h"
#include "app/ui_language.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/dialog_font.h"
#include "app/utf8_text.h"
#include "platform/codepage.h"
#include "platform/qt/qt_surface.h"
#include "platform/qt/qt_title_fit.h"

namespace bm {

TFindForm::TFindForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FindForm"));
  setModal(true);
  SetTrTitle(this, metaObject()->className(), QT_TR_NOOP("Редактор данных для поиска"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(401, 142);
  FitTitle(this);
  setFont(DialogFont(11, false));
  const QFont system = DialogFont(13, true);

  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(8, 16, 385, 21);

  Button1 = TrText(this, new QPushButton(this), QT_TR_NOOP("Ввод"));
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(8, 56, 75, 25);
  Button1->setFont(system);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

  Button2 = TrText(this, new QPushButton(this), QT_TR_NOOP("Отмена"));
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(320, 56, 75, 25);
  Button2->setFont(system);
  Button2->setAutoDefault(false);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  RadioGroup1 = TrText(this, new QGroupBox(this), QT_TR_NOOP("Выбор объекта поиска"));
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  RadioGroup1->setGeometry(104, 40, 193, 41);
  RadioGroup1->setFont(system);
  const char* items[2] = {QT_TR_NOOP("Строка"), QT_TR_NOOP("Код")};
  for (int i = 0; i < 2; ++i) {
    auto* item = TrText(this, new QRadioButton(RadioGroup1), items[i]);
    item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
    // Two columns of equal width below the caption.
    item->setGeometry(8 + i * 92, 17, 88, 20);
    connect(item, &QRadioButton::toggled, this, [this](bool on) {
      if (on) RadioGroup1Click();
    });
    RadioGroup1Items[i] = item;
  }

  GroupBox1 = TrText(this, new QGroupBox(this), QT_TR_NOOP("Прописные и строчные"));
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setGeometry(8, 88, 385, 41);
  GroupBox1->setFont(system);
  CheckBox1 = TrText(this, new QCheckBox(GroupBox1), QT_TR_NOOP("Прописные и строчные буквы различать"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setGeometry(8, 16, 297, 17);
  CheckBox1->setFont(font());  // the dialog's face, not the group's
  CheckBox1->setChecked(false);
  RadioGroup1Items[0]->setChecked(true);

  // Counting keeps the dialog open; the count shows above the text.
  Button3 = TrText(this, new QPushButton(this), QT_TR_NOOP("Найти все"));
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setGeometry(314, 98, 75, 25);
  Button3->setAutoDefault(false);
  connect(Button3, &QPushButton::clicked, this, [this] {
    if (OnFindAll) OnFindAll();
  });
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(8, 0, 385, 16);
  Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  setTabOrder(Edit1, Button1);
  setTabOrder(Button1, Button2);
  setTabOrder(Button2, RadioGroup1Items[0]);
  setTabOrder(RadioGroup1Items[0], RadioGroup1Items[1]);
  setTabOrder(RadioGroup1Items[1], CheckBox1);
  setTabOrder(CheckBox1, Button3);
}

bool TFindForm::ShowModal() {
  Label1->clear();  // a count from an earlier showing may no longer hold
  Edit1->setSelection(0, static_cast<int>(Edit1->text().size()));
  const bool ok = exec() == QDialog::Accepted;
  // Keys go to the main window again even where no window manager hands
  // the activation back to it.
  if (QWidget* owner = parentWidget()) owner->window()->activateWindow();
  return ok;
}

int TFindForm::RadioGroup1ItemIndex() const { return RadioGroup1Items[1]->isChecked() ? 1 : 0; }

void TFindForm::SetRadioGroup1ItemIndex(int index) {
  RadioGroup1Items[index == 1 ? 1 : 0]->setChecked(true);
}

std::string TFindForm::Edit1Text() const {
  std::string bytes;
  for (char32_t ch : Edit1->text().toUcs4()) {
    const int b = UnicodeToAnsi(ch);
    bytes.push_back(static_cast<char>(b < 0 ? '?' : b));
  }
  return bytes;
}

void TFindForm::ShowCount(int64_t count) {
  Label1->setText(tr("Найдено: %1").arg(count));
}

void TFindForm::FormActivate() { Edit1->setFocus(); }

void TFindForm::RadioGroup1Click() { CheckBox1->setEnabled(RadioGroup1ItemIndex() != 1); }

bool TFindForm::event(QEvent* e) {
  const bool handled = QDialog::event(e);
  // Shown without a window manager the dialog may never be activated.
  if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) FormActivate();
  return handled;
}

void TFindForm::keyPressEvent(QKeyEvent* e) {
  FormKeyPress(e);
  if (!e->isAccepted()) QDialog::keyPressEvent(e);
}

void TFindForm::FormKeyPress(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    reject();
    e->accept();
    return;
  }
  e->ignore();
}

}  // namespace bm
