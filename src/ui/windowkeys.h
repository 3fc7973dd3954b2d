#pragma once
// The keyboard of a desktop program's windows: Enter presses the window's
// default button and Esc closes a tool window, as in any dialog box.
//
// The windows are plain widgets (not dialog boxes), where Qt gives Enter no
// meaning; the keys are caught as they bubble up to the window, so a list that
// is open, a tree being edited or a calendar popup keeps its own use of them.
//
//   installWindowKeys(window, WindowKeys::ToolWindow);   // after building it

#include <QStringList>

class QPushButton;
class QWidget;

namespace quillon {

enum class WindowKeys {
    MainWindow,  // Enter presses the default button; Esc does nothing
    ToolWindow,  // Enter presses the default button; Esc closes the window
};

// The buttons that run a window, in order of preference: the first of these
// names the window holds (the first element of a control array) is its
// default button.
const QStringList& defaultButtonNames();
// The window's default button, or null when it has none of those names.
QPushButton* findDefaultButton(QWidget* window);

// Marks the default button and installs the keys on the window.
void installWindowKeys(QWidget* window, WindowKeys kind);

}  // namespace quillon
