// The settings file: any content is read without a fault; a write either is refused and
// leaves the file as it was, or sets the written key, which reads back as written, and
// changes no other key. The input is the file's content, then, after NUL bytes, the
// section, the key and the value to write.
#include "app/ini_file.h"
#include "data/cp1251.h"
#include "data/error.h"
#include "fuzz/fuzz_check.h"

#include <QFile>
#include <QString>

#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace lambreya;

QString settingsPath() {
    static const QString path =
        QStringLiteral("/tmp/lambreya-settings-fuzz-%1.ini").arg(::getpid());
    return path;
}

QByteArray fileBytes() {
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sections and keys the content names, as the reader decodes them.
std::vector<std::pair<QString, QString>> namedKeys(std::string_view content) {
    const bool utf8 = content.starts_with("\xEF\xBB\xBF");
    auto decode = [&](std::string_view bytes) {
        const QString text = utf8 ? QString::fromUtf8(bytes.data(), qsizetype(bytes.size()))
                                  : cp1251::toUnicode(bytes);
        return text.trimmed();
    };
    std::vector<std::pair<QString, QString>> keys;
    QString section;
    std::size_t at = 0;
    while (at < content.size() && keys.size() < 32) {
        std::size_t end = content.find('\n', at);
        if (end == std::string_view::npos)
            end = content.size();
        const std::string_view line = content.substr(at, end - at);
        at = end + 1;
        const std::size_t close = line.find(']');
        if (line.starts_with('[') && close != std::string_view::npos)
            section = decode(line.substr(1, close - 1));
        else if (const std::size_t equals = line.find('='); equals != std::string_view::npos)
            keys.emplace_back(section, decode(line.substr(0, equals)));
    }
    return keys;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::asText(data, size);
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (parts.size() < 3) {
        const std::size_t nul = input.find('\0', at);
        if (nul == std::string_view::npos)
            break;
        parts.push_back(input.substr(at, nul - at));
        at = nul + 1;
    }
    const std::string_view content = parts.empty() ? input : parts.front();
    const std::string_view rest = input.substr(std::min(at, input.size()));
    const QString section =
        parts.size() > 1 ? cp1251::toUnicode(parts[1]) : QStringLiteral("Options");
    const QString key =
        parts.size() > 2 ? cp1251::toUnicode(parts[2]) : QStringLiteral("InstantSearch");
    const QString value = parts.size() > 2 ? cp1251::toUnicode(rest) : QStringLiteral("1");

    {
        QFile file(settingsPath());
        fuzz::check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the test file opens");
        file.write(content.data(), qsizetype(content.size()));
    }
    IniFile ini(settingsPath());
    const QString absent = QStringLiteral("\x01absent");
    const std::vector<std::pair<QString, QString>> keys = namedKeys(content);
    std::vector<QString> before;
    for (const auto& [s, k] : keys)
        before.push_back(ini.readText(s, k, absent));
    (void)ini.readInteger(u"Keyboard", u"Layout", 68748313);
    (void)ini.readBool(u"Options", u"InstantSearch", false);

    const QByteArray old = fileBytes();
    try {
        ini.writeText(section, key, value);
    } catch (const Error&) {
        fuzz::check(fileBytes() == old, "a refused write leaves the file as it was");
        return 0;
    }
    fuzz::check(ini.readText(section, key, absent) == value.left(IniFile::kMaxValueLength),
                "the written value reads back");
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (sameName(keys[i].first, section) && sameName(keys[i].second, key))
            continue;
        fuzz::check(ini.readText(keys[i].first, keys[i].second, absent) == before[i],
                    "a write changes no other key");
    }
    return 0;
}
