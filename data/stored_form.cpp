#include "data/stored_form.h"

#include "data/binary_form.h"
#include "data/cp1251.h"
#include "data/xml_form.h"

#include <QFileInfo>

namespace lambreya {

StoredForm storedFormForName(const QString& fileName) {
    return QFileInfo(fileName).suffix().compare(QStringLiteral("xml"), Qt::CaseInsensitive) == 0
               ? StoredForm::Xml
               : StoredForm::Binary;
}

void checkFieldCount(std::size_t count) {
    if (count == 0)
        throw DataFormatError("в файле не описано ни одного поля");
    if (count > kMaxFieldCount)
        throw DataFormatError("в файле описано " + std::to_string(count) +
                              " полей, больше допустимого (" + std::to_string(kMaxFieldCount) +
                              ")");
}

void checkFieldDefinitions(const std::vector<FieldDef>& fields) {
    checkFieldCount(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& field = fields[i];
        const std::string number = std::to_string(i + 1);
        if (field.name.empty())
            throw DataFormatError("у поля " + number + " нет имени");
        if (field.name.size() > kMaxFieldNameLength)
            throw DataFormatError("имя поля " + number + " длиннее " +
                                  std::to_string(kMaxFieldNameLength) + " знаков");
        for (char c : field.name) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x98)
                throw DataFormatError("имя поля " + number + " содержит недопустимый знак");
        }
        if (field.width == 0 || field.width > kMaxFieldWidth)
            throw DataFormatError("у поля " + cp1251::toUtf8(field.name) + " недопустимая ширина " +
                                  std::to_string(field.width));
        for (std::size_t j = 0; j < i; ++j) {
            if (cp1251::equalsCaseBlind(fields[j].name, field.name))
                throw DataFormatError("поле " + cp1251::toUtf8(field.name) + " описано дважды");
        }
    }
}

std::string valueTooLong(const FieldDef& field, std::size_t recordIndex) {
    return "в записи " + std::to_string(recordIndex + 1) + " значение поля " +
           cp1251::toUtf8(field.name) + " длиннее его ширины (" + std::to_string(field.width) + ")";
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\r\n";

[[noreturn]] void refuseUnknownForm() {
    throw DataFormatError("это не файл справочника: формат не распознан");
}

} // namespace

StoredForm detectStoredForm(std::string_view bytes) {
    if (looksLikeBinaryForm(bytes))
        return StoredForm::Binary;
    if (looksLikeXmlForm(bytes))
        return StoredForm::Xml;
    refuseUnknownForm();
}

void checkStoredFormStart(std::string_view head, std::uint64_t fileSize) {
    std::string_view rest = head;
    if (rest.starts_with(kByteOrderMark))
        rest.remove_prefix(kByteOrderMark.size());
    if (rest.find_first_not_of(kBlanks) == std::string_view::npos)
        return; // blanks so far, or too short to tell: the whole file decides
    if (detectStoredForm(head) == StoredForm::Binary)
        checkBinaryFormHead(head, fileSize);
}

Directory parseDirectory(std::string_view bytes) {
    DirectoryReader reader;
    reader.arrived(bytes, true);
    return reader.finish(bytes);
}

DirectoryReader::DirectoryReader() = default;
DirectoryReader::~DirectoryReader() = default;

void DirectoryReader::arrived(std::string_view soFar, bool complete) {
    if (!m_decided) {
        std::string_view rest = soFar;
        if (!complete && rest.size() < kByteOrderMark.size() && kByteOrderMark.starts_with(rest))
            return;
        if (rest.starts_with(kByteOrderMark))
            rest.remove_prefix(kByteOrderMark.size());
        const std::size_t start = rest.find_first_not_of(kBlanks, m_blanks);
        if (start == std::string_view::npos) {
            m_blanks = rest.size();
            if (m_blanks > kMaxXmlPiece)
                refuseUnknownForm(); // more blanks than any form starts with
            if (!complete)
                return;
        }
        m_decided = true;
        if (looksLikeXmlForm(soFar))
            m_xml = std::make_unique<XmlFormReader>();
        else if (start != std::string_view::npos && rest.data() + start != soFar.data())
            refuseUnknownForm(); // the binary form starts with its magic, at the first byte
    }
    if (m_xml)
        m_xml->arrived(soFar, complete);
}

Directory DirectoryReader::finish(std::string_view bytes) {
    if (m_xml)
        return m_xml->take();
    if (detectStoredForm(bytes) == StoredForm::Binary)
        return parseBinaryForm(bytes);
    return parseXmlForm(bytes);
}

Bytes storeDirectory(const Directory& directory, StoredForm form) {
    checkFieldDefinitions(directory.fields);
    return form == StoredForm::Binary ? storeBinaryForm(directory) : storeXmlForm(directory);
}

} // namespace lambreya
