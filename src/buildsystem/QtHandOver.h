// The runner's hand-over to the user-interface thread in the program: a queued call into the Qt
// event loop of the thread that owns the context object.
#pragma once

#include "ProcessRunner.h"

#include <QObject>
#include <QPointer>

class QtHandOver : public HandOver {
public:
  // `context` lives on the user-interface thread (the application object when none is given).
  explicit QtHandOver(QObject* context = nullptr);
  // A step posted after the context is gone is dropped.
  void Post(std::function<void()> step) override;

private:
  QPointer<QObject> context_;
};
