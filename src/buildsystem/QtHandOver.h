// The runner's hand-over to the user-interface thread in the program: a blocking queued call
// into the Qt event loop of the thread that owns the context object.
#pragma once

#include "ProcessRunner.h"

#include <QObject>
#include <QPointer>

class QtHandOver : public HandOver {
public:
  // `context` lives on the user-interface thread (the application object when none is given).
  explicit QtHandOver(QObject* context = nullptr);
  void Run(const std::function<void()>& step) override;

private:
  QPointer<QObject> context_;
};
