#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <string>

namespace lambreya {

// The locale's long time format as a clock shows the time: hours, minutes and seconds,
// without the time zone that Qt's long format adds.
QString clockTimeFormat(const QLocale& locale);

// The date and time as a page shows them, in code page 1251: the date in the system's
// short date format and, unless the time is exactly 0:00:00, a blank and the time in its
// long time format. A character the code page lacks prints as "?".
std::string dateTimeText(const QDateTime& when);

} // namespace lambreya
