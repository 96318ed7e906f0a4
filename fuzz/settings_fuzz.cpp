// The settings file's content: any content is read without a fault; a change either is
// refused or sets the written key, which reads back as written, and changes no other key.
// All in memory, so that a run costs no file system work. The input is the content, then,
// after NUL bytes, the section, the key and the value to write.
#include "app/ini_text.h"
#include "app/profile_values.h"
#include "data/cp1251.h"
#include "data/error.h"
#include "fuzz/fuzz_check.h"

#include <QString>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace lambreya;

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

    const IniText ini{QByteArray(content.data(), qsizetype(content.size()))};
    const std::vector<std::pair<QString, QString>> keys = namedKeys(content);
    std::vector<std::optional<QString>> before;
    for (const auto& [s, k] : keys)
        before.push_back(ini.value(s, k));
    (void)profile::readInteger(ini.value(u"Keyboard", u"Layout").value_or(QString()), 68748313);
    (void)profile::readBool(ini.value(u"Options", u"InstantSearch").value_or(QString()), false);

    QByteArray changed;
    try {
        changed = ini.withValue(section, key, value);
    } catch (const Error&) {
        return 0;
    }
    const IniText after(changed);
    fuzz::check(after.value(section, key) == value.left(IniText::kMaxValueLength),
                "the written value reads back");
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (sameName(keys[i].first, section) && sameName(keys[i].second, key))
            continue;
        fuzz::check(after.value(keys[i].first, keys[i].second) == before[i],
                    "a write changes no other key");
    }
    return 0;
}
