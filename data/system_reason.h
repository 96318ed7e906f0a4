#pragma once

#include <QString>

namespace lambreya {

// The system's own words for why a file could not be read or written ("File too large",
// "Read-only file system"), which the system and Qt give in English, said in Russian so
// that a message reads in one language. A text it does not know comes back as it was.
QString inRussian(const QString& systemReason);

} // namespace lambreya
