#pragma once

#include "app/ini_text.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace lambreya {

// One settings file in the private-profile (INI) form; IniText says how its content is read
// and changed.
//
// The object only holds the path: constructing it touches nothing, and every read or write
// opens the file, does its work and closes it again, so nothing is pending between calls.
// Only a regular file is read or written (never a named pipe or a device), and only up to
// kMaxFileSize: a settings file of a few keys is a few hundred bytes, so a larger one is
// refused rather than read.
//
// Writing keeps every other byte of the file; a missing file or section is created. The new
// content replaces the file through a temporary file in the same folder where the folder
// allows it, so a failed write leaves the old file whole.
class IniFile {
public:
    static constexpr qsizetype kMaxValueLength = IniText::kMaxValueLength;
    static constexpr qint64 kMaxFileSize = qint64{1} << 20;

    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    // The file's content, read and parsed once, for several reads; empty content when there
    // is no file. Throws lambreya::Error when the file exists but cannot be read, is not a
    // regular file or is larger than kMaxFileSize.
    IniText read() const;

    // The value of the key, or defaultValue when the file, the section or the key does not
    // exist. An empty value is a value. Throws as read() does.
    QString readText(QStringView section, QStringView key, const QString& defaultValue = {}) const;

    // Sets the key to value, creating the file, the section and the key as needed. Throws
    // lambreya::Error when the file cannot be read or written (a read-only file, a folder that
    // is missing or refuses new files) or when the name or value cannot be kept in the file.
    void writeText(QStringView section, QStringView key, QStringView value);

    // Integers and switches through the text forms of lambreya::profile. Reading gives the
    // default when the value is missing or holds no number.
    qint32 readInteger(QStringView section, QStringView key, qint32 defaultValue) const;
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;
    void writeInteger(QStringView section, QStringView key, qint32 value);
    void writeBool(QStringView section, QStringView key, bool value);

    // The same, over content already read.
    static QString text(const IniText& content, QStringView section, QStringView key,
                        const QString& defaultValue = {});
    static qint32 integer(const IniText& content, QStringView section, QStringView key,
                          qint32 defaultValue);
    static bool boolean(const IniText& content, QStringView section, QStringView key,
                        bool defaultValue);

private:
    QString m_path;
};

} // namespace lambreya
