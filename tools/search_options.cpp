#include "tools/search_options.h"

#include "data/error.h"
#include "search/box_text.h"

#include <cctype>
#include <utility>

namespace lambreya::tools {
namespace {

// The short names of the boxes: the part of each box's name after its underscore.
std::string boxNames() {
    std::string names;
    for (std::string_view name : kSearchBoxNames) {
        if (!names.empty())
            names += ", ";
        std::string suffix(name.substr(name.find('_') + 1));
        for (char& c : suffix)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        names += suffix;
    }
    return names;
}

} // namespace

BoxText parseBoxText(const QString& argument, const std::string& option) {
    const qsizetype equals = argument.indexOf(QLatin1Char('='));
    if (equals < 0)
        throw Error("Параметру " + option + " нужно значение вида ПОЛЕ=ТЕКСТ, а дано " +
                    argument.toStdString());
    const QString name = argument.left(equals);
    for (std::size_t i = 0; i < kSearchBoxNames.size(); ++i) {
        const std::string_view boxName = kSearchBoxNames[i];
        const std::string suffix(boxName.substr(boxName.find('_') + 1));
        if (name.compare(QString::fromLatin1(suffix), Qt::CaseInsensitive) != 0)
            continue;
        const QString text = searchBoxCapitals(argument.mid(equals + 1));
        return {i, toCodePage(text, "Текст поля " + name.toStdString())};
    }
    throw Error("Неизвестное поле поиска " + name.toStdString() + "; есть поля " + boxNames());
}

std::array<std::string, kSearchBoxCount> searchBoxTexts(const Arguments& a) {
    std::array<std::string, kSearchBoxCount> texts;
    std::array<bool, kSearchBoxCount> given{};
    for (const QString& argument : a.values("--search")) {
        BoxText box = parseBoxText(argument, "--search");
        if (std::exchange(given[box.box], true))
            throw Error("Поле поиска " +
                        argument.left(argument.indexOf(QLatin1Char('='))).toStdString() +
                        " задано больше одного раза");
        texts[box.box] = std::move(box.text);
    }
    return texts;
}

std::string searchFilterTextOf(const std::array<std::string, kSearchBoxCount>& boxes) {
    std::array<std::string_view, kSearchBoxCount> views;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        views[i] = boxes[i];
    return searchFilterText(views);
}

} // namespace lambreya::tools
