#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace lambreya {

// One settings file in the private-profile (INI) form: "[Section]" lines, each followed by
// "Key=Value" lines.
//
// The object only holds the path: constructing it touches nothing, and every read or write
// opens the file, does its work and closes it again, so nothing is pending between calls.
//
// Reading: sections and keys are found without regard to letter case; blanks (spaces and
// tabs) around names, around "=" and around values are ignored; lines whose first non-blank
// character is ";" are comments; a line that is neither a section, a key nor a comment is
// ignored. When a section or a key occurs more than once, the first one counts. A value
// enclosed in a matching pair of double or single quotes comes back without them. A file
// that starts with a UTF-8 byte order mark is read and written as UTF-8, any other file
// (a new one too) as code page 1251.
//
// Writing keeps every byte of the file that does not belong to the written value: other
// sections and keys, comments, blank lines, the line endings and the missing final line
// ending. A new key goes after the last key of its section, a new section at the end of the
// file. New lines take the line ending of the file's first line; a file without one gets
// "\n". The new content replaces the file through a temporary file in the same folder where
// the folder allows it, so a failed write leaves the old file whole.
class IniFile {
public:
    // Values are read up to this many characters; longer ones come back cut.
    static constexpr qsizetype kMaxValueLength = 2047;

    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    // The value of the key, or defaultValue when the file, the section or the key does not
    // exist. An empty value is a value. Throws lambreya::Error when the file exists but
    // cannot be read.
    QString readText(QStringView section, QStringView key, const QString& defaultValue = {}) const;

    // Sets the key to value, creating the file, the section and the key as needed. Throws
    // lambreya::Error when the file cannot be written (a read-only file, a folder that is
    // missing or refuses new files) or when the name or value cannot be kept in the file
    // (a line break in it, a "]" in a section name, a "=" in a key, characters the file's
    // code page lacks). A value with blanks at its ends, or enclosed in quotes, is written
    // inside double quotes so that it reads back as it was.
    void writeText(QStringView section, QStringView key, QStringView value);

    // Integers and switches through the text forms of lambreya::profile. Reading gives the
    // default when the value is missing or holds no number.
    qint32 readInteger(QStringView section, QStringView key, qint32 defaultValue) const;
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;
    void writeInteger(QStringView section, QStringView key, qint32 value);
    void writeBool(QStringView section, QStringView key, bool value);

private:
    QString m_path;
};

} // namespace lambreya
