// The build's progress inside the main window's status bar: what the build does, a bar and a
// Cancel button while it runs (Escape cancels too), and its result once it has ended, until the
// next build. Nothing to dismiss: editing goes on while it shows. It draws a ProgressState, as
// the progress window does under the classic conventions.
#pragma once

#include "ProgressState.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QShortcut;
class QToolButton;

class ProgressStrip : public QWidget {
  Q_OBJECT
public:
  // `window` is where Escape cancels a running build.
  ProgressStrip(ProgressState& progress, QWidget& window);
  ~ProgressStrip() override;

  [[nodiscard]] QString Text() const;
  [[nodiscard]] bool CancelOffered() const;

private:
  void Refresh();

  ProgressState& progress_;
  QLabel* label_;
  QProgressBar* bar_;
  QToolButton* cancel_;
  QShortcut* escape_;
};
