#pragma once

#include <cstdint>
#include <string>
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

// The seven fields of a directory record, in the order of the screen and the paper.
enum class DirectoryField : int {
    Famili,
    Initsi,
    Street,
    Home,
    Room,
    Tele,
    Prim,
};
inline constexpr int kDirectoryFieldCount = 7;

// The field definitions a new directory gets: names and widths of the seven fields.
std::vector<FieldDef> standardDirectoryFields();

} // namespace lambreya
