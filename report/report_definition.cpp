#include "report/report_definition.h"

#include "data/field_def.h"

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
    {kDirectoryFields[0].filterLabel, Label, 6, 58, 67, 16, "", kText, Left, true},
    {kDirectoryFields[1].filterLabel, Label, 134, 58, 20, 16, "", kText, Left, true},
    {kDirectoryFields[2].filterLabel, Label, 173, 58, 65, 17, "", kItalicText, Left, true},
    {kDirectoryFields[4].filterLabel, Label, 416, 58, 34, 17, "", kItalicText, Left, true},
    {kDirectoryFields[3].filterLabel, Label, 358, 58, 34, 17, "", kItalicText, Left, true},
    {kDirectoryFields[5].filterLabel, Label, 474, 58, 56, 16, "", kText, Left, true},
    {kDirectoryFields[6].filterLabel, Label, 538, 58, 60, 16, "", kText, Left, true},
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
    {kDirectoryFields[0].reportField, Field, 6, 3, 61, 16, kDirectoryFields[0].name, kText, Left,
     true},
    {kDirectoryFields[1].reportField, Field, 134, 3, 26, 16, kDirectoryFields[1].name, kText,
     Centre, false},
    {kDirectoryFields[2].reportField, Field, 173, 3, 59, 17, kDirectoryFields[2].name, kItalicText,
     Left, true},
    {kDirectoryFields[3].reportField, Field, 358, 3, 42, 17, kDirectoryFields[3].name, kItalicText,
     Centre, false},
    {kDirectoryFields[4].reportField, Field, 410, 3, 60, 17, kDirectoryFields[4].name, kItalicText,
     Centre, false},
    {kDirectoryFields[5].reportField, Field, 477, 3, 50, 16, kDirectoryFields[5].name, kText,
     Centre, false},
    {kDirectoryFields[6].reportField, Field, 541, 3, 56, 16, kDirectoryFields[6].name, kText, Left,
     false},
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
