#include "app/file_permissions.h"

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

} // namespace lambreya
