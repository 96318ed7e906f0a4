#include "search/match_count.h"

namespace lambreya {

QString matchCountMessage(std::uint64_t count) {
    const std::uint64_t lastDigit = count % 10;
    const bool tensDigitIsOne = count % 100 / 10 == 1;

    // The stem "Найден" and the ending around the number.
    QString message = QStringLiteral("Найден");
    if (!tensDigitIsOne && lastDigit == 1)
        message += QStringLiteral("а %1 запись");
    else if (!tensDigitIsOne && lastDigit >= 2 && lastDigit <= 4)
        message += QStringLiteral("о %1 записи");
    else
        message += QStringLiteral("о %1 записей");
    return message.arg(count);
}

} // namespace lambreya
