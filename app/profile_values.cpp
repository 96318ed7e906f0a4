#include "app/profile_values.h"

#include <cstdint>

namespace lambreya::profile {
namespace {

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isDecimalDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

std::optional<qint32> parseDecimal(QStringView text) {
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    // One past the largest magnitude: stop as soon as the value leaves the range, however
    // many digits follow.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (QChar c : text) {
        if (!isDecimalDigit(c))
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > kLimit)
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        return std::nullopt;
    return static_cast<qint32>(value);
}

std::optional<qint32> parseHexDigits(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t pattern = 0;
    for (QChar c : digits) {
        const int d = hexDigitValue(c);
        if (d < 0)
            return std::nullopt;
        pattern = (pattern << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<qint32>(pattern);
}

} // namespace

std::optional<qint32> parseInteger(QStringView text) {
    // "0x1F" and "$1F" are one form; a bare "0x" is not shortened and reads as nothing.
    QString shortened;
    if (text.size() > 2 && (text.startsWith(u"0x") || text.startsWith(u"0X"))) {
        shortened = u'$' + text.mid(2).toString();
        text = shortened;
    }
    qsizetype start = 0;
    while (start < text.size() && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    text = text.mid(start);
    if (text.isEmpty())
        return std::nullopt;

    if (text.startsWith(u"0x") || text.startsWith(u"0X"))
        return parseHexDigits(text.mid(2));
    if (text.front() == u'$' || text.front() == u'x' || text.front() == u'X')
        return parseHexDigits(text.mid(1));
    return parseDecimal(text);
}

qint32 readInteger(QStringView text, qint32 defaultValue) {
    return parseInteger(text).value_or(defaultValue);
}

bool readBool(QStringView text, bool defaultValue) {
    return readInteger(text, defaultValue ? 1 : 0) != 0;
}

QString formatInteger(qint32 value) {
    return QString::number(value);
}

QString formatBool(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace lambreya::profile
