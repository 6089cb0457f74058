#include "FindInFilesProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {

constexpr qint64 kMomentMs = 400;     // shorter runs show nothing
constexpr qint64 kEventsEveryMs = 50; // the window repaints and takes the Stop this often

} // namespace

QtFindInFilesProgress::QtFindInFilesProgress(QWidget* parent) : parent_(parent) {
  running_.start();
  sinceEvents_.start();
}

QtFindInFilesProgress::~QtFindInFilesProgress() = default;

bool QtFindInFilesProgress::Continue(int filesDone, int filesTotal, std::size_t linesFound) {
  if (sinceEvents_.elapsed() < kEventsEveryMs) return true;
  sinceEvents_.restart();
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
  QCoreApplication::processEvents();
  return window_ == nullptr || !window_->wasCanceled();
}
