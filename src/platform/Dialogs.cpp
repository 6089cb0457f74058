// Centring a dialog on its screen, and running one modally.
#include "Dialogs.h"

#include <QDialog>
#include <QScreen>

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

int ExecModally(QDialog& dialog) { return dialog.exec(); }
