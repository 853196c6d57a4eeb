#include "app/value_inspector.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cstring>

#include "app/core_texts.h"
#include "app/settings.h"
#include "app/ui_language.h"
#include "app/utf8_text.h"
#include "editor/byte_editor.h"
#include "widgets/editor_widget.h"

namespace bm {

using inspect::ByteOrder;
using inspect::Row;

namespace {

Row RowAt(size_t i) { return static_cast<Row>(i); }

// A row whose bytes would run past the end, or a document without data.
bool Reaches(Row row, const inspect::CursorBytes& at) {
  return at.count > 0 && inspect::RowWidth(row) <= at.count;
}

}  // namespace

bool ValueInspector::Snapshot::operator==(const Snapshot& o) const {
  return position == o.position && at.count == o.at.count &&
         std::memcmp(at.bytes.data(), o.at.bytes.data(), at.bytes.size()) == 0 &&
         order == o.order && translation == o.translation && maskChar == o.maskChar &&
         maskWhiteSpaces == o.maskWhiteSpaces && editable == o.editable;
}

ValueInspector::ValueInspector(EditorWidget& editor, QWidget* parent)
    : QDockWidget(parent), editor_(editor) {
  SetTrTitle(this, metaObject()->className(), QT_TR_NOOP("Инспектор значений"));
  setObjectName(QStringLiteral("ValueInspector"));
  setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

  auto* body = new QWidget(this);
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(6, 4, 6, 4);

  order_ = new QComboBox(body);
  order_->setObjectName(QStringLiteral("ByteOrder"));
  order_->addItem(tr("Младший байт первым (LE)"));
  order_->addItem(tr("Старший байт первым (BE)"));
  order_->setCurrentIndex(
      settings::Value(settings::kInspectorByteOrder).toString() == QLatin1String("big") ? 1 : 0);
  connect(order_, &QComboBox::currentIndexChanged, this, [this](int index) {
    settings::SetValue(settings::kInspectorByteOrder,
                       index == 1 ? QStringLiteral("big") : QStringLiteral("little"));
    Refresh();
  });
  order_->installEventFilter(this);
  column->addWidget(order_);

  auto* grid = new QGridLayout();
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  QWidget* previous = order_;
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Row row = RowAt(i);
    const QString key = QString::fromLatin1(inspect::RowKey(row));
    auto* caption = new QLabel(body);
    SetTrText(caption, "CoreTexts", inspect::RowCaption(row));
    auto* field = new QLineEdit(body);
    field->setObjectName(QStringLiteral("Value_") + key);
    field->setFont(fixed);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24);
    caption->setBuddy(field);
    field->installEventFilter(this);
    auto* reason = new QLabel(body);
    reason->setObjectName(QStringLiteral("Reason_") + key);
    reason->setStyleSheet(QStringLiteral("color: #c00000"));
    reason->setWordWrap(true);
    reason->hide();
    connect(field, &QLineEdit::textEdited, this, [this, row] { ShowReason(row, QString()); });
    grid->addWidget(caption, static_cast<int>(2 * i), 0);
    grid->addWidget(field, static_cast<int>(2 * i), 1);
    grid->addWidget(reason, static_cast<int>(2 * i + 1), 1);
    setTabOrder(previous, field);
    previous = field;
    fields_[i] = field;
    reasons_[i] = reason;
  }
  column->addLayout(grid);
  column->addStretch(1);

  auto* scroll = new QScrollArea(this);
  scroll->setWidget(body);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  // As wide as the rows need: the panel scrolls up and down only.
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setMinimumWidth(body->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width());
  setWidget(scroll);
  Refresh();
}

TByteEditor& ValueInspector::Editor() const { return editor_.Editor(); }

bool ValueInspector::Editable() const { return !Editor().ReadOnlyFile(); }

ByteOrder ValueInspector::Order() const {
  return order_->currentIndex() == 1 ? ByteOrder::Big : ByteOrder::Little;
}

void ValueInspector::SetOrder(ByteOrder order) {
  order_->setCurrentIndex(order == ByteOrder::Big ? 1 : 0);
}

QString ValueInspector::Reason(Row row) const {
  return reasons_[static_cast<size_t>(row)]->text();
}

QString ValueInspector::Shown(Row row) const { return shown_[static_cast<size_t>(row)]; }

inspect::CharSet ValueInspector::Chars() const {
  TByteEditor* ed = &Editor();
  return {[ed](uint8_t v) { return ed->ByteToDisplayChar(v); },
          [ed](uint8_t c) { return ed->CharToDataByte(c); }};
}

void ValueInspector::ShowReason(Row row, const QString& reason) {
  QLabel* label = reasons_[static_cast<size_t>(row)];
  if (label->text() == reason) return;
  label->setText(reason);
  label->setVisible(!reason.isEmpty());
}

void ValueInspector::Refresh() {
  TByteEditor& ed = Editor();
  Snapshot now;
  now.position = ed.CursorPosition();
  now.at.position = now.position;
  now.at.count = ed.PeekBytes(static_cast<int64_t>(now.position), now.at.bytes.data(),
                              inspect::kMaxRowBytes);
  now.order = static_cast<int>(Order());
  now.translation = ed.Translation();
  now.maskChar = ed.MaskChar();
  now.maskWhiteSpaces = ed.MaskWhiteSpaces();
  now.editable = Editable();
  if (haveSnapshot_ && now == last_) return;
  last_ = now;
  haveSnapshot_ = true;

  const inspect::CharSet chars = Chars();
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Row row = RowAt(i);
    const QString text = QString::fromStdString(inspect::DecodeRow(row, now.at, Order(), chars));
    shown_[i] = text;
    QLineEdit* field = fields_[i];
    if (field->text() != text) {
      field->setText(text);
      field->setCursorPosition(0);
    }
    field->setReadOnly(!(Reaches(row, now.at) && (row == Row::Offset || now.editable)));
    ShowReason(row, QString());
  }
}

void ValueInspector::FocusFirstValue() {
  QLineEdit* field = Field(Row::U8);
  field->setFocus(Qt::ShortcutFocusReason);
  field->selectAll();
}

bool ValueInspector::Commit(Row row) {
  QLineEdit* field = Field(row);
  const QString text = field->text();
  if (text == Shown(row)) return false;  // nothing typed: nothing to write
  TByteEditor& ed = Editor();
  if (ed.CursorPosition() != last_.position) {
    // The cursor moved before its notification came: show where it is now.
    Refresh();
    return false;
  }
  const inspect::CursorBytes& at = last_.at;
  if (at.count <= 0) {
    ShowReason(row, tr("Нет данных"));
    return false;
  }
  if (!Reaches(row, at)) {
    ShowReason(row, tr("За концом данных"));
    return false;
  }
  if (row != Row::Offset && !Editable()) {
    ShowReason(row, tr("Документ открыт только для чтения"));
    return false;
  }
  const QByteArray utf8 = text.toUtf8();
  const inspect::Encoded e =
      inspect::EncodeRow(row, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
                         Order(), Chars());
  if (!e.ok) {
    ShowReason(row, CoreText(e.reason));
    return false;
  }
  const int64_t size = ed.DataSize();
  if (row == Row::Offset) {
    if (e.position >= size) {
      ShowReason(row, tr("Вне данных: от 0 до %1").arg(size - 1));
      return false;
    }
    ed.GotoPosition(static_cast<int64_t>(e.position), 0, true);
    Refresh();
    return true;
  }
  const auto position = static_cast<int64_t>(at.position);
  if (int64_t{position} + static_cast<int64_t>(e.bytes.size()) > size) {
    ShowReason(row, tr("За концом данных"));
    return false;
  }
  bool written = false;
  try {
    written = ed.OverwriteBytes(position, e.bytes.data(), static_cast<int64_t>(e.bytes.size()));
  } catch (const std::exception& error) {
    if (OnError) OnError(error.what());
    return false;
  }
  if (!written) {
    ShowReason(row, tr("Изменение не принято"));
    return false;
  }
  Refresh();
  field->selectAll();
  return true;
}

void ValueInspector::Revert(Row row) {
  Field(row)->setText(Shown(row));
  ShowReason(row, QString());
  editor_.setFocus(Qt::OtherFocusReason);
}

void ValueInspector::changeEvent(QEvent* e) {
  QDockWidget::changeEvent(e);
  if (e->type() != QEvent::LanguageChange) return;
  RetranslateTexts(this);
  order_->setItemText(0, tr("Младший байт первым (LE)"));
  order_->setItemText(1, tr("Старший байт первым (BE)"));
  if (!isHidden()) Refresh();
}

void ValueInspector::closeEvent(QCloseEvent* e) {
  QDockWidget::closeEvent(e);
  if (OnClosed) OnClosed();
}

bool ValueInspector::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress)
    return QDockWidget::eventFilter(watched, e);
  const auto* key = static_cast<QKeyEvent*>(e);
  const bool escape = key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier;
  const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                     (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  // The document's Undo and Redo keep their keys in the fields as well.
  const bool undo = (key->key() == Qt::Key_Backspace && key->modifiers() == Qt::AltModifier) ||
                    (IsDocumentKey && IsDocumentKey(*key));
  if (e->type() == QEvent::ShortcutOverride) {
    // Esc and Enter belong to the panel, not to the window's Exit.
    if (escape || enter) {
      e->accept();
      return true;
    }
    if (undo) {
      e->ignore();
      return true;
    }
    return QDockWidget::eventFilter(watched, e);
  }
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (watched != fields_[i]) continue;
    if (enter) {
      Commit(RowAt(i));
      return true;
    }
    if (escape) {
      Revert(RowAt(i));
      return true;
    }
  }
  if (watched == order_ && escape) {
    editor_.setFocus(Qt::OtherFocusReason);
    return true;
  }
  return QDockWidget::eventFilter(watched, e);
}

}  // namespace bm
