// The build progress window: always on top, no close button, a bar, a label and one button,
// "Cancel" while the build runs and "&OK" at its end. It draws a TCompilingProgress.
#pragma once

#include "ProgressState.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class TCompilingProgressForm : public QDialog {
  Q_OBJECT
public:
  TCompilingProgressForm(TCompilingProgress& progress, QWidget* parent = nullptr);
  ~TCompilingProgressForm() override;

  // The frame offers no way out, and neither does Escape: only "&OK" closes the window.
  void reject() override {}

private:
  void Refresh();

  TCompilingProgress& progress_;
  QProgressBar* ProgressBar;
  QLabel* ProgressLabel;
  QPushButton* cancelButton;
  QPushButton* okButton;
};
