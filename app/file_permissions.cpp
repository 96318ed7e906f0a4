#include "app/file_permissions.h"

#include "data/file_ownership.h"

#include <QDir>
#include <QFileInfo>

namespace lambreya {

bool isMarkedReadOnly(const QFileInfo& info) {
    constexpr QFile::Permissions kAnyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !(info.permissions() & kAnyWrite);
}

bool isMarkedWritable(const QFileInfo& info) {
    // The bits as the file system keeps them; isWritable tells what this process may do,
    // which for a privileged user is always yes.
    return info.isWritable() && !isMarkedReadOnly(info);
}

namespace {

constexpr std::uint32_t kAdministrator = 0;

bool onlyTheAdministratorWrites(const QFileInfo& info) {
    constexpr QFile::Permissions kOthersWrite = QFile::WriteGroup | QFile::WriteOther;
    return info.ownerId() == kAdministrator && !(info.permissions() & kOthersWrite);
}

} // namespace

bool belongsToTheSystem(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists())
        return false;
    if (info.ownerId() != processUserId())
        return true;
    QString path = info.canonicalFilePath();
    for (;;) {
        if (!onlyTheAdministratorWrites(QFileInfo(path)))
            return false;
        QDir dir(path);
        if (!dir.cdUp())
            return true;
        path = dir.absolutePath();
    }
}

} // namespace lambreya
