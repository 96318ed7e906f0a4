#include "app/settings_paths.h"
#include "data/case_blind_file.h"

#include "printable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lambreya::settings_paths {
namespace {

struct PathCase {
    const char16_t* programFile;
    const char16_t* readPath;
    const char16_t* savePath;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << test::printable(c.programFile);
}

class SettingsPathText : public ::testing::TestWithParam<PathCase> {};

TEST_P(SettingsPathText, FollowsTheProgramFile) {
    const PathCase& c = GetParam();
    EXPECT_EQ(readPathFor(QStringView(c.programFile)), QString::fromUtf16(c.readPath));
    EXPECT_EQ(savePathFor(QStringView(c.programFile)), QString::fromUtf16(c.savePath));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsPathText,
    ::testing::Values(
        PathCase{u"/opt/dir/Kalvest.exe", u"/opt/dir/KALVEST.INI", u"/opt/dir/Kalvest.INI"},
        PathCase{u"/opt/dir/Other.exe", u"/opt/dir/KALVEST.INI", u"/opt/dir/Other.INI"},
        PathCase{u"/opt/dir/Kalvest", u"/opt/dir/KALVEST.INI", u"/opt/dir/Kalvest.INI"},
        PathCase{u"/opt/kal.vest/Kalvest", u"/opt/kal.vest/KALVEST.INI",
                 u"/opt/kal.vest/Kalvest.INI"},
        PathCase{u"/opt/kal.vest/Kalvest.tar.gz", u"/opt/kal.vest/KALVEST.INI",
                 u"/opt/kal.vest/Kalvest.tar.INI"},
        PathCase{u"/opt/dir/Kalvest.", u"/opt/dir/KALVEST.INI", u"/opt/dir/Kalvest.INI"},
        PathCase{u"/Kalvest.exe", u"/KALVEST.INI", u"/Kalvest.INI"},
        PathCase{u"Kalvest.exe", u"KALVEST.INI", u"Kalvest.INI"},
        // only "/" parts the folder here; ":" and "\" are ordinary characters of a name
        PathCase{u"/opt/c:dir/Kalvest.exe", u"/opt/c:dir/KALVEST.INI", u"/opt/c:dir/Kalvest.INI"},
        PathCase{u"/opt/dir/a\\b.exe", u"/opt/dir/KALVEST.INI", u"/opt/dir/a\\b.INI"},
        PathCase{u"/opt/Справочник/Калвест.exe", u"/opt/Справочник/KALVEST.INI",
                 u"/opt/Справочник/Калвест.INI"}));

class SettingsPathMatching : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    void create(const QString& name) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QString program(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QString in(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
};

TEST_F(SettingsPathMatching, WithoutAFileTheNamesStandAsTheyAre) {
    EXPECT_EQ(settingsReadPath(program("Kalvest.exe")), in("KALVEST.INI"));
    EXPECT_EQ(settingsSavePath(program("Kalvest.exe")), in("Kalvest.INI"));
    EXPECT_EQ(settingsSavePath(program("Other.exe")), in("Other.INI"));
}

TEST_F(SettingsPathMatching, KalvestReadsAndSavesTheSameFileInAnyCase) {
    for (const char* existing : {"KALVEST.INI", "Kalvest.INI", "kalvest.ini"}) {
        QTemporaryDir dir;
        QFile(dir.filePath(QString::fromLatin1(existing))).open(QIODevice::WriteOnly);
        const QString programFile = dir.filePath(QStringLiteral("Kalvest.exe"));
        const QString expected = dir.filePath(QString::fromLatin1(existing));
        EXPECT_EQ(settingsReadPath(programFile), expected) << existing;
        EXPECT_EQ(settingsSavePath(programFile), expected) << existing;
    }
}

TEST_F(SettingsPathMatching, OtherProgramReadsKalvestAndSavesItsOwn) {
    create(QStringLiteral("kalvest.ini"));
    create(QStringLiteral("other.ini"));
    EXPECT_EQ(settingsReadPath(program("Other.exe")), in("kalvest.ini"));
    EXPECT_EQ(settingsSavePath(program("Other.exe")), in("other.ini"));
}

TEST_F(SettingsPathMatching, SeveralVariantsPickOneFileForBothPaths) {
    create(QStringLiteral("kalvest.ini"));
    create(QStringLiteral("Kalvest.ini"));
    create(QStringLiteral("kALVEST.INI"));
    // no exact match: the first name by character codes
    EXPECT_EQ(settingsReadPath(program("Kalvest.exe")), in("Kalvest.ini"));
    EXPECT_EQ(settingsSavePath(program("Kalvest.exe")), in("Kalvest.ini"));

    // an exact match wins, for the save path as well, so both paths stay one file
    create(QStringLiteral("Kalvest.INI"));
    create(QStringLiteral("KALVEST.INI"));
    EXPECT_EQ(settingsReadPath(program("Kalvest.exe")), in("KALVEST.INI"));
    EXPECT_EQ(settingsSavePath(program("Kalvest.exe")), in("KALVEST.INI"));
    EXPECT_EQ(matchCaseBlind(in("Kalvest.INI")), in("Kalvest.INI"));
}

TEST_F(SettingsPathMatching, OnlyFilesMatch) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("kalvest.ini")));
    EXPECT_EQ(findCaseBlind(in("KALVEST.INI")), std::nullopt);
    EXPECT_EQ(matchCaseBlind(in("absent/KALVEST.INI")), in("absent/KALVEST.INI"));
}

} // namespace
} // namespace lambreya::settings_paths
