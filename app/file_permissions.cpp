#include "app/file_permissions.h"

#include <QFileInfo>

namespace lambreya {

bool isMarkedWritable(const QFileInfo& info) {
    // The bits as the file system keeps them; isWritable tells what this process may do,
    // which for a privileged user is always yes.
    constexpr QFile::Permissions kAnyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isWritable() && (info.permissions() & kAnyWrite);
}

} // namespace lambreya
