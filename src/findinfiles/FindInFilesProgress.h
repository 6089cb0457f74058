// How a Find in Files run shows how far it got, and how the user stops it: a window that appears
// once the run has taken longer than a moment, with a "Stop" button (Escape works too).
#pragma once

#include "TimeSlice.h"

#include <QElapsedTimer>

#include <cstddef>
#include <memory>

class QProgressDialog;
class QWidget;

class FindInFilesProgress {
public:
  virtual ~FindInFilesProgress() = default;
  // After each file; false when the user stopped the run.
  [[nodiscard]] virtual bool Continue(int filesDone, int filesTotal, std::size_t linesFound) = 0;
};

class QtFindInFilesProgress : public FindInFilesProgress {
public:
  explicit QtFindInFilesProgress(QWidget* parent);
  ~QtFindInFilesProgress() override;

  [[nodiscard]] bool Continue(int filesDone, int filesTotal, std::size_t linesFound) override;

private:
  void Show(int filesDone, int filesTotal, std::size_t linesFound);

  QWidget* parent_;
  QElapsedTimer running_;
  QElapsedTimer sinceShown_;
  TimeSlice slice_;
  std::unique_ptr<QProgressDialog> window_; // none until the run has taken a moment
};
