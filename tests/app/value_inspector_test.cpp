// The value inspector and the column ruler in the main window, driven by
// keys as the user drives them; both remembered between runs.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "app/settings.h"
#include "app/value_inspector.h"
#include "app_fixture.h"
#include "widgets/column_ruler_widget.h"

namespace bm::testing {
namespace {

using inspect::Row;

class InspectorTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Forget();
  }
  void TearDown() override {
    AppTest::TearDown();
    Forget();  // the other suites start with both off
  }
  static void Forget() {
    settings::SetFlag(settings::kInspectorVisible, false);
    settings::SetFlag(settings::kColumnRuler, false);
    settings::SetValue(settings::kInspectorByteOrder, QStringLiteral("little"));
  }
  ValueInspector& Panel() { return *form->ValueInspector1(); }
  QLineEdit* Field(const char* key) {
    auto* field = form->findChild<QLineEdit*>(QStringLiteral("Value_") + QLatin1String(key));
    EXPECT_NE(field, nullptr) << key;
    return field;
  }
  void F9() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
    Settle();
  }
  // Types text into a field, replacing what it shows, and presses key.
  void Enter(const char* key, const char* text, Qt::Key press = Qt::Key_Return) {
    QLineEdit* field = Field(key);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, U(text));
    QTest::keyClick(field, press);
    Settle();
  }
  std::string Bytes(int32_t at, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += static_cast<char>(Editor().ReadByte(at + i));
    return out;
  }
};

TEST_F(InspectorTest, F9ShowsThePanelWhoseValuesFollowTheCursor) {
  Start({WriteFile("data.bin", std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A", 10))});
  ASSERT_TRUE(Panel().isHidden());
  const int width = form->width();
  F9();
  EXPECT_FALSE(Panel().isHidden());
  EXPECT_EQ(QApplication::focusWidget(), Field("u8"));
  EXPECT_GT(form->width(), width) << "the data keeps its room";
  LookAtMenu("View1");
  EXPECT_TRUE(Item("ValueInspector1")->isChecked());
  EXPECT_EQ(Field("u8")->text(), U("1"));
  EXPECT_EQ(Field("u32")->text(), U("67305985"));  // 04 03 02 01

  EditorWidgetOf()->setFocus();
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);  // the next byte
  EXPECT_EQ(Field("offset")->text(), U("0x00000001 (1)"));
  EXPECT_EQ(Field("u8")->text(), U("2"));
  Panel().SetOrder(inspect::ByteOrder::Big);
  EXPECT_EQ(Field("u16")->text(), U("515"));  // 02 03
  Panel().SetOrder(inspect::ByteOrder::Little);

  // The last bytes: rows that would run past the end show "—" and refuse.
  Editor().SetSelStart(8);
  Settle();
  EXPECT_EQ(Field("u16")->text(), U("2569"));
  EXPECT_EQ(Field("u32")->text(), U("—"));
  EXPECT_TRUE(Field("u32")->isReadOnly());
  EXPECT_FALSE(Field("u16")->isReadOnly());

  // Shown again at the next start; F9 hides it and gives the data the focus.
  EXPECT_TRUE(settings::Flag(settings::kInspectorVisible, false));
  F9();
  EXPECT_TRUE(Panel().isHidden());
  EXPECT_EQ(QApplication::focusWidget(), EditorWidgetOf());
  EXPECT_EQ(form->width(), width);
  EXPECT_FALSE(settings::Flag(settings::kInspectorVisible, true));
  // Its own close button counts as F9.
  F9();
  Panel().close();
  Settle();
  EXPECT_EQ(form->width(), width);
  EXPECT_FALSE(settings::Flag(settings::kInspectorVisible, true));
  LookAtMenu("View1");
  EXPECT_FALSE(Item("ValueInspector1")->isChecked());
}

TEST_F(InspectorTest, EnterWritesTheValueAsOneChangeAndEscLeavesIt) {
  Start({WriteFile("data.bin", std::string(16, '\0'))});
  Editor().SetSelStart(4);
  F9();
  Enter("u32", "305419896");
  EXPECT_EQ(Bytes(4, 4), std::string("\x78\x56\x34\x12"));
  EXPECT_EQ(Editor().DataSize(), 16);
  EXPECT_EQ(Editor().CursorPosition(), 4);
  EXPECT_EQ(Field("u8")->text(), U("120"));
  // The document's Undo keeps its key inside the panel.
  QTest::keyClick(Field("u32"), Qt::Key_Backspace, Qt::AltModifier);
  Settle();
  EXPECT_EQ(Bytes(4, 4), std::string(4, '\0'));
  EXPECT_FALSE(Editor().CanUndo());
  EXPECT_EQ(Field("u32")->text(), U("0"));

  Panel().findChild<QComboBox*>(QStringLiteral("ByteOrder"))->setCurrentIndex(1);
  Enter("u16", "0x1234");
  EXPECT_EQ(Bytes(4, 2), std::string("\x12\x34"));
  EXPECT_EQ(settings::Value(settings::kInspectorByteOrder).toString(), QStringLiteral("big"));

  // Refused: the reason beside the field, nothing written.
  Enter("i8", "200");
  EXPECT_EQ(Panel().Reason(Row::I8), U("Вне диапазона: от -128 до 127"));
  EXPECT_TRUE(Panel().findChild<QLabel*>(QStringLiteral("Reason_i8"))->isVisibleTo(&Panel()));
  EXPECT_EQ(Bytes(4, 1), std::string("\x12"));
  // Esc: the value again, the focus to the data, and the program still runs.
  QTest::keyClick(Field("i8"), Qt::Key_Escape);
  Settle();
  EXPECT_EQ(Field("i8")->text(), U("18"));
  EXPECT_EQ(QApplication::focusWidget(), EditorWidgetOf());
  EXPECT_TRUE(form->isVisible());
  // Typed and left with Esc: nothing written.
  Enter("u8", "7", Qt::Key_Escape);
  EXPECT_EQ(Bytes(4, 1), std::string("\x12"));
  // The offset row moves the cursor.
  Enter("offset", "$a");
  EXPECT_EQ(Editor().CursorPosition(), 10);
  Enter("offset", "16");
  EXPECT_EQ(Panel().Reason(Row::Offset), U("Вне данных: от 0 до 15"));

  // A move the panel has not heard of yet: nothing written at the old place.
  Editor().SetSelStart(2);
  Field("u8")->setText(U("9"));
  EXPECT_FALSE(Panel().Commit(Row::U8));
  EXPECT_EQ(Field("offset")->text(), U("0x00000002 (2)"));
  EXPECT_EQ(Bytes(2, 1) + Bytes(10, 1), std::string(2, '\0'));
  Editor().SetSelStart(10);
  Settle();

  // A document opened read-only shows its values and takes no edits.
  Editor().MarkReadOnly(true);
  Settle();
  EXPECT_TRUE(Field("u8")->isReadOnly());
  Field("u8")->setText(U("5"));
  EXPECT_FALSE(Panel().Commit(Row::U8));
  EXPECT_EQ(Panel().Reason(Row::U8), U("Документ открыт только для чтения"));
  EXPECT_EQ(Bytes(10, 1), std::string(1, '\0'));
}

TEST_F(InspectorTest, EmptyDocumentsAndCharacterSets) {
  Start();
  F9();
  for (int r = 0; r < inspect::kRowCount; ++r) {
    const auto key = inspect::RowKey(static_cast<Row>(r));
    EXPECT_EQ(Field(key)->text(), U("—")) << key;
    EXPECT_TRUE(Field(key)->isReadOnly()) << key;
  }
  // Typed into the new document: the panel follows, and edits are allowed.
  const std::string bytes = "\xC1";
  Editor().AppendBuffer(reinterpret_cast<const uint8_t*>(bytes.data()), 1);
  Settle();
  EXPECT_EQ(Field("char")->text(), U("Б"));
  EXPECT_FALSE(Field("char")->isReadOnly());
  Item("N11")->trigger();  // EBCDIC
  Settle();
  EXPECT_EQ(Field("char")->text(), U("A"));
  Enter("char", "B");
  EXPECT_EQ(Bytes(0, 1), std::string("\xC2"));
}

TEST_F(InspectorTest, TheRulerSitsAboveTheRowsAndIsRemembered) {
  Start({WriteCounting("data.bin", 4000)});
  auto* widget = static_cast<EditorWidget*>(EditorWidgetOf());
  const int rows = Editor().RowCount();
  const QRect before = widget->viewport()->geometry();
  Item("ColumnRuler1")->trigger();
  Settle();
  ColumnRulerWidget* ruler = widget->ColumnRuler();
  ASSERT_NE(ruler, nullptr);
  EXPECT_TRUE(ruler->isVisible());
  const QRect view = widget->viewport()->geometry();
  EXPECT_EQ(ruler->geometry().bottom() + 1, view.top()) << "never over a row";
  EXPECT_EQ(ruler->geometry().left(), view.left());
  EXPECT_EQ(view.top(), before.top() + ruler->height());
  EXPECT_EQ(Editor().RowCount(), rows);
  EXPECT_EQ(Editor().ClientHeight(), view.height());
  EXPECT_TRUE(settings::Flag(settings::kColumnRuler, false));

  // The next start has it again; turned off, the viewport has its room back.
  form->ByteEditor1().NewDocument("Untitled");
  form.reset();
  Start();
  LookAtMenu("View1");
  EXPECT_TRUE(Item("ColumnRuler1")->isChecked());
  widget = static_cast<EditorWidget*>(EditorWidgetOf());
  ASSERT_NE(widget->ColumnRuler(), nullptr);
  Item("ColumnRuler1")->trigger();
  Settle();
  EXPECT_EQ(widget->ColumnRuler(), nullptr);
  EXPECT_EQ(widget->viewport()->geometry().top(), before.top());
  EXPECT_EQ(widget->viewport()->geometry().height(), before.height());
}


TEST_F(InspectorTest, UndoAndRedoKeysInAFieldActOnTheDocumentInBothSchemes) {
  Start({WriteFile("data.bin", std::string("\x12\x34", 2))});
  F9();
  for (const bool standard : {false, true}) {
    SCOPED_TRACE(standard ? "standard keys" : "classic keys");
    form->ApplyKeyScheme(standard);
    Enter("u16", "0");
    ASSERT_EQ(Bytes(0, 2), std::string(2, '\0'));
    QTest::keyClick(Field("u16"), Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Bytes(0, 2), std::string("\x12\x34"));
    EXPECT_EQ(Field("u16")->text(), U("13330"));  // 34 12
    QTest::keyClick(Field("u16"), Qt::Key_Y, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Bytes(0, 2), std::string(2, '\0'));
    EXPECT_EQ(Field("u16")->text(), U("0"));

    // Text typed and not yet written goes as well: the field shows the
    // document's value again.
    Field("u8")->setFocus();
    QTest::keyClicks(Field("u8"), U("5"));
    QTest::keyClick(Field("u8"), Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Bytes(0, 2), std::string("\x12\x34"));
    EXPECT_EQ(Field("u8")->text(), U("18"));
  }
}

TEST_F(InspectorTest, TheInspectorNeverWidensTheWindowPastTheScreen) {
  Start({WriteCounting("data.bin", 64)});
  const QRect room = form->screen()->availableGeometry();
  const int frame = form->frameGeometry().width() - form->width();
  // As wide as the screen: the data gives the panel its room.
  form->move(room.topLeft());
  form->resize(room.width() - frame, form->height());
  Settle();
  const int dataWidth = EditorWidgetOf()->width();
  F9();
  ASSERT_FALSE(Panel().isHidden());
  EXPECT_LE(form->frameGeometry().width(), room.width());
  EXPECT_LE(form->frameGeometry().right(), room.right());
  EXPECT_LT(EditorWidgetOf()->width(), dataWidth);

  // Narrow, at the right edge: the window grows by the panel and moves left.
  F9();
  const int narrow = room.width() / 2;
  form->resize(narrow, form->height());
  form->move(room.right() - form->frameGeometry().width() + 1, room.top());
  Settle();
  F9();
  EXPECT_GT(form->width(), narrow);
  EXPECT_LE(form->frameGeometry().right(), room.right());
}

}  // namespace
}  // namespace bm::testing
