#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace lambreya {

// The content of a settings file in the private-profile (INI) form, parsed once: "[Section]"
// lines, each followed by "Key=Value" lines. IniFile reads and writes the file through it;
// it touches no file itself.
//
// Reading: sections and keys are found without regard to letter case; blanks (spaces and
// tabs) around names, around "=" and around values are ignored; lines whose first non-blank
// character is ";" are comments; a line that is neither a section, a key nor a comment is
// ignored. When a section or a key occurs more than once, the first one counts. A value
// enclosed in a matching pair of double or single quotes comes back without them. Content
// that starts with a UTF-8 byte order mark is read and written as UTF-8, any other (empty
// content too) as code page 1251.
//
// Writing keeps every byte that does not belong to the written value: other sections and
// keys, comments, blank lines, the line endings and the missing final line ending. A new key
// goes after the last key of its section, a new section at the end. New lines take the line
// ending of the first line; content without one gets "\n".
class IniText {
public:
    // Values are read up to this many characters; longer ones come back cut.
    static constexpr qsizetype kMaxValueLength = 2047;

    explicit IniText(QByteArray bytes = {});

    const QByteArray& bytes() const { return m_bytes; }

    // The value of the key; empty when the section or the key does not exist. An empty
    // value is a value.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // The content with the key set to value, the section and the key created as needed. A
    // value with blanks at its ends, or enclosed in quotes, is written inside double quotes
    // so that it reads back as it was. Throws lambreya::Error, whose message is the reason,
    // when the name or value cannot be kept (a line break in it, a "]" in a section name, a
    // "=" in a key, characters the content's code page lacks).
    QByteArray withValue(QStringView section, QStringView key, QStringView value) const;

private:
    enum class Kind : unsigned char { Section, Key, Other };

    // One line that names something, as byte positions into m_bytes. Blank lines and
    // comments are not kept: a file of a million empty lines costs no memory for them.
    struct Line {
        Kind kind = Kind::Other;
        qsizetype begin = 0;
        qsizetype contentEnd = 0; // before the line ending
        qsizetype end = 0;        // after the line ending
        qsizetype nameBegin = 0;  // of a section or a key, without blanks at its ends
        qsizetype nameEnd = 0;
        qsizetype valueBegin = 0; // of a key: the value without blanks at its ends
        qsizetype valueEnd = 0;
    };

    void parse();
    QString decode(qsizetype begin, qsizetype end) const;
    bool named(const Line& line, QStringView name) const;
    std::optional<std::size_t> findSection(QStringView section) const;
    std::size_t sectionEnd(std::size_t sectionLine) const;
    std::optional<std::size_t> findKey(std::size_t sectionLine, QStringView key) const;
    QByteArray encoded(QStringView text) const;

    QByteArray m_bytes;
    qsizetype m_bodyStart = 0; // after a byte order mark
    bool m_utf8 = false;
    std::vector<Line> m_lines;
};

} // namespace lambreya
