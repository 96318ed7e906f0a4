#pragma once

class QFileInfo;
class QString;

namespace lambreya {

// Whether this process may write the file or folder and it is not marked read-only: at
// least one of its owner, group and other write bits is set. A file or folder the user
// made read-only stays unwritten even for a user whom the system would let write it
// anyway, such as the administrator.
bool isMarkedWritable(const QFileInfo& info);

// Whether the folder belongs to the system rather than to the user running the program: it
// belongs to another user, or to the administrator together with every folder above it,
// none of which anyone else may write (as a folder the package manager installed). The
// program writes nothing there, whoever runs it, the administrator included.
bool belongsToTheSystem(const QString& folder);

// Whether the file or folder has none of its owner, group and other write bits set.
bool isMarkedReadOnly(const QFileInfo& info);

} // namespace lambreya
