#include "app/settings_paths.h"

#include <QDir>
#include <QStringList>

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

std::optional<QString> findCaseBlind(const QString& path) {
    const qsizetype folderLen = folderLength(path);
    const QString name = path.mid(folderLen);
    if (name.isEmpty())
        return std::nullopt;
    const QDir dir(folderLen > 0 ? path.left(folderLen) : QStringLiteral("."));
    if (!dir.exists())
        return std::nullopt;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    std::optional<QString> best;
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (entry == name)
            return path;
        if (!best || entry < *best)
            best = entry;
    }
    if (!best)
        return std::nullopt;
    return path.left(folderLen) + *best;
}

QString matchCaseBlind(const QString& path) {
    return findCaseBlind(path).value_or(path);
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

} // namespace lambreya::settings_paths
