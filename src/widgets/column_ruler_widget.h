// The column ruler's window: a strip over the editor's viewport, in the
// scroll area's top margin, that draws the ruler cells in the editor's font
// and colours.
#pragma once
#include <QWidget>

namespace bm {

class TByteEditor;

class ColumnRulerWidget : public QWidget {
  Q_OBJECT
 public:
  ColumnRulerWidget(TByteEditor& editor, QWidget* parent);

  // The strip's height for the editor's font: one row and a rule under it.
  int RulerHeight() const;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  TByteEditor& editor_;
};

}  // namespace bm
