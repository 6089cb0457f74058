// Ctrl+C, SIGTERM and SIGHUP reach the event loop through a pipe (the handler only writes the
// signal's number into it), so the program can end its tools' process groups and then end in
// order instead of dying with its tools left running. One instance at a time.
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

class StopSignals {
public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The signal that asked the program to stop; 0 while none has.
  [[nodiscard]] int Received() const { return received_; }
  // Called on the event loop for the first of the signals.
  std::function<void()> OnStop;

private:
  int pipe_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  int received_ = 0;
};
