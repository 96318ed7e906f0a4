#include "app/keyboard_layout.h"

#include <QGuiApplication>

#include <array>

namespace lambreya {
namespace keyboard_layout {
namespace {

struct LanguageLayout {
    quint16 language;
    const char16_t* layout;
};

// Where a layout name serves several languages, the first entry is the one it reads back as.
constexpr std::array kLayouts{
    LanguageLayout{0x0419, u"ru"},  LanguageLayout{0x0409, u"us"}, LanguageLayout{0x0809, u"gb"},
    LanguageLayout{0x0422, u"ua"},  LanguageLayout{0x0423, u"by"}, LanguageLayout{0x0407, u"de"},
    LanguageLayout{0x0C07, u"at"},  LanguageLayout{0x0807, u"ch"}, LanguageLayout{0x040C, u"fr"},
    LanguageLayout{0x080C, u"be"},  LanguageLayout{0x0C0C, u"ca"}, LanguageLayout{0x0410, u"it"},
    LanguageLayout{0x0C0A, u"es"},  LanguageLayout{0x040A, u"es"}, LanguageLayout{0x0816, u"pt"},
    LanguageLayout{0x0416, u"br"},  LanguageLayout{0x0413, u"nl"}, LanguageLayout{0x0406, u"dk"},
    LanguageLayout{0x0414, u"no"},  LanguageLayout{0x041D, u"se"}, LanguageLayout{0x040B, u"fi"},
    LanguageLayout{0x040F, u"is"},  LanguageLayout{0x0415, u"pl"}, LanguageLayout{0x0405, u"cz"},
    LanguageLayout{0x041B, u"sk"},  LanguageLayout{0x040E, u"hu"}, LanguageLayout{0x0418, u"ro"},
    LanguageLayout{0x0818, u"md"},  LanguageLayout{0x0402, u"bg"}, LanguageLayout{0x041A, u"hr"},
    LanguageLayout{0x0C1A, u"rs"},  LanguageLayout{0x0424, u"si"}, LanguageLayout{0x042F, u"mk"},
    LanguageLayout{0x0425, u"ee"},  LanguageLayout{0x0426, u"lv"}, LanguageLayout{0x0427, u"lt"},
    LanguageLayout{0x0408, u"gr"},  LanguageLayout{0x041F, u"tr"}, LanguageLayout{0x043F, u"kz"},
    LanguageLayout{0x0443, u"uz"},  LanguageLayout{0x0440, u"kg"}, LanguageLayout{0x0428, u"tj"},
    LanguageLayout{0x0442, u"tm"},  LanguageLayout{0x0450, u"mn"}, LanguageLayout{0x0437, u"ge"},
    LanguageLayout{0x042B, u"am"},  LanguageLayout{0x042C, u"az"}, LanguageLayout{0x040D, u"il"},
    LanguageLayout{0x0401, u"ara"}, LanguageLayout{0x0429, u"ir"}, LanguageLayout{0x0439, u"in"},
    LanguageLayout{0x041E, u"th"},  LanguageLayout{0x042A, u"vn"}, LanguageLayout{0x0411, u"jp"},
    LanguageLayout{0x0412, u"kr"},  LanguageLayout{0x0804, u"cn"},
};

constexpr quint16 kPrimaryLanguageMask = 0x03FF;

QStringView withoutVariant(QStringView layout) {
    const qsizetype paren = layout.indexOf(u'(');
    return (paren >= 0 ? layout.left(paren) : layout).trimmed();
}

} // namespace

quint16 languageOf(KeyboardLayoutId id) {
    return static_cast<quint16>(static_cast<quint32>(id) & 0xFFFFu);
}

KeyboardLayoutId identifierForLanguage(quint16 language) {
    return static_cast<KeyboardLayoutId>((quint32{language} << 16) | language);
}

QString layoutNameForLanguage(quint16 language) {
    for (const LanguageLayout& entry : kLayouts) {
        if (entry.language == language)
            return QString::fromUtf16(entry.layout);
    }
    return {};
}

std::optional<quint16> languageForLayoutName(QStringView layout) {
    const QStringView name = withoutVariant(layout);
    if (name.isEmpty())
        return std::nullopt;
    for (const LanguageLayout& entry : kLayouts) {
        if (name.compare(QStringView(entry.layout), Qt::CaseInsensitive) == 0)
            return entry.language;
    }
    return std::nullopt;
}

XkbRulesNames parseRulesNames(QByteArrayView property) {
    std::array<QString, 5> fields;
    std::size_t field = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= property.size() && field < fields.size(); ++i) {
        if (i == property.size() || property[i] == '\0') {
            fields[field++] = QString::fromLatin1(property.sliced(start, i - start));
            start = i + 1;
        }
    }
    auto list = [](const QString& text) {
        return text.isEmpty() ? QStringList{} : text.split(u',');
    };
    return {fields[0], fields[1], list(fields[2]), list(fields[3]), fields[4]};
}

std::optional<int> groupForIdentifier(const QStringList& layouts, KeyboardLayoutId id) {
    const quint16 language = languageOf(id);
    const QString wanted = layoutNameForLanguage(language);
    if (!wanted.isEmpty()) {
        for (int group = 0; group < layouts.size(); ++group) {
            if (withoutVariant(layouts[group]).compare(wanted, Qt::CaseInsensitive) == 0)
                return group;
        }
    }
    for (int group = 0; group < layouts.size(); ++group) {
        const std::optional<quint16> other = languageForLayoutName(layouts[group]);
        if (other && (*other & kPrimaryLanguageMask) == (language & kPrimaryLanguageMask))
            return group;
    }
    return std::nullopt;
}

std::optional<KeyboardLayoutId> identifierForGroup(const QStringList& layouts, int group) {
    if (group < 0 || group >= layouts.size())
        return std::nullopt;
    const std::optional<quint16> language = languageForLayoutName(layouts[group]);
    if (!language)
        return std::nullopt;
    return identifierForLanguage(*language);
}

} // namespace keyboard_layout

std::unique_ptr<KeyboardLayouts> createKeyboardLayouts() {
    if (QGuiApplication::platformName() == u"xcb") {
        if (std::unique_ptr<KeyboardLayouts> x11 = createX11KeyboardLayouts())
            return x11;
    }
    return std::make_unique<RememberedKeyboardLayout>();
}

} // namespace lambreya
