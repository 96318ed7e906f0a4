#include "data/data_file.h"

#include "data/atomic_file.h"
#include "data/error.h"
#include "data/file_size_limit.h"
#include "data/regular_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace lambreya {

std::optional<Bytes> readDataFile(const QString& path, const QString& shownName,
                                  DataFileStartCheck checkStart) {
    // Opening a named pipe would wait for a writer; only plain files are read.
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    QFile file;
    const RegularFile opened = openRegularFile(path, file);
    if (opened.status == RegularFile::Status::Missing)
        return std::nullopt;
    if (opened.status != RegularFile::Status::Opened)
        throw Error("Cannot open file " + shownName.toStdString());
    auto readInto = [&](char* to, qint64 count) {
        qint64 done = 0;
        while (done < count) {
            const qint64 n = file.read(to + done, count - done);
            if (n <= 0)
                break;
            done += n;
        }
        if (done != count || file.error() != QFileDevice::NoError)
            throw Error("Cannot open file " + shownName.toStdString());
    };
    const qint64 size = opened.size;
    // The first bytes are looked at before memory is taken for the whole file.
    char head[kDataFileHead];
    const qint64 headSize = std::min<qint64>(size, qint64{kDataFileHead});
    readInto(head, headSize);
    if (checkStart)
        checkStart(std::string_view(head, static_cast<std::size_t>(headSize)),
                   static_cast<std::uint64_t>(size));
    Bytes bytes;
    bytes.resize(static_cast<std::size_t>(size));
    std::copy(head, head + headSize, bytes.data());
    readInto(bytes.data() + headSize, size - headSize);
    return bytes;
}

void writeDataFile(const QString& path, std::string_view bytes) {
    failWritesPastTheFileSizeLimit();
    AtomicFile file(path, AtomicFile::Buffering::None);
    file.write(bytes);
    file.commit();
}

} // namespace lambreya
