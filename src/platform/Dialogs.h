// Showing dialogs: where they appear, and the seam through which they are run, so that tests
// fill in a dialog's fields and press its buttons instead of waiting on it.
#pragma once

#include <functional>

class QDialog;
class QWidget;

// Moves a window to the middle of the screen it is on.
void CentreOnScreen(QWidget& window);

// Shows a dialog and returns its result. The program shows it modally; tests fill in the
// fields and press the buttons instead, so no test waits on a modal dialog.
using DialogRunner = std::function<int(QDialog&)>;
int ExecModally(QDialog& dialog);
