#include "data/data_file.h"

#include "data/atomic_file.h"
#include "data/error.h"
#include "data/file_size_limit.h"
#include "data/regular_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace lambreya {

DataFileReader::DataFileReader(const QString& path, const QString& shownName)
    : m_shownName(shownName) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return;
    auto file = std::make_unique<QFile>();
    const RegularFile opened = openRegularFile(path, *file);
    if (opened.status == RegularFile::Status::Missing)
        return;
    if (opened.status != RegularFile::Status::Opened)
        throw Error("Cannot open file " + shownName.toStdString());
    m_file = std::move(file);
    m_size = static_cast<std::uint64_t>(opened.size);
}

DataFileReader::~DataFileReader() = default;

std::size_t DataFileReader::read(char* to, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const qint64 n = m_file->read(to + done, static_cast<qint64>(count - done));
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    if (m_file->error() != QFileDevice::NoError)
        throw Error("Cannot open file " + m_shownName.toStdString());
    return done;
}

std::optional<Bytes> readDataFile(const QString& path, const QString& shownName,
                                  DataFileStartCheck checkStart, const DataFileArrival& arrived) {
    DataFileReader file(path, shownName);
    if (!file.found())
        return std::nullopt;
    // A file that ends before its size says was cut while it was read.
    auto readInto = [&](char* to, std::size_t count) {
        if (file.read(to, count) != count)
            throw Error("Cannot open file " + shownName.toStdString());
    };
    const std::size_t size = static_cast<std::size_t>(file.size());
    // The first bytes are looked at before memory is taken for the whole file.
    char head[kDataFileHead];
    const std::size_t headSize = std::min(size, kDataFileHead);
    readInto(head, headSize);
    if (checkStart)
        checkStart(std::string_view(head, headSize), file.size());
    // Pages of the block are taken as the chunks are read into them.
    Bytes bytes;
    bytes.resize(size);
    std::copy(head, head + headSize, bytes.data());
    std::size_t done = headSize;
    for (;;) {
        if (arrived)
            arrived(std::string_view(bytes.data(), done), done == size);
        if (done == size)
            return bytes;
        const std::size_t chunk = std::min(kDataFileChunk, size - done);
        readInto(bytes.data() + done, chunk);
        done += chunk;
    }
}

void writeDataFile(const QString& path, std::string_view bytes) {
    failWritesPastTheFileSizeLimit();
    AtomicFile file(path, AtomicFile::Buffering::None);
    file.write(bytes);
    file.commit();
}

} // namespace lambreya
