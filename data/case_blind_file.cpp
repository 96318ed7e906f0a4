#include "data/case_blind_file.h"

#include <QDir>
#include <QStringList>

namespace lambreya {
namespace {

// Length of the folder part, separator included; 0 for a bare name.
qsizetype folderPartLength(const QString& path) {
    for (qsizetype i = path.size(); i > 0; --i) {
        const QChar c = path[i - 1];
#ifdef Q_OS_WIN
        if (c == u'\\' || c == u':')
            return i;
#endif
        if (c == u'/')
            return i;
    }
    return 0;
}

} // namespace

std::optional<QString> findCaseBlind(const QString& path) {
    const qsizetype folderLength = folderPartLength(path);
    const QString name = path.mid(folderLength);
    if (name.isEmpty())
        return std::nullopt;
    const QDir dir(folderLength > 0 ? path.left(folderLength) : QStringLiteral("."));
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
    return path.left(folderLength) + *best;
}

QString matchCaseBlind(const QString& path) {
    return findCaseBlind(path).value_or(path);
}

} // namespace lambreya
