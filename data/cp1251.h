#pragma once

#include "data/large_memory.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>

// Records, box texts and names are single-byte text in code page 1251. These helpers
// convert at the edges: to and from QString for the screen, to and from UTF-8 for
// messages and the command line.
namespace lambreya::cp1251 {

QString toUnicode(std::string_view bytes);

// Empty when some character has no byte in code page 1251.
std::optional<std::string> fromUnicode(QStringView text);

// Appends the bytes of `text` to `out`; false (with `out` partly appended) when some
// character has no byte in code page 1251.
bool appendFromUnicode(QStringView text, std::string& out);
bool appendFromUnicode(QStringView text, Bytes& out);

// Every character the code page lacks becomes `substitute`.
std::string fromUnicodeReplacing(QStringView text, char substitute);

bool canEncode(QChar c);

std::string toUtf8(std::string_view bytes);
std::optional<std::string> fromUtf8(std::string_view utf8);

// The capital form of a letter byte (Latin and Cyrillic); other bytes stay.
unsigned char upper(unsigned char byte);

// Equal without regard to letter case, as names are compared.
bool equalsCaseBlind(std::string_view a, std::string_view b);

} // namespace lambreya::cp1251
