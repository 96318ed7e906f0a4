#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lambreya {

enum class FieldType : std::uint8_t {
    Text = 1,
};

// Widths are counted in characters, which are bytes in code page 1251.
inline constexpr std::uint32_t kMaxFieldWidth = 65535;
inline constexpr std::size_t kMaxFieldNameLength = 255;

// One field of the directory as the data file describes it.
struct FieldDef {
    std::string name; // code page 1251
    FieldType type = FieldType::Text;
    std::uint32_t width = 0;
    bool readOnly = false;
    bool required = false;

    friend bool operator==(const FieldDef&, const FieldDef&) = default;
};

// Marks the data file carries for the whole set. The program obeys them and never sets them.
struct SetMarkers {
    bool readOnly = false;
    bool disableEdits = false;   // "DISABLE_EDITS"
    bool disableInserts = false; // "DISABLE_INSERTS"
    bool disableDeletes = false; // "DISABLE_DELETES"

    friend bool operator==(const SetMarkers&, const SetMarkers&) = default;
};

// One field of the directory record as the program knows it.
struct DirectoryField {
    std::string_view name;        // as the data file names it
    std::uint32_t width;          // in characters, in a directory the program creates
    std::string_view title;       // UTF-8: above the grid's column
    std::string_view searchBox;   // the search box whose text narrows the view by the field
    std::string_view reportField; // the report's element that prints the field on each line
    std::string_view filterLabel; // the report's label that shows the search box's text
};

// The seven fields of a directory record, in the order of the screen and the paper. Widths
// fit the longest values a city directory holds: a double surname, initials with blanks, a
// long street name, house numbers with a letter and a building, four-digit flats,
// telephone numbers written 123-45-67, and a short remark.
inline constexpr std::array<DirectoryField, 7> kDirectoryFields = {{
    {"Nsa_famili", 30, "Фамилия", "Edit1_Famili", "QRDBText1", "FamiliFilter_QRLabel"},
    {"Nsa_initsi", 6, "И.О.", "Edit2_Initsi", "QRDBText2", "InitsiFilter_QRLabel"},
    {"Nsa_street", 40, "Улица", "Edit3_Street", "QRDBText3", "StreetFilter_QRLabel"},
    {"Nsa_home", 7, "Дом", "Edit4_Home", "QRDBText4", "HomeFilter_QRLabel"},
    {"Nsa_room", 5, "Квартира", "Edit5_Room", "QRDBText5", "RoomFilter_QRLabel"},
    {"Nsa_tele", 9, "Телефон", "Edit6_Tele", "QRDBText6", "TeleFilter_QRLabel"},
    {"Nsa_prim", 40, "Примеч.", "Edit7_Prim", "QRDBText7", "PrimFilter_QRLabel"},
}};
inline constexpr int kDirectoryFieldCount = static_cast<int>(kDirectoryFields.size());

// The field definitions a new directory gets: the seven fields with their names and widths.
std::vector<FieldDef> standardDirectoryFields();

} // namespace lambreya
