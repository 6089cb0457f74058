// Blocking queued calls carry the step to the user-interface thread and its error back.
#include "QtHandOver.h"

#include "UserQuestions.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>

QtHandOver::QtHandOver(QObject* context) : context_(context ? context : QCoreApplication::instance()) {}

void QtHandOver::Run(const std::function<void()>& step) {
  QObject* context = context_.data();
  if (context == nullptr) throw TessarinError("The user interface is gone");
  std::exception_ptr error;
  // Qt's blocking call already orders the two threads; these flags state that order in the
  // language's own terms, so thread checkers that cannot see inside Qt see it too.
  std::atomic<bool> handed{true}, finished{false};
  auto guarded = [&step, &error, &handed, &finished] {
    (void)handed.load(std::memory_order_acquire);
    try {
      step();
    } catch (...) {
      error = std::current_exception();
    }
    finished.store(true, std::memory_order_release);
  };
  handed.store(true, std::memory_order_release);
  if (QThread::currentThread() == context->thread())
    guarded(); // already on the user-interface thread: a queued call would wait for itself
  else if (!QMetaObject::invokeMethod(context, guarded, Qt::BlockingQueuedConnection))
    throw TessarinError("The user interface is gone");
  (void)finished.load(std::memory_order_acquire);
  if (error) std::rethrow_exception(error);
}
