// The build progress window: always on top, no close button, a bar, a label and one button,
// "Cancel" while the build runs and "&OK" at its end. It draws a ProgressState.
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

private:
  void Refresh();

  ProgressState& progress_;
  QProgressBar* ProgressBar;
  QLabel* ProgressLabel;
  QPushButton* cancelButton;
  QPushButton* okButton;
};
