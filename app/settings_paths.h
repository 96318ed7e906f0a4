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

// The paths the program uses: readPathFor and savePathFor matched against the files in the
// program's folder. When the save name differs from "KALVEST.INI" only in letter case, the
// two name one file: an existing file the settings are read from, so that a program file
// named Kalvest saves to the file it read whichever case that file has on disk. Without
// such a file the save name is used as it is, and the next reading finds it.
QString settingsReadPath(const QString& programFile);
QString settingsSavePath(const QString& programFile);

// Where the settings are read from and saved to.
struct SettingsPlace {
    QString readPath;
    QString savePath;
    // True for the user's own settings file: the program's folder belongs to the system, or
    // holds no settings file and cannot be written.
    bool inUserFolder = false;
    // With the user's own file: an administrator's KALVEST.INI beside the program, which a
    // first start copies into the user's file; it is itself only ever read.
    std::optional<QString> administratorSettings;
};

// The paths above where the program's folder does not belong to the system and holds a
// file named "KALVEST.INI" in any letter case or can be written; otherwise
// userSettingsPath() for both.
SettingsPlace settingsPlace(const QString& programFile);

// $XDG_CONFIG_HOME/lambreya/KALVEST.INI (~/.config by default), matched case-blind.
QString userSettingsPath();
// The directory a first start with the user's own settings creates:
// $XDG_DATA_HOME/lambreya/kalvest.cds (~/.local/share by default).
QString userDirectoryPath();

} // namespace lambreya::settings_paths
