// Centring a dialog on its screen, its frame, and running one modally.
#include "Dialogs.h"

#include <QDialog>
#include <QEvent>
#include <QScreen>
#include <QTimer>

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

namespace {

// Some window managers offer minimising whatever the window asks, and take the dialog's owner
// out of sight with it; the dialog then comes straight back, with its owner.
class RefuseMinimising : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::WindowStateChange && window != nullptr && window->isMinimized())
      QTimer::singleShot(0, window, [window] { restore(*window); });
    return false;
  }

private:
  static void restore(QWidget& window) {
    if (QWidget* owner = window.parentWidget(); owner != nullptr && owner->window()->isMinimized())
      owner->window()->showNormal();
    window.showNormal();
    window.activateWindow();
  }
};

} // namespace

void UseDialogFrame(QWidget& dialog) {
  const Qt::WindowFlags kept = dialog.windowFlags() & (Qt::WindowType_Mask | Qt::WindowStaysOnTopHint);
  dialog.setWindowFlags(kept | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint);
  dialog.installEventFilter(new RefuseMinimising(&dialog));
}

int ExecModally(QDialog& dialog) { return dialog.exec(); }
