// Blocking queued calls carry the step to the user-interface thread and its error back.
#include "QtHandOver.h"

#include "UserQuestions.h"

#include <QCoreApplication>
#include <QThread>

QtHandOver::QtHandOver(QObject* context) : context_(context ? context : QCoreApplication::instance()) {}

void QtHandOver::Run(const std::function<void()>& step) {
  QObject* context = context_.data();
  if (context == nullptr) throw TessarinError("The user interface is gone");
  std::exception_ptr error;
  auto guarded = [&step, &error] {
    try {
      step();
    } catch (...) {
      error = std::current_exception();
    }
  };
  if (QThread::currentThread() == context->thread())
    guarded(); // already on the user-interface thread: a queued call would wait for itself
  else if (!QMetaObject::invokeMethod(context, guarded, Qt::BlockingQueuedConnection))
    throw TessarinError("The user interface is gone");
  if (error) std::rethrow_exception(error);
}
