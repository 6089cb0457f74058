// Centring a dialog on its screen.
#include "dialogPlacement.h"

#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}
