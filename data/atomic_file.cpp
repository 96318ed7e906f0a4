#include "data/atomic_file.h"

#include "data/system_reason.h"

#include <QDir>
#include <QFileInfo>

namespace lambreya {

AtomicFile::AtomicFile(const QString& path, Buffering buffering, bool directWriteFallback)
    : m_file(path)
    , m_path(path)
    , m_ownership(fileOwnership(path)) {
    m_file.setDirectWriteFallback(directWriteFallback);
    QIODevice::OpenMode mode = QIODevice::WriteOnly;
    if (buffering == Buffering::None)
        mode |= QIODevice::Unbuffered;
    if (!m_file.open(mode))
        fail(m_file.errorString());
}

void AtomicFile::fail(const QString& systemReason) {
    const QString reason = inRussian(systemReason);
    m_file.cancelWriting();
    throw FileWriteError(
        "Не удалось записать файл " + QDir::toNativeSeparators(m_path).toStdString() + ": " +
            reason.toStdString() +
            (m_ownership ? ". Прежний файл остался без изменений" : ". Файл не создан"),
        reason);
}

void AtomicFile::write(std::string_view bytes) {
    const char* data = bytes.data();
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 n = m_file.write(data, left);
        if (n <= 0)
            fail(m_file.errorString());
        data += n;
        left -= n;
    }
}

void AtomicFile::syncWritten() {
    if (!m_file.flush() || !syncDataToDisk(m_file.handle()))
        fail(m_file.errorString());
}

void AtomicFile::commit() {
    if (!m_file.commit())
        fail(m_file.errorString());
    // The content is in place; a refusal now changes only the owner or the mode.
    if (m_ownership)
        giveOwnership(m_path, *m_ownership);
    syncFolder(QFileInfo(m_path).absolutePath());
}

} // namespace lambreya
