#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <ostream>
#include <string>

namespace lambreya::test {

// A short ASCII rendering of a case's text for the names of data-driven cases: Latin
// letters, digits and a few harmless marks stay, Cyrillic letters are spelt in Latin ones,
// every other character becomes "_".
inline std::string printable(QStringView text) {
    static constexpr std::array<const char*, 32> kCyrillic = {
        "a", "b", "v", "g", "d", "e", "zh", "z",  "i",  "j",   "k", "l", "m", "n", "o",  "p",
        "r", "s", "t", "u", "f", "h", "c",  "ch", "sh", "sch", "",  "y", "",  "e", "yu", "ya"};
    std::string out;
    for (QChar c : text) {
        const char16_t lower = c.toLower().unicode();
        if (lower >= u'\u0430' && lower <= u'\u044F') {
            out += kCyrillic[static_cast<std::size_t>(lower - u'\u0430')];
            continue;
        }
        const char16_t u = c.unicode();
        const bool keep = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                          (u >= u'0' && u <= u'9') || u == u'.' || u == u'$' || u == u'+' ||
                          u == u'-' || u == u'/';
        out += keep ? static_cast<char>(u) : '_';
    }
    return out.empty() ? std::string("empty") : out;
}

inline std::string printable(const char16_t* text) {
    return text ? printable(QStringView(text)) : std::string("none");
}

} // namespace lambreya::test
