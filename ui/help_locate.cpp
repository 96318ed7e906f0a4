#include "ui/help_locate.h"

#include <QDir>
#include <QFileInfo>

namespace lambreya {

QString findFileCaseBlind(const QString& folder, const QString& name) {
    if (name.isEmpty())
        return {};
    const QFileInfo exact(QDir(folder).filePath(name));
    if (exact.isFile())
        return exact.absoluteFilePath();

    const QString wanted = exact.fileName();
    const QDir dir = exact.dir();
    const auto entries = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const auto& entry : entries) {
        if (entry.fileName().compare(wanted, Qt::CaseInsensitive) == 0)
            return entry.absoluteFilePath();
    }
    return {};
}

} // namespace lambreya
