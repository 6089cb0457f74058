// Waiting on the event loop for something a child process or a timer brings about.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <functional>

// Runs the event loop until `done` holds; false after `timeoutMs`. Between checks the thread sleeps
// in the event loop: any event wakes it, and a short timer does for what no event announces (a
// process gone, a file written).
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
  const QDeadlineTimer deadline(timeoutMs);
  QTimer tick;
  tick.start(5);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}
