#include "data/stored_form.h"
#include "data/xml_canonical_reader.h"
#include "data/xml_form.h"

#include "support/directory_fixture.h"
#include "support/test_files.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace lambreya {
namespace {

using test::cp;
using test::Damage;
using test::makeDirectory;
using test::rechecksummed;

// Every byte value in some field, an eighth field, flags and markers.
Directory awkwardDirectory() {
    std::vector<FieldDef> fields = standardDirectoryFields();
    fields.push_back({"Nsa_extra", FieldType::Text, 300, true, false});
    fields[0].required = true;
    Directory dir =
        makeDirectory({{"ИВАНОВ", "И.И.", "ЛЕНИНА", "1", "2", "123-45-67", "", "ДОБАВОЧНОЕ"},
                       {"Д'АРТАНЬЯН & <СЫН>", "\"А\""},
                       {}},
                      fields);
    dir.markers.disableEdits = true;
    dir.markers.disableDeletes = true;
    std::string every;
    for (int b = 0; b < 256; ++b)
        every.push_back(static_cast<char>(b));
    dir.columns.set(dir.order[2], 7, every);                    // a long value, all bytes
    dir.columns.set(dir.order[2], 6, std::string("\r\n\t", 3)); // line breaks kept as they are
    dir.columns.set(dir.order[2], 0, std::string("A\0B", 3));
    return dir;
}

void expectSameDirectory(const Directory& a, const Directory& b) {
    EXPECT_EQ(a.fields, b.fields);
    EXPECT_EQ(a.markers, b.markers);
    ASSERT_EQ(a.order.size(), b.order.size());
    for (std::size_t r = 0; r < a.order.size(); ++r) {
        for (std::size_t f = 0; f < a.fields.size(); ++f)
            EXPECT_EQ(a.columns.value(a.order[r], f), b.columns.value(b.order[r], f))
                << "record " << r << " field " << f;
    }
}

// Gives `reader` the bytes as reading a file gives them, `part` more at a time: every byte so
// far, and whether that is all. `arrived` is left at how many had arrived at the last call.
template <typename Reader>
void giveInParts(Reader& reader, std::string_view bytes, std::size_t part, std::size_t& arrived) {
    arrived = 0;
    do {
        arrived = std::min(arrived + part, bytes.size());
        reader.arrived(bytes.substr(0, arrived), arrived == bytes.size());
    } while (arrived < bytes.size());
}

Directory readInParts(std::string_view bytes, std::size_t part, std::size_t& arrived) {
    DirectoryReader reader;
    giveInParts(reader, bytes, part, arrived);
    return reader.finish(bytes);
}

TEST(StoredForm, BothFormsKeepEveryByteEveryFieldAndEveryMarker) {
    const Directory dir = awkwardDirectory();
    for (StoredForm form : {StoredForm::Binary, StoredForm::Xml}) {
        const std::string bytes = test::stored(dir, form);
        EXPECT_EQ(detectStoredForm(bytes), form);
        expectSameDirectory(dir, parseDirectory(bytes));
    }
}

TEST(StoredForm, ConvertingBetweenTheFormsIsLossless) {
    const std::string binary = test::stored(awkwardDirectory(), StoredForm::Binary);
    const std::string xml = test::stored(parseDirectory(binary), StoredForm::Xml);
    EXPECT_EQ(test::stored(parseDirectory(xml), StoredForm::Binary), binary);
}

TEST(StoredForm, TheQuickXmlReaderAgreesWithTheGeneralOne) {
    Directory dir = awkwardDirectory();
    dir.markers.readOnly = true;
    const std::string xml = test::stored(dir, StoredForm::Xml);
    const std::optional<Directory> quick = readCanonicalXml(xml);
    ASSERT_TRUE(quick.has_value());
    expectSameDirectory(*quick, parseXmlFormGeneral(xml));
    expectSameDirectory(*quick, dir);
}

TEST(StoredForm, TheQuickXmlReaderLeavesAnythingElseToTheGeneralOne) {
    const std::string xml = test::stored(makeDirectory({{"ИВАНОВ"}, {"ПЕТРОВ"}}), StoredForm::Xml);
    auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = xml;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    // Written by hand: still the same directory. Records spaced otherwise are read by the
    // general reader; a head written otherwise is, and the records after it still quickly.
    for (const std::string& variant : {edited("<r>", "<r> "), edited("</v>", "</v >")}) {
        EXPECT_FALSE(readCanonicalXml(variant).has_value());
        expectSameDirectory(parseDirectory(variant), parseDirectory(xml));
    }
    for (const std::string& variant :
         {edited("<records", "<!-- note --><records"), edited(">\n<fields>", ">\r\n<fields>"),
          edited("version=\"1\" readonly=\"0\"", "readonly=\"0\"  version=\"1\""),
          edited("name=\"Nsa_famili\" type=\"text\"", "type=\"text\" name=\"Nsa_famili\"")}) {
        const std::optional<Directory> quick = readCanonicalXml(variant);
        ASSERT_TRUE(quick.has_value());
        expectSameDirectory(*quick, parseXmlFormGeneral(variant));
    }
    // Unsound: the general reader names the problem.
    for (const std::string& damaged : {edited("count=\"2\"", "count=\"5\""), xml.substr(0, 300)}) {
        EXPECT_FALSE(readCanonicalXml(damaged).has_value());
        EXPECT_THROW(parseDirectory(damaged), DataFormatError);
    }
    // A value longer than its field is refused by the quick reader itself, as soon as it is
    // seen, in the general reader's words.
    const std::string narrow = edited("width=\"30\"", "width=\"3\"");
    auto messageOf = [](auto&& read) {
        try {
            (void)read();
        } catch (const DataFormatError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    const std::string general = messageOf([&] { return parseXmlFormGeneral(narrow); });
    EXPECT_NE(general.find("длиннее его ширины"), std::string::npos) << general;
    EXPECT_EQ(messageOf([&] { return readCanonicalXml(narrow); }), general);
}

// A part's end falls in turn at every place of the file: inside a value, a reference, a hex
// value, a record's end, the head, a comment that spans parts.
TEST(StoredForm, AFileReadAsItArrivesGivesTheSameDirectory) {
    const Directory dir = awkwardDirectory();
    const std::string xml = test::stored(dir, StoredForm::Xml);
    const std::string binary = test::stored(dir, StoredForm::Binary);
    std::string otherHead = xml;
    otherHead.insert(otherHead.find("<records"), "<!--" + std::string(200, 'c') + "-->\n");
    const std::string otherRecords = otherHead + "<!-- -->\n";
    for (std::size_t part = 1; part <= 64; ++part) {
        SCOPED_TRACE(part);
        std::size_t arrived = 0;
        // The quick reader reads the program's records, after either head, as they come.
        for (const std::string& bytes : {xml, otherHead}) {
            CanonicalXmlReader quick;
            giveInParts(quick, bytes, part, arrived);
            ASSERT_EQ(quick.arrived(bytes, true), CanonicalXmlReader::Progress::Read);
            expectSameDirectory(quick.take(), dir);
        }
        for (const std::string& bytes : {xml, otherRecords, binary})
            expectSameDirectory(readInParts(bytes, part, arrived), dir);
    }
}

TEST(StoredForm, TheWrittenFormFollowsTheExtension) {
    EXPECT_EQ(storedFormForName(QStringLiteral("data.XML")), StoredForm::Xml);
    EXPECT_EQ(storedFormForName(QStringLiteral("/a/b/data.xMl")), StoredForm::Xml);
    EXPECT_EQ(storedFormForName(QStringLiteral("kalvest.cds")), StoredForm::Binary);
    EXPECT_EQ(storedFormForName(QStringLiteral("data.xml.bak")), StoredForm::Binary);
    EXPECT_EQ(storedFormForName(QStringLiteral("xml")), StoredForm::Binary);
    EXPECT_EQ(storedFormForName(QStringLiteral("dir.xml/data")), StoredForm::Binary);
}

TEST(StoredForm, TheXmlFormIsWellFormedForXmllint) {
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        GTEST_SKIP() << "xmllint is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.xml"));
    std::ofstream(path.toStdString(), std::ios::binary)
        << test::stored(awkwardDirectory(), StoredForm::Xml);
    QProcess lint;
    lint.start(xmllint, {QStringLiteral("--noout"), path});
    ASSERT_TRUE(lint.waitForFinished(30000));
    EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();
}

TEST(StoredForm, XmlWrittenByHandInUtf8IsRead) {
    const std::string xml = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<!-- written by hand -->\n"
                            "<directory version=\"1\">\n"
                            "  <fields><field name=\"Nsa_famili\" type=\"text\" width=\"10\"/>\n"
                            "  <field name=\"Nsa_tele\" type=\"text\" width=\"9\" required=\"1\"/>"
                            "</fields>\n"
                            "  <records>\n"
                            "    <r><v>ЁЛКИН</v><v><![CDATA[1<2]]></v></r>\n"
                            "    <r><v/><v hex=\"3132\"/></r>\n"
                            "  </records>\n"
                            "</directory>\n";
    const Directory dir = parseDirectory(xml);
    ASSERT_EQ(dir.order.size(), 2u);
    EXPECT_EQ(dir.columns.value(dir.order[0], 0), cp("ЁЛКИН"));
    EXPECT_EQ(dir.columns.value(dir.order[0], 1), "1<2");
    EXPECT_EQ(dir.columns.value(dir.order[1], 1), "12");
    EXPECT_TRUE(dir.fields[1].required);
}

TEST(StoredForm, AnEmptyValueTakesLittleMoreThanItsLengthByte) {
    constexpr std::uint32_t kRecords = 1u << 22; // each column a large block
    std::string binary("KVDIR\r\n\x1A\x01\0\0\0\x01\0\x08Nsa_prim\x01\x28\0\0", 27);
    for (int i = 0; i < 4; ++i)
        binary.push_back(static_cast<char>((kRecords >> (8 * i)) & 0xFF));
    binary.append(std::size_t{kRecords} * 2 + 4, '\0'); // every length 0, then the checksum
    const std::size_t before = largeMemoryInUse();
    const Directory dir = parseDirectory(rechecksummed(binary));
    const std::size_t values = largeMemoryInUse() - before - kRecords * sizeof(RecordId);
    EXPECT_LE(values, kRecords + kRecords / 4) << "bytes for " << kRecords << " empty values";
    EXPECT_EQ(dir.columns.value(dir.order.back(), 0), "");
}

std::vector<Damage> damages() {
    const Directory dir = makeDirectory({{"ИВАНОВ", "И.И."}, {"ПЕТРОВ"}});
    const std::string binary = test::stored(dir, StoredForm::Binary);
    const std::string xml = test::stored(dir, StoredForm::Xml);
    // Patterns are written in UTF-8, the file holds code page 1251.
    auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(cp(from));
        if (at == std::string::npos)
            throw std::logic_error("pattern not in the file: " + from);
        text.replace(at, cp(from).size(), cp(to));
        return text;
    };
    std::string flipped = binary;
    flipped[binary.size() / 2] = static_cast<char>(flipped[binary.size() / 2] ^ 0x40);
    // Header: magic 8, version 2, flags 2, field count 2; then the fields.
    std::string hugeCount = binary;
    const std::size_t countAt = 14 + kDirectoryFieldCount * 5 + (10 + 10 + 10 + 8 + 8 + 8 + 8);
    hugeCount[countAt + 3] = '\x7F';
    std::string noFields = binary.substr(0, 12) + std::string("\0\0\0\0\0\0", 6);
    std::string badVersion = binary;
    badVersion[8] = 9;
    std::string manyAttributes; // the general reader's time grows with their square
    for (int i = 0; i < 20000; ++i)
        manyAttributes += " a" + std::to_string(i) + "=\"\"";
    std::string tooWide = binary;
    tooWide[14 + 1 + 10 + 1] = 3; // Nsa_famili width 3: ИВАНОВ no longer fits
    return {
        {"Empty", "", "формат не распознан"},
        {"Foreign", "PK\x03\x04 not a directory", "формат не распознан"},
        {"CutBinary", binary.substr(0, binary.size() - 7), "контрольная сумма"},
        {"CutToMagic", binary.substr(0, 9), "обрезан"},
        {"FlippedByte", flipped, "контрольная сумма"},
        {"CutBehindChecksum", rechecksummed(binary.substr(0, binary.size() - 9) + "xxxx"),
         "обрезан"},
        {"AbsurdRecordCount", rechecksummed(hugeCount), "число записей"},
        {"NoFields", rechecksummed(noFields + "xxxx"), "ни одного поля"},
        {"UnknownVersion", rechecksummed(badVersion), "версия формата 9"},
        {"BinaryValueTooLong", rechecksummed(tooWide), "длиннее его ширины"},
        {"MalformedXml", replaced(xml, "</r>", "</x>"), "XML"},
        {"CutXml", xml.substr(0, xml.size() / 2), "XML"},
        {"MissingValue", replaced(xml, "<v>П", "<x/><v>П"), "ожидался элемент <v>"},
        {"TooFewValues", replaced(xml, "<r><v>И", "<r><v>И</v></r><r><v>И"), "значений"},
        {"XmlValueTooLong", replaced(xml, "ИВАНОВ", std::string(31, 'X')), "длиннее его ширины"},
        {"XmlNoFields",
         "<?xml version=\"1.0\"?><directory version=\"1\"><fields/><records/></directory>",
         "ни одного поля"},
        {"DuplicateField", replaced(xml, "Nsa_initsi", "NSA_FAMILI"), "описано дважды"},
        {"WrongCount", replaced(xml, "count=\"2\"", "count=\"3\""), "объявлено 3"},
        {"Dtd", replaced(xml, "<directory", "<!DOCTYPE d [<!ENTITY e \"x\">]><directory"), "DTD"},
        {"BadHex", replaced(xml, "<v>П", "<v hex=\"4G\"/><v>П"), "шестнадцатеричн"},
        {"TextAfterEnd", xml + "<directory/>", "XML, строка 17"},
        {"ManyAttributes", replaced(xml, "<directory", "<directory" + manyAttributes),
         "XML, строка 2: у элемента больше 16 атрибутов"},
        // Refused at the width + 1st byte, with the line of the record, whichever reader
        // meets it; beyond what any value can take, a piece is refused unread.
        {"XmlValueFarTooLong", replaced(xml, "ИВАНОВ", std::string(4 << 20, 'X')),
         "XML, строка 13: в записи 1 значение поля Nsa_famili длиннее его ширины (30)"},
        {"XmlValueFarTooLongAfterAHeadWrittenOtherwise",
         replaced(replaced(xml, "ИВАНОВ", std::string(4 << 20, 'X')), "<fields>", "\n\n<fields>"),
         "XML, строка 15: в записи 1 значение поля Nsa_famili длиннее его ширины (30)"},
        {"XmlValueFarTooLongInOtherSpacing",
         replaced(replaced(xml, "ИВАНОВ", std::string(4 << 20, 'X')), "<r>", "<r >"),
         "XML, строка 13: текст длиннее 1 МиБ"},
        {"XmlHugeComment",
         replaced(xml, "<records", "<!--" + std::string(4 << 20, 'c') + "--><records"),
         "XML, строка 12: комментарий длиннее 1 МиБ"},
        {"XmlHugeTag", replaced(xml, "<r>", "<r a=\"" + std::string(4 << 20, 'a') + "\">"),
         "XML, строка 13: элемент длиннее 1 МиБ"},
    };
}

class DamagedFile : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedFile, IsRejectedWithAMessageThatNamesTheProblem) {
    const Damage& damage = GetParam();
    test::expectRefused([](const std::string& bytes) { return parseDirectory(bytes); }, damage);
    // Read as it arrives, a part's end inside its pieces, in the same words; a large file,
    // its fault a long piece near its start, before the rest has arrived.
    const bool large = damage.bytes.size() > (std::size_t{2} << 20);
    const std::size_t part = large ? (std::size_t{1} << 20) + 7 : 7;
    std::size_t arrived = 0;
    test::expectRefused([&](const std::string& bytes) { return readInParts(bytes, part, arrived); },
                        damage);
    if (large) {
        EXPECT_LT(arrived, damage.bytes.size());
    }
}

INSTANTIATE_TEST_SUITE_P(StoredForm, DamagedFile, ::testing::ValuesIn(damages()), test::damageName);

} // namespace
} // namespace lambreya
