#include "app/ini_file.h"

#include "printable.h"

#include "data/cp1251.h"
#include "data/error.h"
#include "support/test_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace lambreya {
namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

void putBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString& name = QStringLiteral("KALVEST.INI")) const {
        return m_dir.filePath(name);
    }

    // The two preferences, written as the program writes them at close.
    void savePreferences(const QString& file, bool instantSearch, qint32 layout) {
        IniFile ini(file);
        ini.writeBool(u"Options", u"InstantSearch", instantSearch);
        ini.writeInteger(u"Keyboard", u"Layout", layout);
    }

    QTemporaryDir m_dir;
};

// --- reading -----------------------------------------------------------------------------

struct LookupCase {
    const char16_t* section;
    const char16_t* key;
    const char16_t* expected; // nullptr: the default comes back
};

// A lookup in a file written with the given line ending, with or without a final one.
struct LookupForm {
    LookupCase lookup;
    const char* eol;
    bool finalEol;
};

void PrintTo(const LookupForm& c, std::ostream* os) {
    *os << test::printable(c.lookup.section) << '_' << test::printable(c.lookup.key)
        << (qstrlen(c.eol) == 2 ? "_crlf" : "_lf") << (c.finalEol ? "" : "_unended");
}

// One file with the forms the reader meets.
class IniLookup : public ::testing::TestWithParam<LookupForm> {};

TEST_P(IniLookup, FindsTheValue) {
    const auto& [lookup, eol, finalEol] = GetParam();
    QByteArray text = "; settings of the directory\n"
                      "\n"
                      "[data]\n"
                      "  TableName  =  /srv/base/kalvest.cds  \n"
                      "[ Options ]\n"
                      "InstantSearch=2\n"
                      "instantsearch=0\n"
                      "Quoted=\" padded \"\n"
                      "Single='x'\n"
                      "Half=\"x\n"
                      "Empty=\n"
                      "Blank=   \n"
                      "a line without equals\n"
                      "=orphan\n"
                      "[Options]\n"
                      "Later=1\n"
                      "[Keyboard]\n"
                      ";Layout=1\n"
                      "Layout=$04190419\n"
                      "Last=end\n";
    text.replace("\n", eol);
    if (!finalEol)
        text.chop(qsizetype(qstrlen(eol)));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("KALVEST.INI"));
    putBytes(file, text);

    const QString fallback = QStringLiteral("<default>");
    const QString got =
        IniFile(file).readText(QStringView(lookup.section), QStringView(lookup.key), fallback);
    if (lookup.expected)
        EXPECT_EQ(got, QString::fromUtf16(lookup.expected));
    else
        EXPECT_EQ(got, fallback);
}

std::vector<LookupForm> lookupForms() {
    const LookupCase lookups[] = {
        {u"Data", u"TableName", u"/srv/base/kalvest.cds"},
        {u"DATA", u"tablename", u"/srv/base/kalvest.cds"},
        {u"options", u"INSTANTSEARCH", u"2"}, // the first of two keys
        {u"Options", u"Quoted", u" padded "},
        {u"Options", u"Single", u"x"},
        {u"Options", u"Half", u"\"x"},
        {u"Options", u"Empty", u""},
        {u"Options", u"Blank", u""},
        {u"Options", u"Later", nullptr}, // only the first section of a name counts
        {u"Options", u"a line without equals", nullptr},
        {u"Keyboard", u"Layout", u"$04190419"},
        {u"Keyboard", u";Layout", nullptr},
        {u"Keyboard", u"Last", u"end"},
        {u"Missing", u"TableName", nullptr},
        {u"Data", u"Missing", nullptr},
    };
    std::vector<LookupForm> forms;
    for (const LookupCase& lookup : lookups) {
        for (const char* eol : {"\n", "\r\n"}) {
            for (bool finalEol : {true, false})
                forms.push_back({lookup, eol, finalEol});
        }
    }
    return forms;
}

INSTANTIATE_TEST_SUITE_P(Forms, IniLookup, ::testing::ValuesIn(lookupForms()));

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIsNotCreated) {
    IniFile ini(path());
    EXPECT_EQ(ini.readText(u"Data", u"TableName"), QString());
    EXPECT_FALSE(ini.readBool(u"Options", u"InstantSearch", false));
    EXPECT_EQ(ini.readInteger(u"Keyboard", u"Layout", 68748313), 68748313);
    EXPECT_FALSE(QFile::exists(path()));
}

struct ValueCase {
    const char* line;
    bool instantSearch;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << test::printable(QString::fromLatin1(c.line));
}

class InstantSearchValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(InstantSearchValue, IsReadAsAnInteger) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("KALVEST.INI"));
    putBytes(file, QByteArray("[Options]\r\n") + GetParam().line + "\r\n");
    EXPECT_EQ(IniFile(file).readBool(u"Options", u"InstantSearch", false), GetParam().instantSearch)
        << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Values, InstantSearchValue,
    ::testing::Values(ValueCase{"InstantSearch=1", true}, ValueCase{"InstantSearch=2", true},
                      ValueCase{"InstantSearch=-1", true}, ValueCase{"InstantSearch=0", false},
                      ValueCase{"InstantSearch=true", false}, ValueCase{"InstantSearch=1x", false},
                      ValueCase{"InstantSearch=", false}, ValueCase{"Other=1", false}));

class LayoutValue : public ::testing::TestWithParam<const char*> {};

TEST_P(LayoutValue, ReadsAsTheRussianLayout) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("KALVEST.INI"));
    putBytes(file, QByteArray("[Keyboard]\nLayout=") + GetParam() + "\n");
    EXPECT_EQ(IniFile(file).readInteger(u"Keyboard", u"Layout", 68748313), 68748313);
    // the same with another default tells a value read from one that was not
    const bool readable =
        QByteArray(GetParam()) != "-$10" && QByteArray(GetParam()) != "4294967295";
    EXPECT_EQ(IniFile(file).readInteger(u"Keyboard", u"Layout", 5), readable ? 68748313 : 5);
}

INSTANTIATE_TEST_SUITE_P(Values, LayoutValue,
                         ::testing::Values("68748313", "$04190419", "x04190419", "X04190419",
                                           "0x04190419", "0X04190419", "-$10", "4294967295"));

TEST_F(IniFileTest, LongValueIsCut) {
    const QByteArray name(3000, 'n');
    putBytes(path(), "[Data]\nTableName=" + name + "\n");
    const QString value = IniFile(path()).readText(u"Data", u"TableName");
    EXPECT_EQ(value.size(), 2047);
    EXPECT_EQ(value, QString::fromLatin1(name.left(2047)));
}

TEST_F(IniFileTest, ReadsCodePage1251UnlessTheFileStartsWithAByteOrderMark) {
    const std::string name = "Д:/Справочник/база.cds";
    const QString expected = QString::fromStdString(name);
    const QByteArray utf8 = QByteArray::fromStdString(name);
    const QByteArray cp1251 = QByteArray::fromStdString(test::cp(name));

    putBytes(path(), "\xEF\xBB\xBF[Data]\r\nTableName=" + utf8 + "\r\n");
    EXPECT_EQ(IniFile(path()).readText(u"Data", u"TableName"), expected);

    putBytes(path(), "[Data]\r\nTableName=" + cp1251 + "\r\n");
    EXPECT_EQ(IniFile(path()).readText(u"Data", u"TableName"), expected);

    // Code page 1251 text that happens to be valid UTF-8 too ("Рў" is the bytes of "Т"), and
    // UTF-8 without the mark, are read as code page 1251; a write changes neither reading.
    const QByteArray both = QByteArray::fromStdString(test::cp("[Data]\nTableName=Рў\n"));
    for (const QByteArray& bytes : {both, "[Data]\nTableName=" + utf8 + "\n"}) {
        putBytes(path(), bytes);
        const QString before = IniFile(path()).readText(u"Data", u"TableName");
        EXPECT_EQ(before, cp1251::toUnicode(bytes.sliced(17, bytes.size() - 18).toStdString()));
        IniFile(path()).writeText(u"Data", u"Comment", u"Справочник");
        EXPECT_EQ(IniFile(path()).readText(u"Data", u"TableName"), before);
        EXPECT_EQ(IniFile(path()).readText(u"Data", u"Comment"), u"Справочник");
    }

    // names are decoded too, and found without regard to case
    putBytes(path(), QByteArray::fromStdString(test::cp("[Данные]\r\nИмя=") + "\xC8\r\n"));
    EXPECT_EQ(IniFile(path()).readText(u"ДАННЫЕ", u"имя"), QStringLiteral("И"));
}

TEST_F(IniFileTest, UnreadableFileIsAnError) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("KALVEST.INI")));
    EXPECT_THROW(IniFile(path()).readText(u"Data", u"TableName"), Error);
}

// What stands where the settings file should be and is no settings file: each is refused
// at reading and at writing with the reason, before it is read (a pipe would wait for a
// writer, /dev/zero and the sparse file never end), and is left as it was. The test's
// timeout is the guard against a hang.
TEST_F(IniFileTest, WhatIsNoSettingsFileIsRefusedBeforeItIsRead) {
    struct Hostile {
        const char* name;
        std::function<bool(const QString&)> make;
        const char* reason;
    };
    const std::vector<Hostile> cases = {
        {"named pipe",
         [](const QString& p) { return ::mkfifo(QFile::encodeName(p).constData(), 0600) == 0; },
         "это не обычный файл"},
        {"link to /dev/zero",
         [](const QString& p) { return QFile::link(QStringLiteral("/dev/zero"), p); },
         "это не обычный файл"},
        {"2 MiB of empty lines",
         [](const QString& p) {
             putBytes(p, QByteArray(2 << 20, '\n'));
             return true;
         },
         "файл больше 1048576 байт, это не файл настроек"},
        {"sparse 2 GiB",
         [](const QString& p) {
             putBytes(p, "[Data]\n");
             return ::truncate(QFile::encodeName(p).constData(), off_t{2} << 30) == 0;
         },
         "файл больше 1048576 байт, это не файл настроек"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Hostile& hostile = cases[i];
        SCOPED_TRACE(hostile.name);
        const QString file = path(QStringLiteral("hostile%1.ini").arg(i));
        ASSERT_TRUE(hostile.make(file));
        const QFileInfo before(file);
        const QString shown =
            QStringLiteral("«%1»: %2").arg(file, QString::fromUtf8(hostile.reason));
        try {
            (void)IniFile(file).read();
            ADD_FAILURE() << "read";
        } catch (const Error& error) {
            EXPECT_EQ(QString::fromStdString(error.what()),
                      QStringLiteral("Не могу прочитать файл настроек ") + shown);
        }
        try {
            IniFile(file).writeBool(u"Options", u"InstantSearch", true);
            ADD_FAILURE() << "written";
        } catch (const Error& error) {
            const QString message = QString::fromStdString(error.what());
            EXPECT_TRUE(message.endsWith(shown)) << error.what();
        }
        const QFileInfo after(file);
        EXPECT_EQ(after.size(), before.size());
        EXPECT_EQ(after.lastModified(), before.lastModified());
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
    }
}

// --- writing -----------------------------------------------------------------------------

TEST_F(IniFileTest, NewFileHoldsExactlyTheFourLines) {
    savePreferences(path(), true, 68748313);
    EXPECT_EQ(bytesOf(path()), "[Options]\nInstantSearch=1\n[Keyboard]\nLayout=68748313\n");

    savePreferences(path(), false, static_cast<qint32>(0xF0A80422u));
    EXPECT_EQ(bytesOf(path()), "[Options]\nInstantSearch=0\n[Keyboard]\nLayout=-257424350\n");
    EXPECT_EQ(IniFile(path()).readInteger(u"Keyboard", u"Layout", 0),
              static_cast<qint32>(0xF0A80422u));
}

TEST_F(IniFileTest, FileWithOnlyDataGainsTheOtherSections) {
    putBytes(path(), "[Data]\r\nTableName=/srv/kalvest.cds\r\n");
    savePreferences(path(), true, 68748313);
    EXPECT_EQ(bytesOf(path()), "[Data]\r\nTableName=/srv/kalvest.cds\r\n"
                               "[Options]\r\nInstantSearch=1\r\n"
                               "[Keyboard]\r\nLayout=68748313\r\n");
    EXPECT_EQ(IniFile(path()).readText(u"Data", u"TableName"), u"/srv/kalvest.cds");
}

TEST_F(IniFileTest, EveryOtherByteIsKept) {
    const QByteArray before = "; directory of the office\r\n"
                              "\r\n"
                              "[Data]\r\n"
                              "TableName = /srv/kalvest.cds\r\n"
                              "\r\n"
                              "[options]\r\n"
                              "  instantsearch =  0   \r\n"
                              "InstantSearch=5\r\n"
                              "Other=keep\r\n"
                              "\r\n"
                              "; the layout follows\r\n"
                              "[Keyboard]\r\n"
                              "Mode=1\n" // a foreign line ending stays as it is
                              "\r\n"
                              "; trailing comment\r\n"
                              "[Printer]\r\n"
                              "Name=Office\r\n"
                              "[Options]\r\n"
                              "InstantSearch=9\r\n";
    putBytes(path(), before);
    savePreferences(path(), true, 68748313);
    const QByteArray after = "; directory of the office\r\n"
                             "\r\n"
                             "[Data]\r\n"
                             "TableName = /srv/kalvest.cds\r\n"
                             "\r\n"
                             "[options]\r\n"
                             "  instantsearch =  1\r\n"
                             "InstantSearch=5\r\n"
                             "Other=keep\r\n"
                             "\r\n"
                             "; the layout follows\r\n"
                             "[Keyboard]\r\n"
                             "Mode=1\n"
                             "Layout=68748313\r\n"
                             "\r\n"
                             "; trailing comment\r\n"
                             "[Printer]\r\n"
                             "Name=Office\r\n"
                             "[Options]\r\n"
                             "InstantSearch=9\r\n";
    EXPECT_EQ(bytesOf(path()), after);
    // a second save changes only the values
    savePreferences(path(), true, 68748313);
    EXPECT_EQ(bytesOf(path()), after);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("KALVEST.INI")});
}

TEST_F(IniFileTest, LastLineWithoutLineEndingGetsOneBeforeNewLines) {
    putBytes(path(), "[Data]\nTableName=/srv/kalvest.cds");
    IniFile(path()).writeBool(u"Options", u"InstantSearch", true);
    EXPECT_EQ(bytesOf(path()), "[Data]\nTableName=/srv/kalvest.cds\n[Options]\nInstantSearch=1\n");

    putBytes(path(), "[Options]\r\nInstantSearch=0");
    IniFile(path()).writeBool(u"Options", u"InstantSearch", true);
    EXPECT_EQ(bytesOf(path()), "[Options]\r\nInstantSearch=1");
    IniFile(path()).writeInteger(u"Options", u"Count", 3);
    EXPECT_EQ(bytesOf(path()), "[Options]\r\nInstantSearch=1\r\nCount=3\r\n");

    putBytes(path(), "[Keyboard]");
    IniFile(path()).writeInteger(u"Keyboard", u"Layout", 1);
    EXPECT_EQ(bytesOf(path()), "[Keyboard]\nLayout=1\n");
}

TEST_F(IniFileTest, ByteOrderMarkAndCodePageAreKept) {
    putBytes(path(), "\xEF\xBB\xBF[Data]\r\nTableName=\xD0\x94.cds\r\n");
    IniFile(path()).writeText(u"Data", u"Comment", u"Справочник");
    EXPECT_EQ(bytesOf(path()), "\xEF\xBB\xBF[Data]\r\nTableName=\xD0\x94.cds\r\nComment=" +
                                   QStringLiteral("Справочник").toUtf8() + "\r\n");

    const QByteArray cp1251 = QByteArray::fromStdString(test::cp("[Data]\nTableName=Д.cds\n"));
    putBytes(path(), cp1251);
    IniFile(path()).writeText(u"Data", u"Comment", u"Справочник");
    EXPECT_EQ(bytesOf(path()),
              cp1251 + QByteArray::fromStdString(test::cp("Comment=Справочник\n")));
    EXPECT_EQ(IniFile(path()).readText(u"Data", u"Comment"), u"Справочник");

    // a character the code page lacks cannot go into that file
    const QByteArray kept = bytesOf(path());
    EXPECT_THROW(IniFile(path()).writeText(u"Data", u"Comment", u"中"), Error);
    EXPECT_EQ(bytesOf(path()), kept);
}

TEST_F(IniFileTest, ValuesReadBackAsWritten) {
    IniFile ini(path());
    const QString values[] = {QStringLiteral(" padded "),
                              QStringLiteral("\"quoted\""),
                              QStringLiteral("'single'"),
                              QStringLiteral("a = b ; c"),
                              QString(),
                              QStringLiteral("Путь к базе")};
    for (const QString& value : values) {
        ini.writeText(u"Data", u"Value", value);
        EXPECT_EQ(ini.readText(u"Data", u"Value", QStringLiteral("<default>")), value);
    }
    EXPECT_EQ(bytesOf(path()), QByteArray("[Data]\nValue=") +
                                   QByteArray::fromStdString(test::cp("Путь к базе")) + "\n");
}

TEST_F(IniFileTest, NamesAndValuesTheFileCannotHoldAreRefused) {
    IniFile ini(path());
    EXPECT_THROW(ini.writeText(u"Da]ta", u"Key", u"v"), Error);
    EXPECT_THROW(ini.writeText(u"", u"Key", u"v"), Error);
    EXPECT_THROW(ini.writeText(u"Data", u"Ke=y", u"v"), Error);
    EXPECT_THROW(ini.writeText(u"Data", u";Key", u"v"), Error);
    EXPECT_THROW(ini.writeText(u"Data", u" Key", u"v"), Error);
    EXPECT_THROW(ini.writeText(u"Data", u"Key", u"two\nlines"), Error);
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniFileTest, ReadOnlyFileRefusesTheWrite) {
    const QByteArray before = "[Data]\r\nTableName=/srv/kalvest.cds\r\n";
    putBytes(path(), before);
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup));
    try {
        IniFile(path()).writeBool(u"Options", u"InstantSearch", true);
        ADD_FAILURE() << "the write went through";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("только для чтения"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(bytesOf(path()), before);
    EXPECT_EQ(IniFile(path()).readText(u"Data", u"TableName"), u"/srv/kalvest.cds");
}

TEST_F(IniFileTest, MissingFolderRefusesTheWrite) {
    const QString file = m_dir.filePath(QStringLiteral("absent/KALVEST.INI"));
    EXPECT_THROW(IniFile(file).writeBool(u"Options", u"InstantSearch", true), Error);
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("absent"))));
}

TEST_F(IniFileTest, LinkedFileIsWrittenThroughTheLink) {
    putBytes(path(QStringLiteral("real.ini")), "[Options]\nInstantSearch=0\n");
    ASSERT_TRUE(QFile::link(path(QStringLiteral("real.ini")), path()));
    IniFile(path()).writeBool(u"Options", u"InstantSearch", true);
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(bytesOf(path(QStringLiteral("real.ini"))), "[Options]\nInstantSearch=1\n");
}

TEST_F(IniFileTest, RewriteKeepsThePermissions) {
    putBytes(path(), "[Options]\nInstantSearch=0\n");
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path(), permissions));
    IniFile(path()).writeBool(u"Options", u"InstantSearch", true);
    EXPECT_EQ(bytesOf(path()), "[Options]\nInstantSearch=1\n");
    EXPECT_EQ(QFile::permissions(path()) & ~(QFile::ReadUser | QFile::WriteUser), permissions);
}

} // namespace
} // namespace lambreya
