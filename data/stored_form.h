#pragma once

#include "data/directory.h"
#include "data/error.h"
#include "data/large_memory.h"

#include <QString>

#include <cstdint>
#include <memory>
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

class XmlFormReader;

// Reads either form while its file is read (readDataFile's `arrived`). A file in the XML form
// is read as its bytes arrive and refused as soon as they show a fault no later byte can
// mend (see XmlFormReader); the binary form, whose head is judged before the rest is read
// (checkStoredFormStart), is read once it is whole.
class DirectoryReader {
public:
    DirectoryReader();
    ~DirectoryReader();
    // `soFar` holds what the last call was given and what has been read since; `complete`
    // when that is the whole file. Throws DataFormatError.
    void arrived(std::string_view soFar, bool complete);
    // The directory of the whole file `bytes`, which the last call was given.
    Directory finish(std::string_view bytes);

private:
    std::unique_ptr<XmlFormReader> m_xml;
    bool m_decided = false;
    // Blanks that begin the file so far, behind a byte-order mark: the form is told by what
    // follows them.
    std::size_t m_blanks = 0;
};

StoredForm detectStoredForm(std::string_view bytes);
// Refuses, as detectStoredForm does, a file whose first bytes `head` already show that it
// holds neither form, and a binary file whose header does not fit its size `fileSize`; a
// head of blanks alone may still start an XML file.
void checkStoredFormStart(std::string_view head, std::uint64_t fileSize);

Bytes storeDirectory(const Directory& directory, StoredForm form);

} // namespace lambreya
