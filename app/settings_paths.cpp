#include "app/settings_paths.h"

#include "app/file_permissions.h"
#include "data/case_blind_file.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

namespace lambreya::settings_paths {
namespace {

bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\' || c == u':';
#else
    return c == u'/';
#endif
}

// Length of the folder part, separator included; 0 for a bare name.
qsizetype folderLength(QStringView path) {
    for (qsizetype i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1]))
            return i;
    }
    return 0;
}

} // namespace

QString readPathFor(QStringView programFile) {
    QString path = programFile.left(folderLength(programFile)).toString();
    path += kReadFileName;
    return path;
}

QString savePathFor(QStringView programFile) {
    const qsizetype nameStart = folderLength(programFile);
    const qsizetype dot = programFile.lastIndexOf(u'.');
    const qsizetype stemLength = dot >= nameStart ? dot : programFile.size();
    return programFile.left(stemLength).toString() + QStringLiteral(".INI");
}

QString settingsReadPath(const QString& programFile) {
    return matchCaseBlind(readPathFor(programFile));
}

QString settingsSavePath(const QString& programFile) {
    const QString save = savePathFor(programFile);
    const QString saveName = save.mid(folderLength(save));
    if (saveName.compare(kReadFileName, Qt::CaseInsensitive) == 0) {
        if (std::optional<QString> existing = findCaseBlind(readPathFor(programFile)))
            return *std::move(existing);
    }
    return matchCaseBlind(save);
}

SettingsPlace settingsPlace(const QString& programFile) {
    QString folder = programFile.left(folderLength(programFile));
    if (folder.isEmpty())
        folder = QStringLiteral(".");
    std::optional<QString> beside = findCaseBlind(readPathFor(programFile));
    if (!belongsToTheSystem(folder) && (beside || isMarkedWritable(QFileInfo(folder))))
        return {settingsReadPath(programFile), settingsSavePath(programFile), false, {}};
    const QString user = userSettingsPath();
    return {user, user, true, std::move(beside)};
}

QString userSettingsPath() {
    return matchCaseBlind(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                          QStringLiteral("/lambreya/") + kReadFileName.toString());
}

QString userDirectoryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/lambreya/kalvest.cds");
}

} // namespace lambreya::settings_paths
