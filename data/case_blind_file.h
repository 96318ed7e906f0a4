#pragma once

#include <QString>

#include <optional>

namespace lambreya {

// File names are looked up as on a file system that ignores letter case: the existing file
// in path's folder whose name equals path's name without regard to letter case. An exact
// match is preferred; among several other matches the name that sorts first by character
// codes wins. Folders do not count. Empty without a match or when the folder cannot be
// listed. Only the name is matched; the folder part is taken as it is.
std::optional<QString> findCaseBlind(const QString& path);

// findCaseBlind, or the path as it is when no such file exists.
QString matchCaseBlind(const QString& path);

} // namespace lambreya
