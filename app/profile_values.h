#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// The textual forms of the numbers and switches kept in the settings file.
namespace lambreya::profile {

// Reads a 32-bit integer: an optional sign with decimal digits (within the signed 32-bit
// range), or one of the prefixes "$", "x", "X", "0x", "0X" with one to eight hexadecimal
// digits taken as a 32-bit pattern. Leading blanks are skipped; nothing may follow the
// number. Empty when the text is anything else.
std::optional<qint32> parseInteger(QStringView text);

// The integer in the text, or the default when the text holds none.
qint32 readInteger(QStringView text, qint32 defaultValue);

// A switch is kept as an integer: on exactly when it is not 0. A text that holds no
// integer (the words true or yes among them) gives the default.
bool readBool(QStringView text, bool defaultValue);

// Signed decimal, "-" for negative values, no leading zeros.
QString formatInteger(qint32 value);

// "1" or "0".
QString formatBool(bool value);

} // namespace lambreya::profile
