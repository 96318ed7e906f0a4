#include "app/ini_file.h"

#include "app/file_permissions.h"
#include "app/profile_values.h"
#include "data/cp1251.h"
#include "data/error.h"
#include "data/file_writing.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace lambreya {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

enum class Encoding { Utf8, Cp1251 };

// The file as it stands on disk, with what the reader needs to know about its text.
struct Content {
    bool exists = false;
    QByteArray bytes;
    qsizetype bodyStart = 0; // after a byte order mark
    Encoding encoding = Encoding::Cp1251;
};

enum class LineKind { Blank, Comment, Section, Key, Other };

// One line of the file as byte positions into Content::bytes.
struct Line {
    LineKind kind = LineKind::Other;
    qsizetype begin = 0;
    qsizetype contentEnd = 0; // before the line ending
    qsizetype end = 0;        // after the line ending
    QString name;             // of a section or a key
    qsizetype valueBegin = 0; // of a key: the value without blanks at its ends
    qsizetype valueEnd = 0;
};

QString quoted(const QString& path) {
    return QStringLiteral("«%1»").arg(path);
}

[[noreturn]] void failRead(const QString& path, const QString& reason) {
    throw Error(QStringLiteral("Не могу прочитать файл настроек %1: %2")
                    .arg(quoted(path), reason)
                    .toStdString());
}

[[noreturn]] void failWrite(const QString& path, const QString& reason) {
    throw Error(QStringLiteral("Не могу записать файл настроек %1: %2")
                    .arg(quoted(path), reason)
                    .toStdString());
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

Content load(const QString& path) {
    Content content;
    QFile file(path);
    if (!file.exists())
        return content;
    if (!file.open(QIODevice::ReadOnly))
        failRead(path, file.errorString());
    content.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        failRead(path, file.errorString());
    content.exists = true;
    // One rule, whatever the bytes happen to look like: a file is UTF-8 only when it says
    // so with a byte order mark.
    if (content.bytes.startsWith(QByteArrayView(kUtf8Bom.data(), qsizetype(kUtf8Bom.size())))) {
        content.bodyStart = qsizetype(kUtf8Bom.size());
        content.encoding = Encoding::Utf8;
    }
    return content;
}

QString decode(const Content& content, qsizetype begin, qsizetype end) {
    const QByteArrayView part = QByteArrayView(content.bytes).sliced(begin, end - begin);
    if (content.encoding == Encoding::Utf8)
        return QString::fromUtf8(part);
    return cp1251::toUnicode(std::string_view(part.data(), std::size_t(part.size())));
}

void classify(const Content& content, Line& line) {
    const QByteArray& b = content.bytes;
    qsizetype first = line.begin;
    while (first < line.contentEnd && isBlank(b[first]))
        ++first;
    qsizetype last = line.contentEnd; // after the last non-blank byte
    while (last > first && isBlank(b[last - 1]))
        --last;
    auto trimmedName = [&](qsizetype from, qsizetype to) {
        while (from < to && isBlank(b[from]))
            ++from;
        while (to > from && isBlank(b[to - 1]))
            --to;
        return decode(content, from, to);
    };

    if (first == last) {
        line.kind = LineKind::Blank;
    } else if (b[first] == ';') {
        line.kind = LineKind::Comment;
    } else if (b[first] == '[') {
        const qsizetype close = b.indexOf(']', first + 1);
        if (close >= 0 && close < line.contentEnd) {
            line.kind = LineKind::Section;
            line.name = trimmedName(first + 1, close);
        }
    } else {
        const qsizetype equals = b.indexOf('=', first);
        if (equals >= 0 && equals < line.contentEnd) {
            line.name = trimmedName(first, equals);
            if (!line.name.isEmpty()) {
                line.kind = LineKind::Key;
                line.valueBegin = equals + 1;
                while (line.valueBegin < line.contentEnd && isBlank(b[line.valueBegin]))
                    ++line.valueBegin;
                line.valueEnd = std::max(line.valueBegin, last);
            }
        }
    }
}

std::vector<Line> parse(const Content& content) {
    std::vector<Line> lines;
    const QByteArray& b = content.bytes;
    qsizetype pos = content.bodyStart;
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
        classify(content, line);
        pos = line.end;
        lines.push_back(std::move(line));
    }
    return lines;
}

bool sameName(const QString& a, QStringView b) {
    return QStringView(a).compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first section of that name, or of the first key of that name in the
// section that starts at sectionLine.
std::optional<std::size_t> findSection(const std::vector<Line>& lines, QStringView section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Section && sameName(lines[i].name, section))
            return i;
    }
    return std::nullopt;
}

std::size_t sectionEnd(const std::vector<Line>& lines, std::size_t sectionLine) {
    std::size_t i = sectionLine + 1;
    while (i < lines.size() && lines[i].kind != LineKind::Section)
        ++i;
    return i;
}

std::optional<std::size_t> findKey(const std::vector<Line>& lines, std::size_t sectionLine,
                                   QStringView key) {
    const std::size_t end = sectionEnd(lines, sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        if (lines[i].kind == LineKind::Key && sameName(lines[i].name, key))
            return i;
    }
    return std::nullopt;
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

bool isQuoted(QStringView value) {
    return value.size() >= 2 && isQuote(value.front()) && value.back() == value.front();
}

bool isBlankChar(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r';
}

QString cut(QString value) {
    if (value.size() <= IniFile::kMaxValueLength)
        return value;
    qsizetype length = IniFile::kMaxValueLength;
    if (value.at(length - 1).isHighSurrogate())
        --length; // never split a character in two
    value.truncate(length);
    return value;
}

bool hasLineBreak(QStringView text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

// The line ending of the file's first line; "\n" for a file without any.
QByteArray lineEnding(const Content& content) {
    const qsizetype newline = content.bytes.indexOf('\n', content.bodyStart);
    if (newline > content.bodyStart && content.bytes[newline - 1] == '\r')
        return QByteArrayLiteral("\r\n");
    return QByteArrayLiteral("\n");
}

// New text goes into the file in the file's own code page: UTF-8 into a file that starts
// with a byte order mark, code page 1251 into any other (a new file among them). Empty when
// the text has a character the code page lacks.
std::optional<QByteArray> encode(const Content& content, QStringView text) {
    if (content.encoding == Encoding::Utf8)
        return text.toUtf8();
    const std::optional<std::string> bytes = cp1251::fromUnicode(text);
    if (!bytes)
        return std::nullopt;
    return QByteArray(bytes->data(), qsizetype(bytes->size()));
}

void checkNames(const QString& path, QStringView section, QStringView key, QStringView value) {
    auto blankAtEnds = [](QStringView s) {
        return !s.isEmpty() && (isBlankChar(s.front()) || isBlankChar(s.back()));
    };
    if (section.isEmpty() || hasLineBreak(section) || section.contains(u']') ||
        blankAtEnds(section))
        failWrite(path, QStringLiteral("недопустимое имя раздела «%1»").arg(section));
    if (key.isEmpty() || hasLineBreak(key) || key.contains(u'=') || key.front() == u';' ||
        key.front() == u'[' || blankAtEnds(key))
        failWrite(path, QStringLiteral("недопустимое имя ключа «%1»").arg(key));
    if (hasLineBreak(value))
        failWrite(path, QStringLiteral("значение ключа %1 содержит перевод строки").arg(key));
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

// A file the user marked read-only stays unwritten, even for a user whom the system would
// let write it anyway.
void checkWritable(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return;
    if (info.isDir())
        failWrite(path, QStringLiteral("это папка"));
    if (!isMarkedWritable(info))
        failWrite(path, QStringLiteral("файл только для чтения"));
}

// Rewritten so that the file stays the same file: its owner, group, mode and hard links.
void store(const QString& path, const QByteArray& bytes) {
    const std::string_view content(bytes.constData(), std::size_t(bytes.size()));
    if (const std::optional<QString> reason = writeWholeFile(path, content, Rewrite::KeepFile))
        failWrite(path, *reason);
}

} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path)) {}

QString IniFile::readText(QStringView section, QStringView key, const QString& defaultValue) const {
    const Content content = load(m_path);
    if (!content.exists)
        return defaultValue;
    const std::vector<Line> lines = parse(content);
    const std::optional<std::size_t> sectionLine = findSection(lines, section);
    if (!sectionLine)
        return defaultValue;
    const std::optional<std::size_t> keyLine = findKey(lines, *sectionLine, key);
    if (!keyLine)
        return defaultValue;
    const Line& line = lines[*keyLine];
    QString value = decode(content, line.valueBegin, line.valueEnd);
    if (isQuoted(value))
        value = value.mid(1, value.size() - 2);
    return cut(std::move(value));
}

void IniFile::writeText(QStringView section, QStringView key, QStringView value) {
    checkNames(m_path, section, key, value);
    checkWritable(m_path);
    const Content content = load(m_path);
    const std::vector<Line> lines = parse(content);
    const QByteArray eol = lineEnding(content);

    auto encoded = [&](QStringView text) {
        std::optional<QByteArray> bytes = encode(content, text);
        if (!bytes)
            failWrite(m_path, QStringLiteral("«%1» не записать в кодировке 1251").arg(text));
        return *std::move(bytes);
    };
    const QByteArray valueBytes = encoded(storedValue(value));

    QByteArray out = content.bytes;
    const std::optional<std::size_t> sectionLine = findSection(lines, section);
    if (sectionLine) {
        if (const std::optional<std::size_t> keyLine = findKey(lines, *sectionLine, key)) {
            const Line& line = lines[*keyLine];
            out.replace(line.valueBegin, line.contentEnd - line.valueBegin, valueBytes);
        } else {
            // After the last line of the section that holds something, so that blank lines
            // and comments before the next section stay with that section.
            std::size_t anchor = *sectionLine;
            const std::size_t end = sectionEnd(lines, *sectionLine);
            for (std::size_t i = *sectionLine + 1; i < end; ++i) {
                if (lines[i].kind == LineKind::Key || lines[i].kind == LineKind::Other)
                    anchor = i;
            }
            const Line& after = lines[anchor];
            QByteArray added;
            if (after.end == after.contentEnd)
                added += eol; // the file's last line had no line ending
            added += encoded(key) + '=' + valueBytes + eol;
            out.insert(after.end, added);
        }
    } else {
        QByteArray added;
        if (out.size() > content.bodyStart && !out.endsWith('\n'))
            added += eol;
        added += '[' + encoded(section) + ']' + eol;
        added += encoded(key) + '=' + valueBytes + eol;
        out += added;
    }
    store(m_path, out);
}

qint32 IniFile::readInteger(QStringView section, QStringView key, qint32 defaultValue) const {
    return profile::readInteger(readText(section, key), defaultValue);
}

bool IniFile::readBool(QStringView section, QStringView key, bool defaultValue) const {
    return profile::readBool(readText(section, key), defaultValue);
}

void IniFile::writeInteger(QStringView section, QStringView key, qint32 value) {
    writeText(section, key, profile::formatInteger(value));
}

void IniFile::writeBool(QStringView section, QStringView key, bool value) {
    writeText(section, key, profile::formatBool(value));
}

} // namespace lambreya
