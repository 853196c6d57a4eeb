// THexCalc: controls, digits, operators, the base choice, the keyboard and
// the clipboard buttons.
#include "app/CalchHex.h"
#include "app/ui_language.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>
#include <string>

#include "app/number_edit_control.h"
#include "app/utf8_text.h"
#include "platform/qt/qt_surface.h"
#include "platform/qt/qt_title_fit.h"

namespace bm {

namespace {

// A face where the machine has it, else its stand-in.
QFont FaceOrStandIn(const char* face, int pixels, bool bold) {
  const QString name = QString::fromLatin1(face);
  QFont font(QFontDatabase::hasFamily(name) ? name : ResolveFontFamily("MS Sans Serif"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

struct DigitPlace {
  char digit;
  int button;  // the number of its ButtonN
  int left;
  int top;
};

// Four rows of four; the buttons are numbered down the columns.
constexpr DigitPlace kDigits[] = {
    {'1', 1, 8, 136},   {'2', 4, 72, 136},   {'3', 7, 136, 136},  {'4', 10, 200, 136},
    {'5', 2, 8, 168},   {'6', 5, 72, 168},   {'7', 8, 136, 168},  {'8', 11, 200, 168},
    {'9', 3, 8, 200},   {'0', 6, 72, 200},   {'A', 9, 136, 200},  {'B', 12, 200, 200},
    {'C', 13, 8, 232},  {'D', 14, 72, 232},  {'E', 15, 136, 232}, {'F', 16, 200, 232},
};

constexpr TEditBase kItemBases[] = {ebHex, ebOct, ebBin, ebDec};

int DigitValue(char d) { return d <= '9' ? d - '0' : d - 'A' + 10; }

int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

}  // namespace

THexCalc::THexCalc(Dialogs& dialogs, Clipboard& clipboard, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), clipboard_(clipboard) {
  setObjectName(QStringLiteral("HexCalc"));
  setModal(true);
  SetTrTitle(this, metaObject()->className(), QT_TR_NOOP("Калькулятор Hex, Oct, Bin, Dec форматов"));
  setFont(FaceOrStandIn("MS Sans Serif", 11, false));
  setFixedSize(348, 295);
  FitTitle(this);
  BuildControls();
  // Key preview: the dialog sees every key its controls get.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  FormCreate();
}

void THexCalc::BuildControls() {
  numberEdit1_ = new TNumberEdit(clipboard_, this);
  numberEdit1_->setObjectName(QStringLiteral("NumberEdit1"));
  numberEdit1_->setGeometry(8, 8, 289, 24);
  numberEdit1_->setFont(FaceOrStandIn("System", 16, true));
  numberEdit1_->setEnabled(false);

  // Its text is set only by the calculator; a length limit would cut the
  // longer binary numbers, so it has none.
  numberEdit2_ = new TNumberEdit(clipboard_, this);
  numberEdit2_->setObjectName(QStringLiteral("NumberEdit2"));
  numberEdit2_->setGeometry(8, 8, 257, 21);
  numberEdit2_->SetMinValue(0);
  numberEdit2_->SetMaxValue(268435455);
  numberEdit2_->setVisible(false);

  panel1_ = new QLabel(this);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  panel1_->setGeometry(312, 6, 25, 25);
  panel1_->setAlignment(Qt::AlignCenter);
  panel1_->setFrameStyle(QFrame::Box | QFrame::Plain);

  radioGroup1_ = TrText(this, new QGroupBox(this), QT_TR_NOOP("Формат представления числа"));
  radioGroup1_->setObjectName(QStringLiteral("RadioGroup1"));
  radioGroup1_->setGeometry(8, 56, 329, 33);
  radioItems_ = new QButtonGroup(this);
  const char* items[] = {"Hex", "Oct", "Bin", "Dec"};
  const int column = (329 - 16) / 4;
  for (int i = 0; i < 4; ++i) {
    auto* item = new QRadioButton(QString::fromLatin1(items[i]), radioGroup1_);
    item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
    item->setGeometry(8 + i * column, 14, column - 2, 17);
    radioItems_->addButton(item, i);
  }
  radioItems_->button(0)->setChecked(true);
  // Mouse, arrow keys and code all come through the newly checked item.
  connect(radioItems_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) RadioGroup1Click();
  });

  auto button = [this](int number, const QString& caption, int left, int top, int width,
                       int height) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QStringLiteral("Button%1").arg(number));
    b->setGeometry(left, top, width, height);
    b->setAutoDefault(false);
    return b;
  };
  for (const DigitPlace& p : kDigits) {
    QPushButton* b = button(p.button, QString(QChar(p.digit)), p.left, p.top, 49, 25);
    digitButtons_[static_cast<size_t>(DigitValue(p.digit))] = b;
    const char d = p.digit;
    connect(b, &QPushButton::clicked, this, [this, d] { DigitClick(d); });
  }
  connect(button(17, QStringLiteral("+"), 264, 136, 75, 25), &QPushButton::clicked, this,
          &THexCalc::Button17Click);
  connect(button(18, QStringLiteral("-"), 264, 168, 75, 25), &QPushButton::clicked, this,
          &THexCalc::Button18Click);
  connect(button(19, QStringLiteral("*"), 264, 200, 75, 25), &QPushButton::clicked, this,
          &THexCalc::Button19Click);
  connect(button(20, QStringLiteral("/"), 264, 232, 75, 25), &QPushButton::clicked, this,
          &THexCalc::Button20Click);
  connect(TrText(this, button(23, QString(), 8, 264, 113, 25), QT_TR_NOOP("Закрыть")), &QPushButton::clicked, this,
          &THexCalc::Button23Click);
  connect(TrText(this, button(21, QString(), 136, 264, 113, 25), QT_TR_NOOP("Сброс")), &QPushButton::clicked, this,
          &THexCalc::Button21Click);
  connect(button(22, QStringLiteral("="), 264, 264, 73, 25), &QPushButton::clicked, this,
          &THexCalc::Button22Click);
  connect(TrText(this, button(24, QString(), 8, 104, 161, 25), QT_TR_NOOP("Результат в окно обмена")), &QPushButton::clicked,
          this, &THexCalc::Button24Click);
  connect(TrText(this, button(25, QString(), 184, 104, 153, 25), QT_TR_NOOP("Вставить из окна обмена")), &QPushButton::clicked,
          this, &THexCalc::Button25Click);
}

void THexCalc::FormCreate() { newNumber_ = true; }

void THexCalc::showEvent(QShowEvent* e) {
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->geometry();
    const QRect frame = frameGeometry();
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2) +
         (pos() - frame.topLeft()));
  }
  QDialog::showEvent(e);
}

QString THexCalc::PendingOperator() const { return panel1_->text(); }

int THexCalc::ItemIndex() const { return radioItems_->checkedId(); }

QPushButton* THexCalc::DigitButton(char d) const {
  return digitButtons_[static_cast<size_t>(DigitValue(d))];
}

void THexCalc::DigitClick(char d) {
  std::string text = numberEdit1_->Text();
  if (text == "0" || newNumber_) text.clear();
  text.push_back(d);
  numberEdit1_->SetText(text);
  newNumber_ = false;
}

void THexCalc::Operator(const char* op) {
  if (!panel1_->text().isEmpty()) return;
  numberEdit2_->SetValue(numberEdit1_->Value());
  panel1_->setText(QString::fromLatin1(op));
  newNumber_ = true;
}

void THexCalc::Button17Click() { Operator("+"); }
void THexCalc::Button18Click() { Operator("-"); }
void THexCalc::Button19Click() { Operator("*"); }
void THexCalc::Button20Click() { Operator("/"); }

// 32-bit arithmetic that wraps; a negative result shows as 0.
void THexCalc::Button22Click() {
  const QString op = panel1_->text();
  if (op.isEmpty()) return;
  const int64_t a = numberEdit2_->Value();
  const int64_t b = numberEdit1_->Value();
  if (op == QLatin1String("+")) {
    numberEdit1_->SetValue(Wrap(a + b));
  } else if (op == QLatin1String("-")) {
    numberEdit1_->SetValue(Wrap(a - b));
  } else if (op == QLatin1String("*")) {
    numberEdit1_->SetValue(Wrap(a * b));
  } else if (op == QLatin1String("/")) {
    if (b == 0) {
      dialogs_.MessageBox(tr("На ноль делить нельзя !!!").toStdString(), std::string(), MessageIcon::Error,
                          MessageButtons::Ok);
      return;
    }
    // In 64 bits, so the lowest number divided by -1 wraps instead of trapping.
    numberEdit1_->SetValue(Wrap(a / b));
  }
  panel1_->clear();
  newNumber_ = true;
}

void THexCalc::Button21Click() {
  numberEdit1_->SetText("0");
  numberEdit2_->SetText("0");
  panel1_->clear();
}

void THexCalc::Button23Click() { reject(); }

void THexCalc::RadioGroup1Click() {
  const int index = ItemIndex();
  if (index < 0) return;
  const TEditBase base = kItemBases[index];
  numberEdit1_->SetNumBase(base);
  numberEdit2_->SetNumBase(base);
  const int radix = RadixOf(base);
  for (int d = 0; d < 16; ++d) digitButtons_[static_cast<size_t>(d)]->setEnabled(d < radix);
}

// Re-writes both numbers even when the item is already chosen, so the
// display holds at most eight hexadecimal digits afterwards.
void THexCalc::SetItemIndex(int index) {
  QAbstractButton* item = radioItems_->button(index);
  if (item->isChecked()) {
    RadioGroup1Click();
  } else {
    item->setChecked(true);
  }
}

// The display's hexadecimal digits in pairs, least significant pair first,
// and a zero byte after them.
void THexCalc::Button24Click() {
  SetItemIndex(0);
  std::string hex = numberEdit1_->Text();
  if (hex.size() % 2 != 0) hex.insert(hex.begin(), '0');
  std::string bytes;
  for (size_t i = hex.size(); i >= 2; i -= 2)
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i - 2, 2), nullptr, 16)));
  bytes.push_back('\0');
  clipboard_.Clear();
  clipboard_.SetText(bytes);
}

// Up to four bytes of the clipboard's text, least significant first.
void THexCalc::Button25Click() {
  SetItemIndex(0);
  const std::string text = clipboard_.HasText() ? clipboard_.Text() : std::string();
  uint32_t value = 0;
  for (size_t i = 0; i < std::min<size_t>(4, text.size()); ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(text[i])) << (8 * i);
  numberEdit1_->SetValue(static_cast<int32_t>(value));
}

bool THexCalc::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    // A key goes to the focused control first and then up to its parents;
    // it is previewed once, on its first delivery.
    QWidget* first = QApplication::focusWidget();
    if (!first || first->window() != this) first = this;
    if (watched == first) FormKeyPress(static_cast<QKeyEvent*>(e));
  }
  return QDialog::eventFilter(watched, e);
}

void THexCalc::FormKeyPress(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    reject();
    return;
  }
  if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return;
  const QString text = e->text();
  if (text.size() != 1) return;
  const char16_t c = text.at(0).unicode();
  switch (c) {
    case '+':
    case '-':
    case '*':
    case '/':
      Operator(std::string(1, static_cast<char>(c)).c_str());
      return;
    case '=':
      Button22Click();
      return;
    case '\\':
      Button21Click();
      return;
    default:
      break;
  }
  if (c == '0' || c == '1') {
    DigitClick(static_cast<char>(c));
  } else if (c >= '2' && c <= '7') {
    if (DigitButton('7')->isEnabled()) DigitClick(static_cast<char>(c));
  } else if (c == '8' || c == '9') {
    if (DigitButton('9')->isEnabled()) DigitClick(static_cast<char>(c));
  } else if ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) {
    if (ItemIndex() == 0 && DigitButton('F')->isEnabled())
      DigitClick(static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c));
  }
}

// Escape has closed the dialog in the preview already. Enter clicks the
// button that has the focus, and no other.
void THexCalc::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    e->accept();
    return;
  }
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    if (auto* b = qobject_cast<QPushButton*>(QApplication::focusWidget());
        b && b->window() == this && b->isEnabled())
      b->click();
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace bm
