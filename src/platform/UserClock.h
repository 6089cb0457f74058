// Dates and times as the user's locale writes them: the short date and the long time format,
// the latter without the time zone that Qt's long format adds.
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

[[nodiscard]] QString ShortDateText(const QDate& date, const QLocale& locale);
[[nodiscard]] QString LongTimeText(const QTime& time, const QLocale& locale);
