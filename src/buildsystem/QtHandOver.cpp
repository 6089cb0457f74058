// Queued calls keep their order: Qt delivers the events posted to one receiver first in, first out.
#include "QtHandOver.h"

#include <QCoreApplication>

QtHandOver::QtHandOver(QObject* context) : context_(context ? context : QCoreApplication::instance()) {}

void QtHandOver::Post(std::function<void()> step) {
  if (QObject* context = context_.data())
    QMetaObject::invokeMethod(context, std::move(step), Qt::QueuedConnection);
}
