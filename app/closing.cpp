#include "app/closing.h"

#include "app/error_box.h"
#include "data/record_set.h"

#include <QDir>
#include <QFileInfo>

namespace lambreya {

QString rescueFilePath(const QString& folder, const QString& dataFile, const QDateTime& when) {
    const QFileInfo data(dataFile);
    QString name = data.completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("kalvest");
    name += QStringLiteral(" (не записан %1)")
                .arg(when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
    if (!data.suffix().isEmpty())
        name += QLatin1Char('.') + data.suffix();
    return QDir(folder).filePath(name);
}

void closeDirectory(RecordSet& table) {
    // The window posts a pending change when the user closes it. Ended by a signal or by the
    // session, the program posts it here; a change that cannot be posted (a required field
    // left empty) has no one left to complete it and is dropped by the closing below, while
    // everything else is written.
    try {
        table.completePendingEdit();
    } catch (const Error&) {
    }
    try {
        table.close();
        return;
    } catch (const Error& failure) {
        if (!table.active())
            throw;
        std::string message = failure.what();
        const QString rescue =
            rescueFilePath(QDir::homePath(), table.fileName(), QDateTime::currentDateTime());
        try {
            table.saveCopy(rescue);
            message +=
                ". Изменения сохранены в файле " + QDir::toNativeSeparators(rescue).toStdString();
        } catch (const Error& second) {
            message += ". Сохранить изменения в другом файле тоже не удалось: ";
            message += second.what();
        }
        table.discard();
        showStandardError(QString::fromStdString(message));
    }
}

} // namespace lambreya
