#pragma once

#include <QString>

namespace lambreya {

// The full path of the file named name in folder, or an empty text when there is none.
// When no file bears exactly that name, a file whose name differs only in letter case is
// taken, so that "Kalvest.hlp" also finds KALVEST.HLP; of several such files the first in
// name order. Folders do not count as files.
QString findFileCaseBlind(const QString& folder, const QString& name);

} // namespace lambreya
