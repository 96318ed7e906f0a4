#include "data/file_writing.h"

#include "data/atomic_file.h"
#include "data/file_ownership.h"
#include "data/system_reason.h"

#include <QFile>

namespace lambreya {
namespace {

// Writes all of bytes; false on a short write (a full disk).
bool writeAll(QFileDevice& file, std::string_view bytes) {
    const char* data = bytes.data();
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 n = file.write(data, left);
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

std::optional<QString> rewriteInPlace(const QString& path, std::string_view bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return inRussian(file.errorString());
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return inRussian(file.errorString());
    const auto size = static_cast<qint64>(bytes.size());
    if (file.seek(0) && writeAll(file, bytes) && file.resize(size) && syncToDisk(file.handle()))
        return std::nullopt;
    const QString reason = inRussian(file.errorString());
    file.seek(0);
    writeAll(file, std::string_view(old.constData(), static_cast<std::size_t>(old.size())));
    file.resize(old.size());
    return reason;
}

} // namespace

std::optional<QString> writeWholeFile(const QString& path, std::string_view bytes, Rewrite how) {
    const std::optional<FileOwnership> before = fileOwnership(path);
    if (before && how == Rewrite::KeepFile && (before->links > 1 || !canGiveOwnership(*before)))
        return rewriteInPlace(path, bytes);
    try {
        // A folder that refuses new files but holds a writable file still lets the file be
        // rewritten in place. Unbuffered, so that a short write (a full disk) is seen here.
        AtomicFile file(path, AtomicFile::Buffering::None, how == Rewrite::KeepFile);
        file.write(bytes);
        file.commit();
    } catch (const FileWriteError& error) {
        return error.reason();
    }
    return std::nullopt;
}

} // namespace lambreya
