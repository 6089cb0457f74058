// Showing dialogs: where they appear, and the seam through which they are run, so that tests
// fill in a dialog's fields and press its buttons instead of waiting on it.
#pragma once

#include <functional>

class QDialog;
class QWidget;

// Moves a window to the middle of the screen it is on.
void CentreOnScreen(QWidget& window);

// The desktop's frame for a dialog: a title and a close button, never minimise or maximise (a
// minimised modal dialog would take the program out of sight with it; where the window manager
// minimises it all the same, it comes back at once). Keeps the window's kind and its staying on
// top.
void UseDialogFrame(QWidget& dialog);

// Shows a dialog and returns its result. The program shows it modally; tests fill in the
// fields and press the buttons instead, so no test waits on a modal dialog.
using DialogRunner = std::function<int(QDialog&)>;
int ExecModally(QDialog& dialog);
