// Opening the data file and writing it back at the end.
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

#include <csignal>
#include <fstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lambreya {
namespace {

using test::cp;
using test::makeDirectory;

using test::readAll;
using test::writeAll;

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        table.setCompiler(&compiler);
    }

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // A binary data file of three records, with its time stamp an hour back.
    QString sampleFile(const char* name = "kalvest.cds") {
        const QString file = path(name);
        writeAll(file, test::stored(makeDirectory({{"ИВАНОВ"}, {"ПЕТРОВ"}, {"ИВАНОВА"}}),
                                    storedFormForName(file)));
        QFile f(file);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                      QFileDevice::FileModificationTime);
        return file;
    }

    std::string openError(const QString& fileName) {
        table.setFileName(fileName);
        try {
            table.open();
        } catch (const Error& e) {
            EXPECT_FALSE(table.active());
            table.close(); // writes nothing
            return e.what();
        }
        return "opened";
    }

    void changeFirstSurname(const char* to) {
        table.edit();
        table.setFieldText(0, cp(to));
        table.post();
    }

    QTemporaryDir dir;
    test::SimpleCompiler compiler;
    RecordSet table{"Table1"};
};

TEST_F(DataFileTest, NothingToReadLeavesTheSetClosedAndCreatesNothing) {
    const std::string missing = "Table1: Missing data provider or data packet";
    EXPECT_EQ(openError(QString()), missing);
    EXPECT_EQ(openError(path("absent.cds")), missing);
    EXPECT_FALSE(QFileInfo::exists(path("absent.cds")));

    writeAll(path("empty.cds"), "");
    EXPECT_EQ(openError(path("empty.cds")), missing);
    EXPECT_EQ(QFileInfo(path("empty.cds")).size(), 0);

    QDir(dir.path()).mkdir(QStringLiteral("folder.cds"));
    EXPECT_EQ(openError(path("folder.cds")), missing);
    EXPECT_TRUE(table.bof() && table.eof());
}

TEST_F(DataFileTest, AFileThatCannotBeOpenedNamesItselfAsGiven) {
    // A socket exists but cannot be opened for reading, whoever runs the test.
    const QString socketPath = path("socket.cds");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string native = socketPath.toStdString();
    ASSERT_LT(native.size(), sizeof address.sun_path);
    std::copy(native.begin(), native.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(openError(socketPath), "Cannot open file " + socketPath.toStdString());
    ::close(fd);
    // Nor is a named pipe read, which would wait for a writer.
    const QString pipePath = path("pipe.cds");
    ASSERT_EQ(::mkfifo(pipePath.toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(openError(pipePath), "Cannot open file " + pipePath.toStdString());
}

// Each file is 15 TiB of zeros behind its first bytes: reading on would end the test, so each
// is refused by what its first bytes declare, or, where nothing declares a size, runs out
// of memory with an error the program can report. Each is left as it was.
TEST_F(DataFileTest, TheFirstBytesAreJudgedBeforeMemoryIsTakenForTheWholeFile) {
    const std::string binary = test::stored(makeDirectory({{"ИВАНОВ"}}), StoredForm::Binary);
    const struct {
        const char* name;
        std::string head;
        const char* message; // nullptr: out of memory
    } cases[] = {
        {"zeros.cds", std::string(1, '\0'), "это не файл справочника: формат не распознан"},
        {"magic.cds", std::string("KVDIR\r\n\x1A", 8), "версия формата 0 не поддерживается"},
        {"records.cds", binary, "после записей стоят лишние данные"},
        {"xml.cds", "<?xml version=\"1.0\"?>", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(c.name);
        if (!test::makeHugeSparseFile(file, c.head))
            GTEST_SKIP() << "no file larger than memory can stand in here";
        const qint64 size = QFileInfo(file).size();
        table.setFileName(file);
        if (c.message) {
            EXPECT_EQ(openError(file),
                      "Не удаётся прочитать справочник " + file.toStdString() + ": " + c.message);
        } else {
            EXPECT_THROW(table.open(), std::bad_alloc);
            EXPECT_FALSE(table.active());
        }
        EXPECT_EQ(QFileInfo(file).size(), size);
        QFile check(file);
        ASSERT_TRUE(check.open(QIODevice::ReadOnly));
        EXPECT_EQ(check.read(qint64(c.head.size())).toStdString(), c.head);
    }
}

TEST_F(DataFileTest, ADamagedFileIsRejectedAndKeepsItsContent) {
    const QString file = sampleFile();
    std::string bytes = readAll(file);
    bytes.resize(bytes.size() - 10);
    writeAll(file, bytes);
    const std::string message = openError(file);
    EXPECT_EQ(message.rfind("Не удаётся прочитать справочник " + file.toStdString() + ": ", 0), 0u)
        << message;
    EXPECT_NE(message.find("контрольная сумма"), std::string::npos);
    EXPECT_EQ(readAll(file), bytes);
}

TEST_F(DataFileTest, AnUnchangedSetIsNeverWritten) {
    const QString file = sampleFile();
    const QDateTime stamp = QFileInfo(file).lastModified();
    const std::string before = readAll(file);
    table.setFileName(file);
    table.open();
    table.edit();
    table.setFieldText(0, cp("ИВАНОВ")); // posted, but every value as it was
    table.next();
    table.close();
    EXPECT_EQ(readAll(file), before);
    EXPECT_EQ(QFileInfo(file).lastModified(), stamp);
}

TEST_F(DataFileTest, AChangedSetIsWrittenWholeWhateverTheFilterHides) {
    const QString file = sampleFile();
    table.setFileName(file);
    table.open();
    table.setFiltered(true);
    table.setFilter(cp("Nsa_famili = 'ПЕТ*'"));
    changeFirstSurname("ПЕТРОВА");
    table.close();

    const Directory stored = parseDirectory(readAll(file));
    ASSERT_EQ(stored.order.size(), 3u);
    EXPECT_EQ(stored.columns.value(stored.order[0], 0), cp("ИВАНОВ"));
    EXPECT_EQ(stored.columns.value(stored.order[1], 0), cp("ПЕТРОВА"));
    EXPECT_EQ(stored.columns.value(stored.order[2], 0), cp("ИВАНОВА"));
    EXPECT_EQ(detectStoredForm(readAll(file)), StoredForm::Binary);
}

TEST_F(DataFileTest, TheExtensionChoosesTheWrittenForm) {
    const QString file = sampleFile("data.XML");
    table.setFileName(file);
    table.open();
    changeFirstSurname("ЯКОВЛЕВ");
    table.close();
    EXPECT_EQ(detectStoredForm(readAll(file)), StoredForm::Xml);
}

TEST_F(DataFileTest, APendingChangeIsDroppedAtClose) {
    const QString file = sampleFile();
    const std::string before = readAll(file);
    table.setFileName(file);
    table.open();
    table.edit();
    table.setFieldText(0, cp("НЕ СОХРАНЁН"));
    table.close();
    EXPECT_EQ(readAll(file), before);

    // A new record still being typed is not written with the posted changes.
    table.open();
    changeFirstSurname("ЗАХАРОВ");
    table.append();
    table.setFieldText(0, cp("НОВЫЙ"));
    table.close();
    const Directory stored = parseDirectory(readAll(file));
    ASSERT_EQ(stored.order.size(), 3u);
    EXPECT_EQ(stored.columns.value(stored.order[0], 0), cp("ЗАХАРОВ"));
}

TEST_F(DataFileTest, ARelativeNameIsResolvedOnceAtOpening) {
    const QString file = sampleFile();
    const QString start = QDir::currentPath();
    QTemporaryDir elsewhere;
    QDir::setCurrent(dir.path());
    table.setFileName(QStringLiteral("kalvest.cds"));
    table.open();
    QDir::setCurrent(elsewhere.path()); // as a file dialog might
    changeFirstSurname("ЗАХАРОВ");
    table.close();
    QDir::setCurrent(start);
    EXPECT_FALSE(QFileInfo::exists(elsewhere.filePath(QStringLiteral("kalvest.cds"))));
    EXPECT_EQ(parseDirectory(readAll(file)).columns.value(0, 0), cp("ЗАХАРОВ"));
}

// The final write into `file` in a child process that may not create files in the folder
// (as root, after giving up root) or may not write more than a few bytes (a full disk).
// Returns the child's error message.
std::string failedWriteInChild(RecordSet& table, const QString& folder, bool dropRights,
                               bool smallFileLimit) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (dropRights && ::geteuid() == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
        } else if (dropRights) {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        if (smallFileLimit) { // the signal is left as it comes: the write must not die of it
            std::signal(SIGXFSZ, SIG_DFL);
            const rlimit limit{16, 16};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::string message = "written";
        try {
            table.close();
        } catch (const Error& e) {
            message = e.what();
            // The set stays open with its data, to be saved elsewhere.
            message += table.active() && table.changed() ? "|open" : "|closed";
        }
        const ssize_t n = ::write(pipeFds[1], message.data(), message.size());
        ::_exit(n > 0 ? 0 : 4);
    }
    ::close(pipeFds[1]);
    std::string message;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        message.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return message;
}

TEST_F(DataFileTest, AFailedFinalWriteKeepsTheEarlierFileWhole) {
    for (bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "full disk" : "unwritable folder");
        const QString file = sampleFile();
        const std::string before = readAll(file);
        if (!fullDisk) // the child gives up root; let it read its way to the folder
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ExeOther);
        table.setFileName(file);
        table.open();
        changeFirstSurname("ЗАХАРОВ");
        const std::string message = failedWriteInChild(table, dir.path(), !fullDisk, fullDisk);
        table.close(); // the parent's copy writes: the earlier file is replaced
        EXPECT_EQ(message.rfind("Не удалось записать файл " + file.toStdString(), 0), 0u)
            << message;
        EXPECT_NE(message.find("Прежний файл остался без изменений|open"), std::string::npos);
        if (fullDisk) { // the system's reason, in the language of the rest of the message
            EXPECT_NE(message.find("файл больше, чем позволяет система"), std::string::npos)
                << message;
        }
        EXPECT_NE(readAll(file), before);
        ASSERT_TRUE(QFile::remove(file));
    }
}

} // namespace
} // namespace lambreya
