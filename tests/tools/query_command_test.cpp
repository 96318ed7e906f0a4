// kalvest-data query, run as a script would run it.
#include "data/stored_form.h"
#include "support/directory_fixture.h"
#include "support/test_text.h"

#include "support/run_kalvest_data.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>

#include <gtest/gtest.h>

#include <fstream>

namespace lambreya {
namespace {

using namespace Qt::Literals::StringLiterals;

using QueryRun = test::ProcessResult;

class QueryCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<FieldDef> fields = standardDirectoryFields();
        fields.push_back({"Nsa_extra", FieldType::Text, 10, false, false});
        write(u"city.cds"_s, test::makeDirectory(
                                 {
                                     {"ПЕТРОВ", "А.Б.", "ЛЕНИНА", "5", "12", "", "", "x"},
                                     {"ИВАНОВ", "А.А.", "МИРА", "5", "12", "111-11-11", "", ""},
                                     {"ИВЛЕВ", "В.Г.", "ЛЕНИНА", "51", "120", "", "СЛУЖ.", "y,z"},
                                     {"ИВАНОВА", "Б.В.", "ЛЕНИНА", "6", "12", "", "", ""},
                                     {"ивушкин", "Г.Д.", "ЛЕНИНА", "5", "12", "", "", ""},
                                     {"ДАР'ЯЛОВ", "И.К.", "МИРА", "5", "1", "", "", ""},
                                 },
                                 fields));
    }

    void write(const QString& name, const Directory& dir) {
        std::ofstream(folder.filePath(name).toStdString(), std::ios::binary)
            << test::stored(dir, StoredForm::Binary);
    }

    QueryRun query(QStringList args) {
        args.prepend(folder.filePath(u"city.cds"_s));
        args.prepend(u"query"_s);
        return test::runKalvestData(args);
    }

    QTemporaryDir folder;
};

TEST_F(QueryCommandTest, BoxesFilterTheViewAsTheWindowsSearchDoes) {
    // Small letters become capitals as in a box; the flat clause goes before the house.
    const QueryRun r = query({u"--search"_s, u"famili=ив"_s, u"--search"_s, u"HOME=5"_s,
                              u"--search"_s, u"room=12"_s, u"--csv"_s});
    ASSERT_EQ(r.status, 0) << r.err;
    // With the CSV the count goes to standard error: the output is the table alone.
    EXPECT_EQ(r.err, "Найдено 2 записи\n");
    EXPECT_EQ(r.out, "Nsa_famili,Nsa_initsi,Nsa_street,Nsa_home,Nsa_room,Nsa_tele,Nsa_prim,"
                     "Nsa_extra\r\n"
                     "ИВАНОВ,А.А.,МИРА,5,12,111-11-11,,\r\n"
                     "ИВЛЕВ,В.Г.,ЛЕНИНА,51,120,,СЛУЖ.,\"y,z\"\r\n");

    const QueryRun same = query({u"--filter"_s,
                                 u"Nsa_famili = 'ИВ*' And Nsa_room = '12*' And "
                                 u"Nsa_home = '5*'"_s,
                                 u"--csv"_s});
    EXPECT_EQ(same.out, r.out);
    // As it stands: small letters find only small letters.
    EXPECT_EQ(query({u"--filter"_s, u"Nsa_famili = 'ив*'"_s}).out, "Найдена 1 запись\n");
    EXPECT_EQ(query({}).out, "Найдено 6 записей\n");
}

TEST_F(QueryCommandTest, LocateGivesThePlaceInTheViewOfTheFirstRecordThatBeginsWithTheText) {
    EXPECT_EQ(query({u"--locate"_s, u"street=мира"_s}).out,
              "Найдено 6 записей\nНайдена запись 2\n");
    EXPECT_EQ(query({u"--search"_s, u"street=Л"_s, u"--locate"_s, u"famili=ИВА"_s}).out,
              "Найдено 4 записи\nНайдена запись 3\n");
    // The locate searches the view only.
    EXPECT_EQ(query({u"--search"_s, u"street=Л"_s, u"--locate"_s, u"famili=ИВАНОВ "_s}).out,
              "Найдено 4 записи\nЗапись не найдена\n");
    const QueryRun withCsv = query({u"--locate"_s, u"famili=ДАР'Я"_s, u"--csv"_s});
    EXPECT_EQ(withCsv.err, "Найдено 6 записей\nНайдена запись 6\n");
    EXPECT_TRUE(withCsv.out.starts_with("Nsa_famili,")) << withCsv.out;
}

TEST_F(QueryCommandTest, AnApostropheKeepsItsLiteralOnlyWhileNoClauseFollows) {
    EXPECT_EQ(query({u"--search"_s, u"famili=ДАР'Я"_s}).out, "Найдена 1 запись\n");
    const QueryRun r = query({u"--search"_s, u"famili=ДАР'Я"_s, u"--search"_s, u"initsi=И"_s});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Filter expression incorrectly terminated.\n");
}

TEST_F(QueryCommandTest, ErrorsAreShownAsTheErrorBoxWouldShowThem) {
    struct Case {
        const char* name;
        QStringList args;
        const char* err;
    };
    const Case cases[] = {
        {"locate failing",
         {u"--locate"_s, u"famili=ДАР'1"_s},
         "Arithmetic in filter expressions not supported.\n"},
        {"filter failing",
         {u"--filter"_s, u"Nsa_famili = 'ИВ"_s},
         "Unterminated string constant.\n"},
        {"unknown field",
         {u"--filter"_s, u"Nsa_city = 'М*'"_s},
         "Table1: Field 'Nsa_city' not found.\n"},
        {"unknown box",
         {u"--search"_s, u"city=М"_s},
         "Неизвестное поле поиска city; есть поля famili, initsi, street, home, room, tele, "
         "prim.\n"},
        {"no equals sign",
         {u"--locate"_s, u"famili"_s},
         "Параметру --locate нужно значение вида ПОЛЕ=ТЕКСТ, а дано famili.\n"},
        {"a box twice",
         {u"--search"_s, u"room=1"_s, u"--search"_s, u"Room=2"_s},
         "Поле поиска Room задано больше одного раза.\n"},
        {"search and filter",
         {u"--search"_s, u"room=1"_s, u"--filter"_s, u""_s},
         "Параметры --search и --filter не задаются вместе.\n"},
        {"outside the code page",
         {u"--search"_s, u"famili=Café"_s},
         "Текст поля famili содержит знаки вне кодовой страницы 1251.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QueryRun r = query(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }

    QProcess process;
    process.start(QStringLiteral(LAMBREYA_BINARY_DIR "/bin/kalvest-data"),
                  {u"query"_s, folder.filePath(u"none.cds"_s)});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAllStandardError().toStdString(),
              "Файл " + folder.filePath(u"none.cds"_s).toStdString() + " не найден.\n");
}

TEST_F(QueryCommandTest, AFileWithoutTheBoxsFieldFailsOnlyWhenTheBoxIsUsed) {
    std::vector<FieldDef> fields = standardDirectoryFields();
    fields.pop_back(); // no Nsa_prim
    write(u"city.cds"_s, test::makeDirectory({{"ИВАНОВ"}}, fields));
    EXPECT_EQ(query({u"--search"_s, u"famili=И"_s}).out, "Найдена 1 запись\n");
    const QueryRun r = query({u"--search"_s, u"prim=С"_s});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Table1: Field 'Nsa_prim' not found.\n");
    EXPECT_EQ(query({u"--locate"_s, u"prim=С"_s}).err, "Table1: Field 'Nsa_Prim' not found.\n");
}

// kalvest-data report: the report of the boxes' search into a PDF, read back with poppler.
std::string pdfText(const QString& pdf, const char* tool = "pdftotext") {
    QProcess run;
    QStringList args{pdf};
    if (std::string_view(tool) == "pdftotext")
        args << u"-"_s;
    run.start(QString::fromLatin1(tool), args);
    EXPECT_TRUE(run.waitForFinished(60000));
    return run.readAllStandardOutput().toStdString();
}

TEST_F(QueryCommandTest, ReportPrintsTheViewUnderTheBoxesTexts) {
    const QString pdf = folder.filePath(u"report.pdf"_s);
    const QueryRun r = test::runKalvestData({u"report"_s, folder.filePath(u"city.cds"_s),
                                             u"--search"_s, u"famili=ив"_s, u"--search"_s,
                                             u"room=12"_s, u"--landscape"_s, u"-o"_s, pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string text = pdfText(pdf);
    for (const char* shown : {"ИВ", "12", "ИВАНОВ", "ИВЛЕВ", "ИВАНОВА", "Лист 1"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown;
    for (const char* hidden : {"ПЕТРОВ", "ивушкин", "ДАР'ЯЛОВ"})
        EXPECT_EQ(text.find(hidden), std::string::npos) << hidden;
    const std::string info = pdfText(pdf, "pdfinfo");
    EXPECT_NE(info.find("Title:           Ламбрея: печать результатов поиска"), std::string::npos);
    EXPECT_NE(info.find("841.89 x 595.276 pts (A4)"), std::string::npos) << info;
}

TEST_F(QueryCommandTest, AReportThatFailsWritesNothing) {
    const QString pdf = folder.filePath(u"report.pdf"_s);
    const QString city = folder.filePath(u"city.cds"_s);
    const QString lost = folder.filePath(u"no/report.pdf"_s);
    struct Case {
        const char* name;
        QStringList args;
        std::string err;
        bool fullDisk = false;
    };
    const Case cases[] = {
        {"no output", {city}, "Не задан файл отчёта: -o ФАЙЛ.pdf.\n"},
        {"output twice",
         {city, u"-o"_s, pdf, u"-o"_s, pdf},
         "Параметр -o задан больше одного раза.\n"},
        {"unknown box",
         {city, u"--search"_s, u"city=М"_s, u"-o"_s, pdf},
         "Неизвестное поле поиска city; есть поля famili, initsi, street, home, room, tele, "
         "prim.\n"},
        {"no directory",
         {folder.filePath(u"none.cds"_s), u"-o"_s, pdf},
         "Файл " + folder.filePath(u"none.cds"_s).toStdString() + " не найден.\n"},
        {"a missing folder",
         {city, u"-o"_s, lost},
         "Не удалось записать файл " + lost.toStdString() + ": "},
        {"a full disk",
         {city, u"-o"_s, pdf},
         "Не удалось записать файл " + pdf.toStdString() + ": ",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList args = c.args;
        args.prepend(u"report"_s);
        const QueryRun r = test::runKalvestData(args, [full = c.fullDisk] {
            if (!full)
                return;
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        // Qt may warn on its own lines first; the message is the last line.
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        if (c.err.ends_with(": ")) {
            EXPECT_TRUE(r.err.ends_with(". Файл не создан.\n")) << r.err;
        }
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{u"city.cds"_s});
    }
}

} // namespace
} // namespace lambreya
