// Window widths that leave room for the whole title in a window manager's
// title bar, beside its icon and buttons.
#pragma once
#include <QString>

class QWidget;

namespace bm {

// The width a window needs for its title: the text in a bold title-bar font
// and room for the window manager's icon and buttons.
int TitleBarWidth(const QString& title);

// Widens window (a fixed-size one keeps its height) to at least
// TitleBarWidth of its title and its own minimum size hint, never past
// the screen's available width.
void FitTitle(QWidget* window);

}  // namespace bm
