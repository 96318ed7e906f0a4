#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Where the settings are read from and saved to, derived from the program file's path.
//
// The folder part of a path runs up to and including its last separator: "/" everywhere,
// and also "\" and ":" on Windows. The extension of a path is the part from the last "."
// after the last separator.
namespace lambreya::settings_paths {

// The fixed name of the file the settings are read from.
inline constexpr QStringView kReadFileName = u"KALVEST.INI";

// The folder part of programFile followed by "KALVEST.INI", as text; touches no file.
QString readPathFor(QStringView programFile);

// programFile with its extension replaced by ".INI", or ".INI" appended when it has none;
// touches no file.
QString savePathFor(QStringView programFile);

// The existing file in path's folder whose name equals path's name without regard to
// letter case, so that names behave as on a file system that ignores case. An exact match
// is preferred; among several other matches the name that sorts first by character codes
// wins. Empty without a match or when the folder cannot be listed.
std::optional<QString> findCaseBlind(const QString& path);

// findCaseBlind, or the path as it is when no such file exists.
QString matchCaseBlind(const QString& path);

// The paths the program uses: readPathFor and savePathFor matched against the files in the
// program's folder. When the save name differs from "KALVEST.INI" only in letter case, the
// two name one file: an existing file the settings are read from, so that a program file
// named Kalvest saves to the file it read whichever case that file has on disk. Without
// such a file the save name is used as it is, and the next reading finds it.
QString settingsReadPath(const QString& programFile);
QString settingsSavePath(const QString& programFile);

} // namespace lambreya::settings_paths
