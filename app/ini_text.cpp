#include "app/ini_text.h"

#include "data/cp1251.h"
#include "data/error.h"

#include <string>
#include <string_view>

namespace lambreya {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool isBlankChar(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r';
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

bool isQuoted(QStringView value) {
    return value.size() >= 2 && isQuote(value.front()) && value.back() == value.front();
}

QString cut(QString value) {
    if (value.size() <= IniText::kMaxValueLength)
        return value;
    qsizetype length = IniText::kMaxValueLength;
    if (value.at(length - 1).isHighSurrogate())
        --length; // never split a character in two
    value.truncate(length);
    return value;
}

bool hasLineBreak(QStringView text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

[[noreturn]] void refuse(const QString& reason) {
    throw Error(reason.toStdString());
}

void checkNames(QStringView section, QStringView key, QStringView value) {
    auto blankAtEnds = [](QStringView s) {
        return !s.isEmpty() && (isBlankChar(s.front()) || isBlankChar(s.back()));
    };
    if (section.isEmpty() || hasLineBreak(section) || section.contains(u']') ||
        blankAtEnds(section))
        refuse(QStringLiteral("недопустимое имя раздела «%1»").arg(section));
    if (key.isEmpty() || hasLineBreak(key) || key.contains(u'=') || key.front() == u';' ||
        key.front() == u'[' || blankAtEnds(key))
        refuse(QStringLiteral("недопустимое имя ключа «%1»").arg(key));
    if (hasLineBreak(value))
        refuse(QStringLiteral("значение ключа %1 содержит перевод строки").arg(key));
}

// The bytes of the value as they go into the file: inside double quotes when blanks at its
// ends or quotes around it would otherwise be lost on reading.
QString storedValue(QStringView value) {
    const bool needsQuotes = !value.isEmpty() && (isBlankChar(value.front()) ||
                                                  isBlankChar(value.back()) || isQuoted(value));
    if (!needsQuotes)
        return value.toString();
    return u'"' + value.toString() + u'"';
}

} // namespace

IniText::IniText(QByteArray bytes)
    : m_bytes(std::move(bytes)) {
    // One rule, whatever the bytes happen to look like: content is UTF-8 only when it says
    // so with a byte order mark.
    if (m_bytes.startsWith(QByteArrayView(kUtf8Bom.data(), qsizetype(kUtf8Bom.size())))) {
        m_bodyStart = qsizetype(kUtf8Bom.size());
        m_utf8 = true;
    }
    parse();
}

void IniText::parse() {
    const QByteArray& b = m_bytes;
    qsizetype pos = m_bodyStart;
    while (pos < b.size()) {
        Line line;
        line.begin = pos;
        const qsizetype newline = b.indexOf('\n', pos);
        if (newline < 0) {
            line.contentEnd = line.end = b.size();
        } else {
            line.end = newline + 1;
            line.contentEnd = newline > pos && b[newline - 1] == '\r' ? newline - 1 : newline;
        }
        pos = line.end;

        qsizetype first = line.begin;
        while (first < line.contentEnd && isBlank(b[first]))
            ++first;
        qsizetype last = line.contentEnd; // after the last non-blank byte
        while (last > first && isBlank(b[last - 1]))
            --last;
        if (first == last || b[first] == ';')
            continue; // blank or a comment
        auto setName = [&](qsizetype from, qsizetype to) {
            while (from < to && isBlank(b[from]))
                ++from;
            while (to > from && isBlank(b[to - 1]))
                --to;
            line.nameBegin = from;
            line.nameEnd = to;
        };
        if (b[first] == '[') {
            const qsizetype close = b.indexOf(']', first + 1);
            if (close >= 0 && close < line.contentEnd) {
                line.kind = Kind::Section;
                setName(first + 1, close);
            }
        } else {
            const qsizetype equals = b.indexOf('=', first);
            if (equals >= 0 && equals < line.contentEnd) {
                setName(first, equals);
                if (line.nameEnd > line.nameBegin) {
                    line.kind = Kind::Key;
                    line.valueBegin = equals + 1;
                    while (line.valueBegin < line.contentEnd && isBlank(b[line.valueBegin]))
                        ++line.valueBegin;
                    line.valueEnd = std::max(line.valueBegin, last);
                }
            }
        }
        m_lines.push_back(line);
    }
}

QString IniText::decode(qsizetype begin, qsizetype end) const {
    const QByteArrayView part = QByteArrayView(m_bytes).sliced(begin, end - begin);
    if (m_utf8)
        return QString::fromUtf8(part);
    return cp1251::toUnicode(std::string_view(part.data(), std::size_t(part.size())));
}

bool IniText::named(const Line& line, QStringView name) const {
    return QStringView(decode(line.nameBegin, line.nameEnd)).compare(name, Qt::CaseInsensitive) ==
           0;
}

std::optional<std::size_t> IniText::findSection(QStringView section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && named(m_lines[i], section))
            return i;
    }
    return std::nullopt;
}

std::size_t IniText::sectionEnd(std::size_t sectionLine) const {
    std::size_t i = sectionLine + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section)
        ++i;
    return i;
}

std::optional<std::size_t> IniText::findKey(std::size_t sectionLine, QStringView key) const {
    const std::size_t end = sectionEnd(sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        if (m_lines[i].kind == Kind::Key && named(m_lines[i], key))
            return i;
    }
    return std::nullopt;
}

std::optional<QString> IniText::value(QStringView section, QStringView key) const {
    const std::optional<std::size_t> sectionLine = findSection(section);
    if (!sectionLine)
        return std::nullopt;
    const std::optional<std::size_t> keyLine = findKey(*sectionLine, key);
    if (!keyLine)
        return std::nullopt;
    const Line& line = m_lines[*keyLine];
    QString value = decode(line.valueBegin, line.valueEnd);
    if (isQuoted(value))
        value = value.mid(1, value.size() - 2);
    return cut(std::move(value));
}

// New text goes in the content's own code page: UTF-8 after a byte order mark, code page
// 1251 otherwise.
QByteArray IniText::encoded(QStringView text) const {
    if (m_utf8)
        return text.toUtf8();
    const std::optional<std::string> bytes = cp1251::fromUnicode(text);
    if (!bytes)
        refuse(QStringLiteral("«%1» не записать в кодировке 1251").arg(text));
    return QByteArray(bytes->data(), qsizetype(bytes->size()));
}

QByteArray IniText::withValue(QStringView section, QStringView key, QStringView value) const {
    checkNames(section, key, value);
    // The line ending of the first line; "\n" when there is none.
    const qsizetype newline = m_bytes.indexOf('\n', m_bodyStart);
    const QByteArray eol = newline > m_bodyStart && m_bytes[newline - 1] == '\r'
                               ? QByteArrayLiteral("\r\n")
                               : QByteArrayLiteral("\n");
    const QByteArray valueBytes = encoded(storedValue(value));

    QByteArray out = m_bytes;
    const std::optional<std::size_t> sectionLine = findSection(section);
    if (sectionLine) {
        if (const std::optional<std::size_t> keyLine = findKey(*sectionLine, key)) {
            const Line& line = m_lines[*keyLine];
            out.replace(line.valueBegin, line.contentEnd - line.valueBegin, valueBytes);
        } else {
            // After the last line of the section that holds something, so that blank lines
            // and comments before the next section stay with that section.
            const Line& after = m_lines[sectionEnd(*sectionLine) - 1];
            QByteArray added;
            if (after.end == after.contentEnd)
                added += eol; // the last line had no line ending
            added += encoded(key) + '=' + valueBytes + eol;
            out.insert(after.end, added);
        }
    } else {
        QByteArray added;
        if (out.size() > m_bodyStart && !out.endsWith('\n'))
            added += eol;
        added += '[' + encoded(section) + ']' + eol;
        added += encoded(key) + '=' + valueBytes + eol;
        out += added;
    }
    return out;
}

} // namespace lambreya
