#include "data/data_file.h"

#include "data/atomic_file.h"
#include "data/error.h"

#include <QFile>
#include <QFileInfo>

namespace lambreya {

std::optional<Bytes> readDataFile(const QString& path, const QString& shownName) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error("Cannot open file " + shownName.toStdString());
    Bytes bytes;
    const qint64 size = file.size();
    bytes.resize(static_cast<std::size_t>(size));
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(bytes.data() + done, size - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (done != size || file.error() != QFileDevice::NoError)
        throw Error("Cannot open file " + shownName.toStdString());
    return bytes;
}

void writeDataFile(const QString& path, std::string_view bytes) {
    AtomicFile file(path, AtomicFile::Buffering::None);
    file.write(bytes);
    file.commit();
}

} // namespace lambreya
