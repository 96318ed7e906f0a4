// kalvest-data driven as a user would: the real program, files in a temporary folder.
#include "tools/csv.h"
#include "tools/directory_generator.h"

#include "data/record_set.h"
#include "data/stored_form.h"
#include "support/directory_fixture.h"
#include "support/test_text.h"

#include "support/run_kalvest_data.h"
#include "support/test_files.h"
#include <QFile>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace lambreya {
namespace {

using namespace Qt::Literals::StringLiterals;

using test::ProcessResult;

class KalvestDataTest : public ::testing::Test {
protected:
    static ProcessResult kalvestData(const QStringList& args) { return test::runKalvestData(args); }

    QString path(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
    QString path(const QString& name) const { return folder.filePath(name); }

    std::string read(const char* name) const { return test::readAll(path(name)); }
    void write(const char* name, const std::string& bytes) const {
        test::writeAll(path(name), bytes);
    }

    QTemporaryDir folder;
};

TEST_F(KalvestDataTest, FormsAndCsvRoundTripsOfAGeneratedDirectoryWithAnEighthField) {
    Directory dir = generateDirectory(100000, 7);
    dir.fields.push_back({"Nsa_extra", FieldType::Text, 12, false, false});
    ColumnStore columns(dir.fields.size());
    for (RecordId id : dir.order) {
        const RecordId copy = columns.add();
        for (std::size_t f = 0; f < kDirectoryFields.size(); ++f)
            columns.set(copy, f, dir.columns.value(id, f));
        columns.set(copy, kDirectoryFields.size(),
                    id % 3 == 0 ? std::string() : "X" + std::to_string(id));
    }
    dir.columns = std::move(columns);
    const std::string original = test::stored(dir, StoredForm::Binary);
    write("a.cds", original);

    const QString a = path("a.cds"), x = path("b.xml"), b = path("c.cds");
    ASSERT_EQ(kalvestData({u"convert"_s, a, x}).status, 0);
    EXPECT_EQ(detectStoredForm(read("b.xml")), StoredForm::Xml);
    ASSERT_EQ(kalvestData({u"convert"_s, x, b}).status, 0);
    EXPECT_EQ(read("c.cds"), original);

    const ProcessResult exported = kalvestData({u"export"_s, b});
    ASSERT_EQ(exported.status, 0) << exported.err;
    ASSERT_EQ(kalvestData({u"export"_s, a, u"-o"_s, path(u"a.csv"_s)}).status, 0);
    EXPECT_EQ(read("a.csv"), exported.out);
    EXPECT_TRUE(exported.out.starts_with("Nsa_famili,Nsa_initsi,Nsa_street,Nsa_home,Nsa_room,"
                                         "Nsa_tele,Nsa_prim,Nsa_extra\r\n"));

    ASSERT_EQ(
        kalvestData({u"import"_s, path(u"a.csv"_s), u"-o"_s, path(u"d.cds"_s), u"--like"_s, a})
            .status,
        0);
    EXPECT_EQ(read("d.cds"), original);
}

TEST_F(KalvestDataTest, GenerateIsRepeatableAndRealistic) {
    ASSERT_EQ(kalvestData({u"generate"_s, u"-n"_s, u"2000"_s, u"--seed"_s, u"5"_s, u"-o"_s,
                           path(u"1.cds"_s)})
                  .status,
              0);
    ASSERT_EQ(kalvestData({u"generate"_s, u"-n"_s, u"2000"_s, u"--seed"_s, u"5"_s, u"-o"_s,
                           path(u"2.cds"_s)})
                  .status,
              0);
    ASSERT_EQ(kalvestData({u"generate"_s, u"-n"_s, u"2000"_s, u"--seed"_s, u"6"_s, u"-o"_s,
                           path(u"3.cds"_s)})
                  .status,
              0);
    EXPECT_EQ(read("1.cds"), read("2.cds"));
    EXPECT_NE(read("1.cds"), read("3.cds"));

    const Directory dir = parseDirectory(read("1.cds"));
    ASSERT_EQ(dir.order.size(), 2000u);
    std::size_t phones = 0;
    for (RecordId id : dir.order) {
        const std::string_view tele = dir.columns.value(id, 5);
        if (!tele.empty()) {
            ++phones;
            ASSERT_EQ(tele.size(), 9u);
            EXPECT_EQ(tele[3], '-');
            EXPECT_EQ(tele[6], '-');
        }
        EXPECT_FALSE(dir.columns.value(id, 0).empty());
        const std::string_view initials = dir.columns.value(id, 1);
        EXPECT_EQ(initials.size(), 4u);
    }
    EXPECT_GT(phones, 1800u);
}

TEST_F(KalvestDataTest, InfoDescribesFormFieldsMarkersAndCount) {
    ASSERT_EQ(kalvestData({u"generate"_s, u"-n"_s, u"12"_s, u"-o"_s, path(u"d.XML"_s)}).status, 0);
    const ProcessResult info = kalvestData({u"info"_s, path(u"d.XML"_s)});
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("Форма: XML"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Nsa_tele  текст, ширина 9"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Признаки набора: нет"), std::string::npos);
    EXPECT_NE(info.out.find("Записей: 12"), std::string::npos);
}

TEST_F(KalvestDataTest, ImportTakesOtherColumnsAsWideAsTheirLongestValue) {
    write("in.csv", "Nsa_famili,Город,Nsa_tele\r\n"
                    "ИВАНОВ,\"Москва, центр\",123-45-67\r\n"
                    "\"ПЕТРОВ \"\"МЛ.\"\"\",Тула,\n");
    const ProcessResult r =
        kalvestData({u"import"_s, path(u"in.csv"_s), u"-o"_s, path(u"out.cds"_s)});
    ASSERT_EQ(r.status, 0) << r.err;
    const Directory dir = parseDirectory(read("out.cds"));
    ASSERT_EQ(dir.fields.size(), 3u);
    EXPECT_EQ(dir.fields[0].width, 30u);
    EXPECT_EQ(dir.fields[1].name, test::cp("Город"));
    EXPECT_EQ(dir.fields[1].width, 13u);
    EXPECT_EQ(dir.columns.value(dir.order[1], 0), test::cp("ПЕТРОВ \"МЛ.\""));
    EXPECT_EQ(dir.columns.value(dir.order[0], 1), test::cp("Москва, центр"));
}

TEST_F(KalvestDataTest, BadInputIsRefusedWithTheProgramsMessageAndWritesNothing) {
    struct Case {
        const char* name;
        std::string csv;
        const char* message;
    };
    const Case cases[] = {
        {"too wide", "Nsa_famili,Nsa_initsi\r\nИВАНОВ,А.Б.В.Г.\r\n",
         "CSV, строка 2, поле Nsa_initsi: значение длиннее ширины поля (6)\n"},
        {"outside the code page", "Nsa_famili\r\nCafé\r\n",
         "CSV, строка 2, поле Nsa_famili: знак вне кодовой страницы 1251.\n"},
        {"open quote", "Nsa_famili\r\n\"ИВАНОВ\r\n", "CSV, строка 3: кавычки не закрыты.\n"},
        {"short row", "Nsa_famili,Nsa_tele\r\nИВАНОВ\r\n",
         "CSV, строка 2: 1 полей, а в заголовке 2.\n"},
        {"long row", "Nsa_famili,Nsa_tele\r\nИВАНОВ,1,2,3\r\n",
         "CSV, строка 2: полей больше, чем в заголовке (2)\n"},
        {"wide header", std::string(2000, ','), "CSV, строка 1: полей больше допустимого (1024)\n"},
        {"tabs", "Nsa_famili\tNsa_initsi\r\nИВАНОВ\tА.Б.\r\n",
         "CSV, строка 1: имена полей разделены знаком табуляции; нужна запятая или точка с "
         "запятой.\n"},
        {"semicolons in the header, commas below", "Nsa_famili;Nsa_initsi\r\nИВАНОВ,А.Б.\r\n",
         "CSV, строка 2: 1 полей, а в заголовке 2.\n"},
        {"endless field", std::string(200000, '\0'),
         "CSV, строка 1: поле длиннее 65535 знаков, самой большой ширины поля.\n"},
        {"endless quoted field", "Nsa_famili\r\n\"" + std::string(200000, 'x'),
         "CSV, строка 2: поле длиннее 65535 знаков, самой большой ширины поля.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("bad.csv", c.csv);
        const ProcessResult r =
            kalvestData({u"import"_s, path(u"bad.csv"_s), u"-o"_s, path(u"bad.cds"_s)});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.message);
        EXPECT_FALSE(QFile::exists(path("bad.cds")));
    }

    for (const QStringList& command : {QStringList{u"info"_s}, QStringList{u"export"_s},
                                       QStringList{u"convert"_s, path(u"x.xml"_s)}}) {
        SCOPED_TRACE(command.first().toStdString());
        QStringList args = command;
        args.insert(1, path(u"none.cds"_s));
        const ProcessResult missing = kalvestData(args);
        EXPECT_EQ(missing.status, 1);
        EXPECT_EQ(missing.err, "Файл " + path("none.cds").toStdString() + " не найден.\n");
    }
    write("empty.cds", "");
    EXPECT_EQ(kalvestData({u"info"_s, path(u"empty.cds"_s)}).err,
              "Файл " + path("empty.cds").toStdString() + " пуст.\n");
    write("bad.cds", "not a directory");
    const ProcessResult foreign = kalvestData({u"convert"_s, path(u"bad.cds"_s), path(u"x.xml"_s)});
    EXPECT_EQ(foreign.status, 1);
    EXPECT_NE(foreign.err.find("формат не распознан"), std::string::npos) << foreign.err;
    if (test::makeHugeSparseFile(path("huge.cds"), std::string("KVDIR\r\n\x1A", 8)) &&
        test::makeHugeSparseFile(path("huge.csv"), "Nsa_famili\r\n")) {
        // What the binary form's head declares is judged before the rest is read.
        const ProcessResult declared = kalvestData({u"info"_s, path(u"huge.cds"_s)});
        EXPECT_EQ(declared.status, 1);
        EXPECT_EQ(declared.err, "Не удаётся прочитать справочник " +
                                    path("huge.cds").toStdString() +
                                    ": версия формата 0 не поддерживается.\n");
        // A CSV file declares nothing; it is read as it comes, and its endless field refused.
        const ProcessResult huge =
            kalvestData({u"import"_s, path(u"huge.csv"_s), u"-o"_s, path(u"h.cds"_s)});
        EXPECT_EQ(huge.status, 1);
        EXPECT_EQ(huge.err,
                  "CSV, строка 2: поле длиннее 65535 знаков, самой большой ширины поля.\n");
    }
    EXPECT_EQ(kalvestData({u"frobnicate"_s}).status, 1);
    EXPECT_EQ(kalvestData({u"generate"_s, u"-n"_s, u"x"_s, u"-o"_s, path(u"g.cds"_s)}).status, 1);
    EXPECT_EQ(kalvestData({u"export"_s, u"--help"_s}).status, 0);
    const ProcessResult version = kalvestData({u"--version"_s});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "kalvest-data " LAMBREYA_VERSION "\n");
}

// What a spreadsheet of a Russian locale writes, and what the tool writes for one.
TEST_F(KalvestDataTest, SpreadsheetsCsvComesInWithSemicolonsAndGoesOutMarkedAndQuoted) {
    write("ru.csv", "Nsa_famili;Nsa_home;Nsa_prim\r\nИВАНОВ;8/1;\"a;b\"\r\nПЕТРОВ;01-02;\r\n");
    ASSERT_EQ(kalvestData({u"import"_s, path(u"ru.csv"_s), u"-o"_s, path(u"ru.cds"_s)}).status, 0);
    const ProcessResult exported =
        kalvestData({u"export"_s, path(u"ru.cds"_s), u"--spreadsheet"_s});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "\xEF\xBB\xBF\"Nsa_famili\",\"Nsa_home\",\"Nsa_prim\"\r\n"
                            "\"ИВАНОВ\",\"8/1\",\"a;b\"\r\n\"ПЕТРОВ\",\"01-02\",\"\"\r\n");
    // And back, the mark skipped.
    write("sheet.csv", exported.out);
    ASSERT_EQ(kalvestData({u"import"_s, path(u"sheet.csv"_s), u"-o"_s, path(u"back.cds"_s)}).status,
              0);
    EXPECT_EQ(read("back.cds"), read("ru.cds"));
}

TEST_F(KalvestDataTest, ADirectoryTheProgramHoldsIsNotWrittenOver) {
    write("held.cds", test::stored(test::numberedDirectory(3), StoredForm::Binary));
    write("other.cds", test::stored(test::numberedDirectory(5), StoredForm::Binary));
    const std::string before = read("held.cds");
    {
        RecordSet held("Table1"); // as the program holds its directory
        held.setKeepsJournal(true);
        held.setFileName(path("held.cds"));
        held.open();
        const QStringList writes[] = {
            {u"convert"_s, path("other.cds"), path("held.cds")},
            {u"generate"_s, u"-n"_s, u"4"_s, u"-o"_s, path("held.cds")},
            {u"export"_s, path("other.cds"), u"-o"_s, path("held.cds")},
        };
        for (const QStringList& args : writes) {
            SCOPED_TRACE(args.front().toStdString());
            const ProcessResult r = kalvestData(args);
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err, "Файл " + path("held.cds").toStdString() +
                                 " открыт в программе Ламбрея и не перезаписан; закройте "
                                 "программу и повторите команду.\n");
        }
        EXPECT_EQ(read("held.cds"), before);
    }
    EXPECT_EQ(kalvestData({u"convert"_s, path("other.cds"), path("held.cds")}).status, 0);
    EXPECT_EQ(read("held.cds"), read("other.cds"));
}

TEST(Csv, QuotesOnlyWhatNeedsQuotingAndReadsItBack) {
    std::string out;
    csv::appendRecord(out, {"a", "b,c", "say \"hi\"", "two\nlines", ""});
    EXPECT_EQ(out, "a,\"b,c\",\"say \"\"hi\"\"\",\"two\nlines\",\r\n");
    const auto rows = csv::parse(out + "x,y,z,w,v");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b,c", "say \"hi\"", "two\nlines", ""}));
    EXPECT_EQ(rows[1].back(), "v");
    EXPECT_THROW(csv::parse("a\"b\r\n"), Error);
    EXPECT_THROW(csv::parse("\"a\"b\r\n"), Error);
    // Read a part at a time as a file comes in, a part's end anywhere (between doubled
    // quotes, between CR and LF, after a closing quote), it gives the same records.
    const std::string text = out + "x,\"\"\"\"\r\n\"y\"\r\n";
    for (std::size_t size = 1; size <= text.size(); ++size) {
        std::size_t at = 0;
        csv::Reader reader({}, [&] {
            const std::string_view part = std::string_view(text).substr(at, size);
            at += part.size();
            return part;
        });
        std::vector<std::vector<std::string>> records;
        for (std::vector<std::string> record; reader.next(record);)
            records.push_back(record);
        EXPECT_EQ(records, csv::parse(text)) << "parts of " << size;
    }
}

} // namespace
} // namespace lambreya
