#include "data/field_def.h"

namespace lambreya {

std::vector<FieldDef> standardDirectoryFields() {
    // Widths fit the longest values a city directory holds: a double surname, initials
    // with blanks, a long street name, house numbers with a letter and a building,
    // four-digit flats, telephone numbers written 123-45-67, and a short remark.
    return {
        {"Nsa_famili", FieldType::Text, 30, false, false},
        {"Nsa_initsi", FieldType::Text, 6, false, false},
        {"Nsa_street", FieldType::Text, 40, false, false},
        {"Nsa_home", FieldType::Text, 7, false, false},
        {"Nsa_room", FieldType::Text, 5, false, false},
        {"Nsa_tele", FieldType::Text, 9, false, false},
        {"Nsa_prim", FieldType::Text, 40, false, false},
    };
}

} // namespace lambreya
