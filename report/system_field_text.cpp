#include "report/system_field_text.h"

#include "data/cp1251.h"

#include <QLocale>

namespace lambreya {

QString clockTimeFormat(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString clock;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        clock += c;
    }
    return clock.trimmed();
}

std::string dateTimeText(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    QString text = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(when.time(), clockTimeFormat(locale));
    return cp1251::fromUnicodeReplacing(text, '?');
}

} // namespace lambreya
