#pragma once

#include "data/directory.h"
#include "data/error.h"
#include "data/large_memory.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace lambreya {

// The two stored forms of a directory: a compact binary form and an XML text form.
enum class StoredForm {
    Binary,
    Xml,
};

// The form a file of that name is written in: XML when the extension is ".xml" in any
// letter case, the binary form for every other name.
StoredForm storedFormForName(const QString& fileName);

inline constexpr std::size_t kMaxFieldCount = 1024;

// Checks shared by both forms; each throws DataFormatError naming what is wrong.
void checkFieldCount(std::size_t count);
void checkFieldDefinitions(const std::vector<FieldDef>& fields);
std::string valueTooLong(const FieldDef& field, std::size_t recordIndex);

// Reads either form, told apart by the content. Throws DataFormatError.
Directory parseDirectory(std::string_view bytes);
StoredForm detectStoredForm(std::string_view bytes);
// Refuses, as detectStoredForm does, a file whose first bytes `head` already show that it
// holds neither form, and a binary file whose header does not fit its size `fileSize`; a
// head of blanks alone may still start an XML file.
void checkStoredFormStart(std::string_view head, std::uint64_t fileSize);

Bytes storeDirectory(const Directory& directory, StoredForm form);

} // namespace lambreya
