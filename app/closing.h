#pragma once

#include <QDateTime>
#include <QString>

namespace lambreya {

class RecordSet;

// Closes the directory at the end of the program, writing it back when it changed, with a
// pending change of the current record posted when it can be. When
// the data file cannot be written, the changes are not given up: they go to a file of their
// own in the user's home folder, and the error box says where.
void closeDirectory(RecordSet& table);

// The file the changes go to when the data file cannot be written: the data file's name
// with the time in it, in `folder`.
QString rescueFilePath(const QString& folder, const QString& dataFile, const QDateTime& when);

} // namespace lambreya
