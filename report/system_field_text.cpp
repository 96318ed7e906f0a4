#include "report/system_field_text.h"

#include "data/cp1251.h"

#include <QLocale>

namespace lambreya {

std::string dateTimeText(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    QString text = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(when.time(), QLocale::LongFormat);
    return cp1251::fromUnicodeReplacing(text, '?');
}

} // namespace lambreya
