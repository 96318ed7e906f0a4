#include "report/report_definition.h"

#include <array>

namespace lambreya {
namespace {

constexpr QRgb kNavy = qRgb(0, 0, 128);

// Font indices of the elements below.
enum Font {
    kHeading,        // "Times New Roman" 12 pt bold, navy
    kCaption,        // "Courier New" 12 pt bold
    kText,           // "Times New Roman" 10 pt bold
    kItalicText,     // "Times New Roman" 10 pt bold italic
    kUnderlinedText, // "Times New Roman" 10 pt bold underlined
};

const ReportFonts& fonts() {
    static const ReportFonts table{
        {QStringLiteral("Times New Roman"), 12, true, false, false, kNavy},
        {QStringLiteral("Courier New"), 12, true, false, false, qRgb(0, 0, 0)},
        {QStringLiteral("Times New Roman"), 10, true, false, false, qRgb(0, 0, 0)},
        {QStringLiteral("Times New Roman"), 10, true, true, false, qRgb(0, 0, 0)},
        {QStringLiteral("Times New Roman"), 10, true, false, true, qRgb(0, 0, 0)},
    };
    return table;
}

using enum ElementKind;
using enum Alignment;

// The page header, in paint order: the flat filter comes before the house filter.
constexpr std::array<ReportElement, 19> kHeaderElements{{
    {"QRLabel1", Label, 230, 6, 185, 20, "Ламбрея", kHeading, Left, true},
    {"QRLabel2", Label, 6, 32, 151, 19, "Условия поиска:", kCaption, Left, true},
    {"QRSysData2", PageNumber, 634, 6, 75, 16, "Лист ", kText, Left, true},
    {"FamiliFilter_QRLabel", Label, 6, 58, 67, 16, "", kText, Left, true},
    {"InitsiFilter_QRLabel", Label, 134, 58, 20, 16, "", kText, Left, true},
    {"StreetFilter_QRLabel", Label, 173, 58, 65, 17, "", kItalicText, Left, true},
    {"RoomFilter_QRLabel", Label, 416, 58, 34, 17, "", kItalicText, Left, true},
    {"HomeFilter_QRLabel", Label, 358, 58, 34, 17, "", kItalicText, Left, true},
    {"TeleFilter_QRLabel", Label, 474, 58, 56, 16, "", kText, Left, true},
    {"PrimFilter_QRLabel", Label, 538, 58, 60, 16, "", kText, Left, true},
    {"QRSysData1", DateTime, 493, 6, 66, 16, "", kText, Left, true},
    {"QRLabel3", Label, 6, 90, 181, 19, "Результаты поиска:", kCaption, Left, true},
    {"QRLabel4", Label, 9, 109, 56, 16, "Фамилия", kUnderlinedText, Left, true},
    {"QRLabel5", Label, 134, 109, 26, 16, "И.О.", kUnderlinedText, Left, true},
    {"QRLabel7", Label, 365, 109, 25, 16, "Дом", kUnderlinedText, Left, true},
    {"QRLabel8", Label, 410, 109, 54, 16, "Квартира", kUnderlinedText, Left, true},
    {"QRLabel9", Label, 474, 109, 50, 16, "Телефон", kUnderlinedText, Left, true},
    {"QRLabel10", Label, 538, 109, 50, 17, "Примеч.", kItalicText, Left, true},
    {"QRLabel6", Label, 230, 109, 38, 16, "Улица", kUnderlinedText, Left, true},
}};

constexpr std::array<ReportElement, 7> kDetailElements{{
    {"QRDBText1", Field, 6, 3, 61, 16, "Nsa_famili", kText, Left, true},
    {"QRDBText2", Field, 134, 3, 26, 16, "Nsa_initsi", kText, Centre, false},
    {"QRDBText3", Field, 173, 3, 59, 17, "Nsa_street", kItalicText, Left, true},
    {"QRDBText4", Field, 358, 3, 42, 17, "Nsa_home", kItalicText, Centre, false},
    {"QRDBText5", Field, 410, 3, 60, 17, "Nsa_room", kItalicText, Centre, false},
    {"QRDBText6", Field, 477, 3, 50, 16, "Nsa_tele", kText, Centre, false},
    {"QRDBText7", Field, 541, 3, 56, 16, "Nsa_prim", kText, Left, false},
}};

} // namespace

const ReportDefinition& searchResultsReport() {
    static const ReportDefinition definition{
        .marginTop = 1000,
        .marginBottom = 1000,
        .marginLeft = 1000,
        .bandWidth = 718,
        .fonts = fonts(),
        .pageHeader = {"PageHeaderBand1", 131, kHeaderElements, true},
        .detail = {"DetailBand1", 23, kDetailElements, false},
        .pageFooter = {"PageFooterBand1", 26, {}, false},
    };
    return definition;
}

} // namespace lambreya
