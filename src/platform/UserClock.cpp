#include "UserClock.h"

#include <QRegularExpression>

QString ShortDateText(const QDate& date, const QLocale& locale) {
  return locale.toString(date, QLocale::ShortFormat);
}

QString LongTimeText(const QTime& time, const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::LongFormat);
  format.remove(QRegularExpression("\\s*\\bt+\\b"));
  return locale.toString(time, format.trimmed());
}
