#include "StopSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
int writeEnd = -1; // the handler's end of the pipe

void WriteSignal(int number) {
  const auto byte = static_cast<unsigned char>(number);
  (void)!::write(writeEnd, &byte, 1);
}

} // namespace

StopSignals::StopSignals() {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  writeEnd = pipe_[1];
  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    unsigned char number = 0;
    if (::read(pipe_[0], &number, 1) == 1 && received_ == 0) {
      received_ = number;
      if (OnStop) OnStop();
    }
  });
  struct sigaction action {};
  action.sa_handler = WriteSignal;
  sigemptyset(&action.sa_mask);
  for (int number : kStopSignals)
    ::sigaction(number, &action, nullptr);
}

// The default actions come back before the pipe goes, so a late signal still ends the program.
StopSignals::~StopSignals() {
  for (int number : kStopSignals)
    ::signal(number, SIG_DFL);
  notifier_.reset();
  writeEnd = -1;
  for (int fd : pipe_)
    if (fd >= 0) ::close(fd);
}
