#include "tools/directory_generator.h"

#include "data/cp1251.h"

#include <array>
#include <string>
#include <vector>

namespace lambreya {
namespace {

// Masculine surnames; the feminine form is made by the usual endings.
constexpr std::array kSurnames = {
    "ИВАНОВ",     "СМИРНОВ",    "КУЗНЕЦОВ",   "ПОПОВ",      "ВАСИЛЬЕВ",   "ПЕТРОВ",
    "СОКОЛОВ",    "МИХАЙЛОВ",   "НОВИКОВ",    "ФЁДОРОВ",    "МОРОЗОВ",    "ВОЛКОВ",
    "АЛЕКСЕЕВ",   "ЛЕБЕДЕВ",    "СЕМЁНОВ",    "ЕГОРОВ",     "ПАВЛОВ",     "КОЗЛОВ",
    "СТЕПАНОВ",   "НИКОЛАЕВ",   "ОРЛОВ",      "АНДРЕЕВ",    "МАКАРОВ",    "НИКИТИН",
    "ЗАХАРОВ",    "ЗАЙЦЕВ",     "СОЛОВЬЁВ",   "БОРИСОВ",    "ЯКОВЛЕВ",    "ГРИГОРЬЕВ",
    "РОМАНОВ",    "ВОРОБЬЁВ",   "СЕРГЕЕВ",    "КУЗЬМИН",    "ФРОЛОВ",     "АЛЕКСАНДРОВ",
    "ДМИТРИЕВ",   "КОРОЛЁВ",    "ГУСЕВ",      "КИСЕЛЁВ",    "ИЛЬИН",      "МАКСИМОВ",
    "ПОЛЯКОВ",    "СОРОКИН",    "ВИНОГРАДОВ", "КОВАЛЁВ",    "БЕЛОВ",      "МЕДВЕДЕВ",
    "АНТОНОВ",    "ТАРАСОВ",    "ЖУКОВ",      "БАРАНОВ",    "ФИЛИППОВ",   "КОМАРОВ",
    "ДАВЫДОВ",    "БЕЛЯЕВ",     "ГЕРАСИМОВ",  "БОГДАНОВ",   "ОСИПОВ",     "СИДОРОВ",
    "МАТВЕЕВ",    "ТИТОВ",      "МАРКОВ",     "МИРОНОВ",    "КРЫЛОВ",     "КУЛИКОВ",
    "КАРПОВ",     "ВЛАСОВ",     "МЕЛЬНИКОВ",  "ДЕНИСОВ",    "ГАВРИЛОВ",   "ТИХОНОВ",
    "КАЗАКОВ",    "АФАНАСЬЕВ",  "ДАНИЛОВ",    "САВЕЛЬЕВ",   "ТИМОФЕЕВ",   "ФОМИН",
    "ЧЕРНОВ",     "АБРАМОВ",    "МАРТЫНОВ",   "ЕФИМОВ",     "ФЕДОТОВ",    "ЩЕРБАКОВ",
    "НАЗАРОВ",    "КАЛИНИН",    "ИСАЕВ",      "ЧЕРНЫШЁВ",   "БЫКОВ",      "МАСЛОВ",
    "РОДИОНОВ",   "КОНОВАЛОВ",  "ЛАЗАРЕВ",    "ВОРОНИН",    "КЛИМОВ",     "ФИЛАТОВ",
    "ПОНОМАРЁВ",  "ГОЛУБЕВ",    "КУДРЯВЦЕВ",  "ПРОХОРОВ",   "НАУМОВ",     "ПОТАПОВ",
    "ЖУРАВЛЁВ",   "ОВЧИННИКОВ", "ТРОФИМОВ",   "ЛЕОНОВ",     "СОБОЛЕВ",    "ЕРМАКОВ",
    "КОЛЕСНИКОВ", "ГОНЧАРОВ",   "ЕМЕЛЬЯНОВ",  "НИКИФОРОВ",  "ГРАЧЁВ",     "КОТОВ",
    "ГРИШИН",     "ЕФРЕМОВ",    "АРХИПОВ",    "ГРОМОВ",     "КИРИЛЛОВ",   "МАЛЫШЕВ",
    "ПАНОВ",      "МОИСЕЕВ",    "РУМЯНЦЕВ",   "АКИМОВ",     "КОНДРАТЬЕВ", "БИРЮКОВ",
    "ГОРБУНОВ",   "АНИСИМОВ",   "ЕРЕМИН",     "ТИХОМИРОВ",  "ГАЛКИН",     "ЛУКЬЯНОВ",
    "МИХЕЕВ",     "СКВОРЦОВ",   "ЮДИН",       "БЕЛОУСОВ",   "НЕСТЕРОВ",   "СИМОНОВ",
    "ПРОКОФЬЕВ",  "ХАРИТОНОВ",  "КНЯЗЕВ",     "ЦВЕТКОВ",    "ЛЕВИН",      "МИТРОФАНОВ",
    "ВОРОНОВ",    "АКСЁНОВ",    "СОФРОНОВ",   "МАЛЬЦЕВ",    "ЛОГИНОВ",    "ГОРШКОВ",
    "САВИН",      "КРАСНОВ",    "МАЙОРОВ",    "ДЕМИДОВ",    "ЕЛИСЕЕВ",    "РЫБАКОВ",
    "САФОНОВ",    "ПЛОТНИКОВ",  "ДЁМИН",      "ХОХЛОВ",     "ЖДАНОВ",     "РУСАКОВ",
    "ШАРОВ",      "КОВАЛЕНКО",  "ШЕВЧЕНКО",   "БОНДАРЕНКО", "ТКАЧЕНКО",   "КРАВЧЕНКО",
    "ЛЫСЕНКО",    "ОСТРОВСКИЙ", "ТРУБЕЦКОЙ",  "ВЫСОЦКИЙ",   "ГУРЬЯНОВ",   "Д'АРТАНЬЯН",
};

constexpr std::array kInitialLetters = {
    "А", "Б", "В", "Г", "Д", "Е", "Ж", "З", "И", "К", "Л",
    "М", "Н", "О", "П", "Р", "С", "Т", "Ф", "Э", "Ю", "Я",
};

constexpr std::array kStreets = {
    "ЛЕНИНА",         "СОВЕТСКАЯ",       "МИРА",
    "ПУШКИНА",        "ГАГАРИНА",        "ЛЕСНАЯ",
    "САДОВАЯ",        "ШКОЛЬНАЯ",        "МОЛОДЁЖНАЯ",
    "ЦЕНТРАЛЬНАЯ",    "НОВАЯ",           "НАБЕРЕЖНАЯ",
    "ЗАВОДСКАЯ",      "ПОЛЕВАЯ",         "СТРОИТЕЛЕЙ",
    "КИРОВА",         "ЧАПАЕВА",         "ГОРЬКОГО",
    "ЛЕРМОНТОВА",     "ЧЕХОВА",          "КОМСОМОЛЬСКАЯ",
    "ОКТЯБРЬСКАЯ",    "ПЕРВОМАЙСКАЯ",    "СВЕРДЛОВА",
    "ДЗЕРЖИНСКОГО",   "КАРЛА МАРКСА",    "ФРУНЗЕ",
    "ЖУКОВСКОГО",     "ВОКЗАЛЬНАЯ",      "РАБОЧАЯ",
    "ПРОФСОЮЗНАЯ",    "ТОЛСТОГО",        "КОСМОНАВТОВ",
    "ПОБЕДЫ",         "ЮБИЛЕЙНАЯ",       "ЗЕЛЁНАЯ",
    "ВЕСЁЛАЯ",        "СОЛНЕЧНАЯ",       "СТЕПНАЯ",
    "РЕЧНАЯ",         "ПАРКОВАЯ",        "ЛУГОВАЯ",
    "ПРОЛЕТАРСКАЯ",   "КРАСНОАРМЕЙСКАЯ", "ГОГОЛЯ",
    "СУВОРОВА",       "КУТУЗОВА",        "МАЯКОВСКОГО",
    "ЕСЕНИНА",        "ТУРГЕНЕВА",       "НЕКРАСОВА",
    "ЛОМОНОСОВА",     "МИЧУРИНА",        "ТИМИРЯЗЕВА",
    "ПАВЛОВА",        "КОРОЛЁВА",        "ТЕРЕШКОВОЙ",
    "ЧКАЛОВА",        "ОСТРОВСКОГО",     "ШЕВЧЕНКО",
    "50 ЛЕТ ОКТЯБРЯ", "8 МАРТА",         "1 МАЯ",
    "МАРШАЛА ЖУКОВА", "БОЛЬШАЯ САДОВАЯ", "МАЛАЯ ПОКРОВСКАЯ",
    "НИЖНЕ-ВОЛЖСКАЯ", "ВЕРХНЯЯ",         "ЗАРЕЧНАЯ",
    "ТРАКТОВАЯ",      "ПР. ЭНТУЗИАСТОВ", "ПР. СТРОИТЕЛЕЙ",
    "ПЕР. ТИХИЙ",     "ПЕР. КРИВОЙ",     "Б-Р ПРИМОРСКИЙ",
};

constexpr std::array kRemarks = {
    "СЛУЖ.", "ДОМ.", "ИНВ.", "ВЕТЕРАН", "ВРАЧ", "2 ЛИНИИ", "ФАКС", "ПАРАЛЛ.", "ДЕЖ.", "МОБ. НЕТ",
};

constexpr std::array kHouseLetters = {"А", "Б", "В", "К1", "К2", "/1", "/2", "/3"};

// A small, fully specified generator, so that a seed means the same data everywhere.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed)
        : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    std::uint64_t m_state;
};

template <std::size_t N>
std::vector<std::string> encoded(const std::array<const char*, N>& texts) {
    std::vector<std::string> out;
    for (const char* text : texts)
        out.push_back(*cp1251::fromUtf8(text));
    return out;
}

std::string feminine(const std::string& surname) {
    const std::string ending2 = surname.size() >= 2 ? surname.substr(surname.size() - 2) : "";
    const auto is = [](const std::string& text, const char* utf8) {
        return text == *cp1251::fromUtf8(utf8);
    };
    if (is(ending2, "ИЙ") || is(ending2, "ОЙ"))
        return surname.substr(0, surname.size() - 2) + *cp1251::fromUtf8("АЯ");
    if (is(ending2, "КО") || is(ending2, "ЯН"))
        return surname;
    return surname + *cp1251::fromUtf8("А");
}

std::string digits(SplitMix64& rng, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<char>('0' + rng.below(10)));
    return out;
}

} // namespace

Directory generateDirectory(std::size_t records, std::uint64_t seed) {
    static const std::vector<std::string> surnames = encoded(kSurnames);
    static const std::vector<std::string> letters = encoded(kInitialLetters);
    static const std::vector<std::string> streets = encoded(kStreets);
    static const std::vector<std::string> remarks = encoded(kRemarks);
    static const std::vector<std::string> houseLetters = encoded(kHouseLetters);

    SplitMix64 rng(seed);
    Directory dir;
    dir.fields = standardDirectoryFields();
    dir.columns = ColumnStore(dir.fields.size());
    dir.order.reserve(records);
    std::string value;
    for (std::size_t r = 0; r < records; ++r) {
        const RecordId id = dir.columns.add();
        dir.order.push_back(id);

        const std::string& surname = surnames[rng.below(surnames.size())];
        dir.columns.set(id, 0, rng.chance(48) ? feminine(surname) : surname);

        value = letters[rng.below(letters.size())] + "." + letters[rng.below(letters.size())] + ".";
        dir.columns.set(id, 1, value);

        dir.columns.set(id, 2, streets[rng.below(streets.size())]);

        value = std::to_string(1 + rng.below(rng.chance(80) ? 60 : 250));
        if (rng.chance(12))
            value += houseLetters[rng.below(houseLetters.size())];
        dir.columns.set(id, 3, value);

        if (!rng.chance(15)) // private houses have no flat
            dir.columns.set(id, 4, std::to_string(1 + rng.below(rng.chance(85) ? 120 : 600)));

        if (!rng.chance(3))
            dir.columns.set(id, 5, digits(rng, 3) + "-" + digits(rng, 2) + "-" + digits(rng, 2));

        if (rng.chance(6))
            dir.columns.set(id, 6, remarks[rng.below(remarks.size())]);
    }
    return dir;
}

} // namespace lambreya
