#pragma once

#include <QFile>
#include <QString>

#include <cstdint>

namespace lambreya {

// Opens a file for reading only when it is a regular file. Opening a named pipe would wait
// for a writer and a device such as /dev/zero never ends, so the file is opened without
// waiting and looked at through the open handle before anything is read: a file swapped for
// a pipe between a look and the opening is still refused.
struct RegularFile {
    enum class Status {
        Opened,
        Missing,    // no such file
        NotRegular, // a folder, a pipe, a device, a socket
        Failed,     // the system refused to open it; `reason` says why
    };
    Status status = Status::Missing;
    std::int64_t size = 0; // of an opened file
    QString reason;
};

// On success `file` is open for reading on the file's handle and closes it when closed.
RegularFile openRegularFile(const QString& path, QFile& file);

} // namespace lambreya
