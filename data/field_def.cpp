#include "data/field_def.h"

namespace lambreya {

std::vector<FieldDef> standardDirectoryFields() {
    std::vector<FieldDef> fields;
    for (const DirectoryField& field : kDirectoryFields)
        fields.push_back({std::string(field.name), FieldType::Text, field.width, false, false});
    return fields;
}

} // namespace lambreya
