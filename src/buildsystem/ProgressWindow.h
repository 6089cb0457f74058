// The build progress window: above the main window while a build runs, no close button, a bar,
// a label and one button, "Cancel" while the build runs and "&OK" at its end. It draws a
// ProgressState.
#pragma once

#include "ProgressState.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class ProgressWindow : public QDialog {
  Q_OBJECT
public:
  ProgressWindow(ProgressState& progress, QWidget* parent = nullptr);
  ~ProgressWindow() override;

  // The frame offers no way out, and neither does Escape: only "&OK" closes the window.
  void reject() override {}

  // The window manager keeps the window above its owner, the main window.
  [[nodiscard]] bool KeptAboveOwner() const;

private:
  void Refresh();
  void KeepAboveOwnerWhileRunning();

  ProgressState& progress_;
  QProgressBar* ProgressBar;
  QLabel* ProgressLabel;
  QPushButton* CancelButton;
  QPushButton* OkButton;
};
