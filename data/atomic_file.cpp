#include "data/atomic_file.h"

#include "data/error.h"

#include <QDir>
#include <QFileInfo>

namespace lambreya {

AtomicFile::AtomicFile(const QString& path, Buffering buffering)
    : m_file(path)
    , m_path(path)
    , m_existed(QFileInfo::exists(path)) {
    QIODevice::OpenMode mode = QIODevice::WriteOnly;
    if (buffering == Buffering::None)
        mode |= QIODevice::Unbuffered;
    if (!m_file.open(mode))
        fail(m_file.errorString());
}

void AtomicFile::fail(const QString& reason) {
    m_file.cancelWriting();
    throw Error("Не удалось записать файл " + QDir::toNativeSeparators(m_path).toStdString() +
                ": " + reason.toStdString() +
                (m_existed ? ". Прежний файл остался без изменений" : ". Файл не создан"));
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

void AtomicFile::commit() {
    if (!m_file.commit())
        fail(m_file.errorString());
}

} // namespace lambreya
