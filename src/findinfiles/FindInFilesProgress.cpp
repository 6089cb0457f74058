#include "FindInFilesProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {

constexpr qint64 kMomentMs = 400;    // shorter runs show nothing
constexpr qint64 kShowEveryMs = 100; // how often the counts shown change

} // namespace

QtFindInFilesProgress::QtFindInFilesProgress(QWidget* parent) : parent_(parent) {
  running_.start();
  sinceShown_.start();
}

QtFindInFilesProgress::~QtFindInFilesProgress() = default;

bool QtFindInFilesProgress::Continue(int filesDone, int filesTotal, std::size_t linesFound) {
  // The search runs in slices between events, so the window paints and takes input, the Stop
  // button included, within a frame.
  if (!slice_.Over()) return true;
  if (sinceShown_.elapsed() >= kShowEveryMs) {
    sinceShown_.restart();
    Show(filesDone, filesTotal, linesFound);
  }
  QCoreApplication::processEvents();
  slice_ = TimeSlice();
  return window_ == nullptr || !window_->wasCanceled();
}

void QtFindInFilesProgress::Show(int filesDone, int filesTotal, std::size_t linesFound) {
  if (window_ == nullptr && running_.elapsed() >= kMomentMs) {
    window_ = std::make_unique<QProgressDialog>(parent_);
    window_->setWindowTitle("Find in Files");
    window_->setCancelButtonText("&Stop");
    window_->setWindowModality(Qt::WindowModal);
    window_->setMinimumDuration(0);
  }
  if (window_ != nullptr) {
    window_->setMaximum(filesTotal);
    window_->setValue(filesDone);
    window_->setLabelText(QString("Searching file %1 of %2: %3 lines found so far")
                              .arg(filesDone)
                              .arg(filesTotal)
                              .arg(static_cast<qulonglong>(linesFound)));
  }
}
