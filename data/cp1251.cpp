#include "data/cp1251.h"

#include <QStringDecoder>

#include <array>
#include <memory>

namespace lambreya::cp1251 {
namespace {

// Code page 1251 maps every byte to one character (0x98 to U+0098), so the whole code
// page is two tables, built once from the platform's converter.
struct Tables {
    std::array<char16_t, 256> toUnicode{};
    std::array<unsigned char, 65536> fromUnicode{};
    std::array<bool, 65536> encodable{};
    std::array<unsigned char, 256> upper{};
};

const Tables& tables() {
    static const std::unique_ptr<Tables> built = [] {
        auto t = std::make_unique<Tables>();
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = static_cast<char>(b);
        QStringDecoder decoder("windows-1251");
        const QString text = decoder.isValid() ? decoder(all) : QString::fromLatin1(all);
        for (int b = 0; b < 256; ++b) {
            const char16_t u = text.size() == 256 ? text.at(b).unicode() : char16_t(b);
            t->toUnicode[static_cast<std::size_t>(b)] = u;
            t->fromUnicode[u] = static_cast<unsigned char>(b);
            t->encodable[u] = true;
        }
        for (int b = 0; b < 256; ++b) {
            const QChar up = QChar(t->toUnicode[static_cast<std::size_t>(b)]).toUpper();
            t->upper[static_cast<std::size_t>(b)] = t->encodable[up.unicode()]
                                                        ? t->fromUnicode[up.unicode()]
                                                        : static_cast<unsigned char>(b);
        }
        return t;
    }();
    return *built;
}

} // namespace

QString toUnicode(std::string_view bytes) {
    const Tables& t = tables();
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* dst = out.data();
    for (char c : bytes)
        *dst++ = QChar(t.toUnicode[static_cast<unsigned char>(c)]);
    return out;
}

namespace {

template <typename Out>
bool appendEncoded(QStringView text, Out& out) {
    const Tables& t = tables();
    for (QChar c : text) {
        if (!t.encodable[c.unicode()])
            return false;
        out.push_back(static_cast<char>(t.fromUnicode[c.unicode()]));
    }
    return true;
}

} // namespace

bool appendFromUnicode(QStringView text, std::string& out) {
    return appendEncoded(text, out);
}

bool appendFromUnicode(QStringView text, Bytes& out) {
    return appendEncoded(text, out);
}

std::optional<std::string> fromUnicode(QStringView text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    if (!appendFromUnicode(text, out))
        return std::nullopt;
    return out;
}

std::string fromUnicodeReplacing(QStringView text, char substitute) {
    const Tables& t = tables();
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text)
        out.push_back(t.encodable[c.unicode()] ? static_cast<char>(t.fromUnicode[c.unicode()])
                                               : substitute);
    return out;
}

bool canEncode(QChar c) {
    return tables().encodable[c.unicode()];
}

std::string toUtf8(std::string_view bytes) {
    return toUnicode(bytes).toStdString();
}

std::optional<std::string> fromUtf8(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    // Invalid UTF-8 decodes to U+FFFD, which code page 1251 cannot hold: refused below.
    return fromUnicode(text);
}

unsigned char upper(unsigned char byte) {
    return tables().upper[byte];
}

bool equalsCaseBlind(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    const Tables& t = tables();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (t.upper[static_cast<unsigned char>(a[i])] != t.upper[static_cast<unsigned char>(b[i])])
            return false;
    }
    return true;
}

} // namespace lambreya::cp1251
