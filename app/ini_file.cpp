#include "app/ini_file.h"

#include "app/file_permissions.h"
#include "app/profile_values.h"
#include "data/error.h"
#include "data/file_writing.h"
#include "data/regular_file.h"
#include "data/system_reason.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <string_view>

namespace lambreya {
namespace {

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

QString notRegular() {
    return QStringLiteral("это не обычный файл");
}

// The file's bytes, empty when there is none. Its size is looked at before anything is read.
std::optional<QByteArray> load(const QString& path) {
    QFile file;
    const RegularFile opened = openRegularFile(path, file);
    switch (opened.status) {
    case RegularFile::Status::Missing:
        return std::nullopt;
    case RegularFile::Status::NotRegular:
        failRead(path, notRegular());
    case RegularFile::Status::Failed:
        failRead(path, opened.reason);
    case RegularFile::Status::Opened:
        break;
    }
    if (opened.size > IniFile::kMaxFileSize)
        failRead(
            path,
            QStringLiteral("файл больше %1 байт, это не файл настроек").arg(IniFile::kMaxFileSize));
    // A file that grew since it was looked at is read no further than the bound.
    QByteArray bytes = file.read(IniFile::kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        failRead(path, inRussian(file.errorString()));
    if (bytes.size() > IniFile::kMaxFileSize)
        failRead(
            path,
            QStringLiteral("файл больше %1 байт, это не файл настроек").arg(IniFile::kMaxFileSize));
    return bytes;
}

// A file the user marked read-only stays unwritten, even for a user whom the system would
// let write it anyway; a named pipe or a device is never written as a settings file. A
// file that is not marked read-only but that the system will not let be written (a
// read-only mount, another user's file) is left to the write, which then says the system's
// own reason.
void checkWritable(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return;
    if (info.isDir())
        failWrite(path, QStringLiteral("это папка"));
    if (!info.isFile())
        failWrite(path, notRegular());
    if (isMarkedReadOnly(info))
        failWrite(path, QStringLiteral("файл только для чтения"));
}

} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path)) {}

IniText IniFile::read() const {
    std::optional<QByteArray> bytes = load(m_path);
    return IniText(bytes ? *std::move(bytes) : QByteArray());
}

QString IniFile::text(const IniText& content, QStringView section, QStringView key,
                      const QString& defaultValue) {
    return content.value(section, key).value_or(defaultValue);
}

qint32 IniFile::integer(const IniText& content, QStringView section, QStringView key,
                        qint32 defaultValue) {
    return profile::readInteger(text(content, section, key), defaultValue);
}

bool IniFile::boolean(const IniText& content, QStringView section, QStringView key,
                      bool defaultValue) {
    return profile::readBool(text(content, section, key), defaultValue);
}

QString IniFile::readText(QStringView section, QStringView key, const QString& defaultValue) const {
    return text(read(), section, key, defaultValue);
}

void IniFile::writeText(QStringView section, QStringView key, QStringView value) {
    checkWritable(m_path);
    const IniText old = read();
    QByteArray out;
    try {
        out = old.withValue(section, key, value);
    } catch (const Error& error) {
        failWrite(m_path, QString::fromStdString(error.what()));
    }
    const std::string_view content(out.constData(), std::size_t(out.size()));
    if (const std::optional<QString> reason = writeWholeFile(m_path, content, Rewrite::KeepFile))
        failWrite(m_path, *reason);
}

qint32 IniFile::readInteger(QStringView section, QStringView key, qint32 defaultValue) const {
    return integer(read(), section, key, defaultValue);
}

bool IniFile::readBool(QStringView section, QStringView key, bool defaultValue) const {
    return boolean(read(), section, key, defaultValue);
}

void IniFile::writeInteger(QStringView section, QStringView key, qint32 value) {
    writeText(section, key, profile::formatInteger(value));
}

void IniFile::writeBool(QStringView section, QStringView key, bool value) {
    writeText(section, key, profile::formatBool(value));
}

} // namespace lambreya
