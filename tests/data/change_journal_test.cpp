// The journal of posted changes: a session that never reaches its final write is replayed at
// the next opening of the same data file, and nothing else is.
#include "data/change_journal.h"
#include "data/record_set.h"
#include "data/stored_form.h"

#include "support/directory_fixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace lambreya {
namespace {

using test::cp;
using test::readAll;
using test::writeAll;

class ChangeJournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        writeAll(dataFile(), test::stored(test::numberedDirectory(10), StoredForm::Binary));
    }

    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QString dataFile() const { return path("city.cds"); }
    QString journalFile() const { return dataFile() + QStringLiteral(".journal"); }

    // A copy of the program's Table1 on the data file, opened with its journal.
    std::unique_ptr<RecordSet> openTable(const QString& file) {
        auto table = std::make_unique<RecordSet>("Table1");
        table->setCompiler(&m_compiler);
        table->setKeepsJournal(true);
        table->setFileName(file);
        table->open();
        return table;
    }
    std::unique_ptr<RecordSet> openTable() { return openTable(dataFile()); }

    static void change(RecordSet& table, int row, const char* surname) {
        table.moveToRow(row);
        table.edit();
        table.setFieldText(0, cp(surname));
        table.post();
    }
    static std::string content(const RecordSet& table) {
        return test::stored(table.directory(), StoredForm::Binary);
    }
    // The journals kept aside in the folder.
    QStringList keptAside() const {
        return QDir(m_dir.path()).entryList({QStringLiteral("*.journal (*")}, QDir::Files);
    }
    static std::string recovered(const QString& file, int count) {
        return "Прошлый сеанс работы со справочником " + file.toStdString() +
               " не был завершён. Из журнала восстановлено изменений: " + std::to_string(count);
    }

    QTemporaryDir m_dir;
    test::SimpleCompiler m_compiler;
};

TEST_F(ChangeJournalTest, ASessionThatNeverEndedIsReplayedAndTheFinalWriteRemovesItsJournal) {
    std::string expected;
    {
        std::unique_ptr<RecordSet> crashed = openTable();
        EXPECT_EQ(crashed->openingNotice(), "");
        EXPECT_FALSE(QFile::exists(journalFile())); // nothing journalled before a change
        change(*crashed, 0, "ЗАХАРОВ");
        crashed->moveToRow(3);
        crashed->insert();
        crashed->setFieldText(0, cp("НОВИКОВ"));
        crashed->setFieldText(6, cp("новый"));
        crashed->post();
        crashed->append();
        crashed->setFieldText(2, cp("ЛЕСНАЯ"));
        crashed->post();
        crashed->moveToRow(5);
        crashed->deleteRecord();
        change(*crashed, 1, "ИВАНОВ1"); // posted as it was: no change
        expected = content(*crashed);
        // The process dies here: the set is never closed.
    }
    const std::string untouched = readAll(dataFile());
    {
        std::unique_ptr<RecordSet> again = openTable();
        EXPECT_EQ(again->openingNotice(),
                  recovered(dataFile(), 4) +
                      ". Они будут записаны в справочник при выходе из программы");
        EXPECT_EQ(content(*again), expected);
        EXPECT_TRUE(again->changed());
        // The recovered session goes on with the same journal, and dies too.
        change(*again, 9, "ОРЛОВ");
        expected = content(*again);
    }
    EXPECT_EQ(readAll(dataFile()), untouched);
    std::unique_ptr<RecordSet> third = openTable();
    EXPECT_EQ(third->openingNotice().substr(0, recovered(dataFile(), 5).size()),
              recovered(dataFile(), 5));
    third->close();
    EXPECT_EQ(readAll(dataFile()), expected);
    EXPECT_FALSE(QFile::exists(journalFile()));
    EXPECT_TRUE(keptAside().isEmpty());
    EXPECT_EQ(openTable()->openingNotice(), "");
}

TEST_F(ChangeJournalTest, ACutAnywhereInTheLastEntryLosesExactlyThatEntry) {
    std::string afterFirst;
    std::string afterBoth;
    std::size_t firstEnd = 0;
    {
        std::unique_ptr<RecordSet> crashed = openTable();
        change(*crashed, 2, "ЗАХАРОВ");
        afterFirst = content(*crashed);
        firstEnd = static_cast<std::size_t>(QFileInfo(journalFile()).size());
        crashed->append();
        for (int field = 0; field < 7; ++field)
            crashed->setFieldText(field, cp("Я"));
        crashed->post();
        afterBoth = content(*crashed);
    }
    const std::string whole = readAll(journalFile());
    for (std::size_t cut = firstEnd; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        for (const QString& name : keptAside())
            QFile::remove(m_dir.filePath(name));
        writeAll(journalFile(), whole.substr(0, cut));
        std::unique_ptr<RecordSet> table = openTable();
        const bool torn = cut != firstEnd && cut != whole.size();
        EXPECT_EQ(content(*table), cut == whole.size() ? afterBoth : afterFirst);
        const std::string notice = table->openingNotice();
        EXPECT_EQ(notice.substr(0, recovered(dataFile(), 1).size() + 1),
                  recovered(dataFile(), cut == whole.size() ? 2 : 1) + (torn ? ";" : "."));
        // A torn entry keeps the whole journal aside and goes on with its sound part.
        ASSERT_EQ(keptAside().size(), torn ? 1 : 0);
        if (torn) {
            const QString aside = m_dir.filePath(keptAside()[0]);
            EXPECT_NE(notice.find("конец журнала повреждён, и остальное не применено. Журнал "
                                  "целиком сохранён как " +
                                  aside.toStdString()),
                      std::string::npos)
                << notice;
            EXPECT_EQ(readAll(aside), whole.substr(0, cut));
            EXPECT_EQ(readAll(journalFile()), whole.substr(0, firstEnd));
        }
        table->discard();
    }
}

struct Mismatch {
    const char* name;
    // Makes the journal beside `data` one that does not belong to it; returns the data file
    // then opened.
    QString (*make)(const QString& data, const QString& journal);
};

class JournalMismatchTest : public ChangeJournalTest,
                            public ::testing::WithParamInterface<Mismatch> {};

const Mismatch kMismatches[] = {
    {"the journal of another data file",
     [](const QString& data, const QString& journal) {
         const QString other = QFileInfo(data).absolutePath() + QStringLiteral("/other.cds");
         QFile::copy(data, other);
         QFile::copy(journal, other + QStringLiteral(".journal"));
         return other;
     }},
    {"the data file rewritten since",
     [](const QString& data, const QString&) {
         writeAll(data, test::stored(test::numberedDirectory(11), StoredForm::Binary));
         return data;
     }},
    {"the same size and time, another content",
     [](const QString& data, const QString&) {
         const QDateTime time = QFileInfo(data).lastModified();
         std::string bytes = readAll(data);
         const std::size_t at = bytes.find(cp("ИВАНОВ0"));
         bytes[at + 6] = '9';
         writeAll(data, test::rechecksummed(bytes));
         QFile file(data);
         file.open(QIODevice::ReadWrite);
         file.setFileTime(time, QFileDevice::FileModificationTime);
         return data;
     }},
    {"a damaged header",
     [](const QString& data, const QString& journal) {
         std::string bytes = readAll(journal);
         bytes[12] ^= 1;
         writeAll(journal, bytes);
         return data;
     }},
};

TEST_P(JournalMismatchTest, IsKeptAsideAndNothingOfItIsApplied) {
    {
        std::unique_ptr<RecordSet> crashed = openTable();
        change(*crashed, 0, "ЗАХАРОВ");
    }
    const QString data = GetParam().make(dataFile(), journalFile());
    const QString journal = data + QStringLiteral(".journal");
    const std::string journalBytes = readAll(journal);
    std::unique_ptr<RecordSet> table = openTable(data);
    EXPECT_NE(test::utf8(table->fieldText(0)), "ЗАХАРОВ");
    EXPECT_FALSE(table->changed());
    ASSERT_EQ(keptAside().size(), 1);
    const QString aside = m_dir.filePath(keptAside()[0]);
    EXPECT_EQ(table->openingNotice(),
              "Журнал изменений " + journal.toStdString() +
                  " относится к другому справочнику или к другому состоянию файла " +
                  data.toStdString() +
                  ", поэтому не применён; справочник открыт как есть. Журнал целиком сохранён "
                  "как " +
                  aside.toStdString() + ".");
    EXPECT_EQ(readAll(aside), journalBytes);
    EXPECT_FALSE(QFile::exists(journal));
}

INSTANTIATE_TEST_SUITE_P(Journal, JournalMismatchTest, ::testing::ValuesIn(kMismatches),
                         [](const ::testing::TestParamInfo<Mismatch>& row) {
                             std::string name = row.param.name;
                             std::replace_if(
                                 name.begin(), name.end(), [](char c) { return !std::isalnum(c); },
                                 '_');
                             return name;
                         });

TEST_F(ChangeJournalTest, ASecondCopyOpensReadOnlyAndItsEndLeavesTheFirstCopysWork) {
    std::unique_ptr<RecordSet> first = openTable();
    std::unique_ptr<RecordSet> second = openTable();
    EXPECT_FALSE(first->heldElsewhere());
    EXPECT_TRUE(second->heldElsewhere());
    EXPECT_EQ(second->openingNotice(),
              "Справочник " + dataFile().toStdString() +
                  " уже открыт в другой копии программы. Здесь он открыт только для чтения: "
                  "записи нельзя изменять, добавлять и удалять");
    EXPECT_FALSE(second->canModify());
    EXPECT_THROW(second->edit(), Error);
    EXPECT_THROW(second->deleteRecord(), Error);
    EXPECT_THROW(second->append(), Error);
    change(*first, 0, "ЗАХАРОВ");
    const std::string journal = readAll(journalFile());
    second->close();
    EXPECT_EQ(readAll(journalFile()), journal); // the first copy's journal is not touched
    first->close();
    const Directory written = parseDirectory(readAll(dataFile()));
    EXPECT_EQ(test::utf8(written.columns.value(written.order.front(), 0)), "ЗАХАРОВ");
    // Ended, the first copy holds nothing any more.
    EXPECT_FALSE(openTable()->heldElsewhere());
}

TEST_F(ChangeJournalTest, AJournalThatCannotBeWrittenStopsNoPostingAndIsToldOnce) {
    std::unique_ptr<RecordSet> table = openTable();
    ASSERT_TRUE(QDir().mkdir(journalFile())); // a folder stands where the journal would go
    try {
        change(*table, 0, "ЗАХАРОВ");
        ADD_FAILURE() << "not told";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Изменения больше не записываются в журнал " +
                                                  journalFile().toStdString(),
                                              0),
                  0u)
            << e.what();
    }
    EXPECT_EQ(table->state(), RecordSet::State::Browse);
    change(*table, 1, "ОРЛОВ");
    table->close();
    const Directory written = parseDirectory(readAll(dataFile()));
    EXPECT_EQ(test::utf8(written.columns.value(written.order[0], 0)), "ЗАХАРОВ");
    EXPECT_EQ(test::utf8(written.columns.value(written.order[1], 0)), "ОРЛОВ");
    EXPECT_TRUE(QFileInfo(journalFile()).isDir());
}

} // namespace
} // namespace lambreya
