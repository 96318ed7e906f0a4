// The program's start and end around the main window: settings read and saved, the
// directory opened and written back, the ways of ending.
#include "app/closing.h"
#include "app/error_box.h"
#include "app/keyboard_layout.h"
#include "app/shell_form.h"
#include "app/startup.h"
#include "app/translations.h"
#include "data/guarded.h"
#include "data/record_set.h"
#include "data/stored_form.h"
#include "report/report_preview.h"
#include "report/report_preview_window.h"
#include "support/directory_fixture.h"
#include "support/qt_test_support.h"
#include "support/test_text.h"
#include "support/walk_actions.h"
#include "ui/db_grid.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "support/test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace lambreya {
namespace {

using test::readAll;
using test::writeAll;

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_previous =
            setMessageBoxHook([this](const MessageBoxContent& box) { m_boxes.push_back(box); });
        const Bytes sample = storeDirectory(test::numberedDirectory(40), StoredForm::Binary);
        writeAll(dataFile(), std::string(sample.begin(), sample.end()));
    }
    void TearDown() override { setMessageBoxHook(m_previous); }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString dataFile() const { return path(QStringLiteral("city.cds")); }
    // A settings file naming the data file, with any further lines.
    void writeSettings(const QString& name, const std::string& more = {}) {
        writeAll(path(name), "[Data]\nTableName=" + dataFile().toStdString() + "\n" + more);
    }
    std::vector<QString> boxTexts() const {
        std::vector<QString> texts;
        for (const MessageBoxContent& box : m_boxes)
            texts.push_back(box.text);
        return texts;
    }
    // Changes the first record's surname and posts it.
    static void changeFirstRecord(RecordSet& table) {
        table.first();
        table.edit();
        table.setFieldText(0, test::cp("ЗАХАРОВ"));
        table.post();
    }

    QTemporaryDir m_dir;
    std::vector<MessageBoxContent> m_boxes;
    MessageBoxHook m_previous;
    RememberedKeyboardLayout m_keyboard;
};

TEST_F(ShellTest, FormCreateReadsTheSettingsAndOpensTheDirectory) {
    writeSettings(QStringLiteral("KALVEST.INI"),
                  "[Options]\nInstantSearch=2\n[Keyboard]\nLayout=$04090409\n");
    ShellForm form(path(QStringLiteral("Kalvest")), nullptr, m_keyboard);
    form.FormCreate();
    EXPECT_TRUE(form.Table1.active());
    EXPECT_EQ(form.Table1.recordCount(), 40);
    EXPECT_TRUE(form.mmOptions_InstantSearch->isChecked());
    EXPECT_EQ(m_keyboard.active(), 0x04090409);
    // Kalvest saves to the file it read, whatever the case of its name.
    EXPECT_EQ(form.settingsSavePath(), path(QStringLiteral("KALVEST.INI")));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ShellTest, WithoutSettingsTheDirectoryCannotOpenAndNoWarningIsShown) {
    ShellForm form(path(QStringLiteral("Kalvest")), nullptr, m_keyboard);
    try {
        form.FormCreate();
        ADD_FAILURE() << "opened without a data file";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Table1: Missing data provider or data packet");
    }
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_FALSE(form.Table1.active());
    EXPECT_TRUE(form.Table1.fileName().isEmpty());
    EXPECT_FALSE(form.mmOptions_InstantSearch->isChecked());
    EXPECT_EQ(m_keyboard.active(), kRussianKeyboardLayout);
}

TEST_F(ShellTest, AnUnreadableSettingsFileWarnsAndKeepsTheLayoutsDefaults) {
    QDir(m_dir.path()).mkdir(QStringLiteral("KALVEST.INI")); // a folder of that name
    ShellForm form(path(QStringLiteral("Kalvest")), nullptr, m_keyboard);
    EXPECT_THROW(form.FormCreate(), Error); // then "kalvest.cds" cannot be opened either
    ASSERT_EQ(boxTexts().size(), 1u);
    EXPECT_EQ(m_boxes[0], loadSettingsWarningBox());
    EXPECT_EQ(form.Table1.fileName(), QStringLiteral("kalvest.cds"));
}

TEST_F(ShellTest, ClosingSavesThePreferencesAndKeepsEverythingElse) {
    const std::string before =
        "; directory of the office\r\n[Data]\r\nTableName=" + dataFile().toStdString() +
        "\r\n[Other]\r\nKey=Value\r\n";
    writeAll(path(QStringLiteral("KALVEST.INI")), before);
    ShellForm form(path(QStringLiteral("Kalvest")), nullptr, m_keyboard);
    form.FormCreate();
    form.mmOptions_InstantSearchClick();
    form.FormClose();
    EXPECT_EQ(readAll(path(QStringLiteral("KALVEST.INI"))),
              before + "[Options]\r\nInstantSearch=1\r\n[Keyboard]\r\nLayout=68748313\r\n");
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ShellTest, AnotherProgramNameReadsKalvestIniButSavesItsOwn) {
    writeSettings(QStringLiteral("KALVEST.INI"));
    const std::string settings = readAll(path(QStringLiteral("KALVEST.INI")));
    ShellForm form(path(QStringLiteral("Other")), nullptr, m_keyboard);
    form.FormCreate();
    EXPECT_TRUE(form.Table1.active());
    form.FormClose();
    EXPECT_EQ(readAll(path(QStringLiteral("Other.INI"))),
              "[Options]\nInstantSearch=0\n[Keyboard]\nLayout=68748313\n");
    EXPECT_EQ(readAll(path(QStringLiteral("KALVEST.INI"))), settings);
}

TEST_F(ShellTest, AReadOnlySettingsFileGivesTheSaveWarning) {
    writeSettings(QStringLiteral("KALVEST.INI"));
    QFile::setPermissions(path(QStringLiteral("KALVEST.INI")), QFileDevice::ReadOwner);
    ShellForm form(path(QStringLiteral("Kalvest")), nullptr, m_keyboard);
    form.FormCreate();
    form.FormClose();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], saveSettingsWarningBox());
    EXPECT_EQ(m_boxes[0].text, QStringLiteral("Не могу сохранить настройки!"));
}

TEST_F(ShellTest, SavingKeepsTheSettingsFilesOwnerModeAndHardLinks) {
    writeSettings(QStringLiteral("KALVEST.INI"));
    const QString settings = path(QStringLiteral("KALVEST.INI"));
    const QString link = path(QStringLiteral("shared.ini"));
    std::filesystem::create_hard_link(settings.toStdString(), link.toStdString());
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    const QFileDevice::Permissions kKept(0xF0FF); // owner, group, other: not this user's view
    ASSERT_TRUE(QFile::setPermissions(settings, mode));
    ShellForm form(path(QStringLiteral("Kalvest")), nullptr, m_keyboard);
    form.FormCreate();
    form.mmOptions_InstantSearchClick();
    form.FormClose();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_NE(readAll(link).find("InstantSearch=1"), std::string::npos); // still one file
    EXPECT_EQ(QFileInfo(settings).permissions() & kKept, mode & kKept);

    // A file without other links is replaced, and gets its owner and group back; run as the
    // administrator, the file belongs to another user first.
    QFile::remove(link);
    if (QFileInfo(settings).ownerId() == 0) {
        ASSERT_EQ(std::system(("chown 65534:65534 " + settings.toStdString()).c_str()), 0);
    }
    const uint owner = QFileInfo(settings).ownerId();
    const uint group = QFileInfo(settings).groupId();
    form.FormClose();
    const QFileInfo after(settings);
    EXPECT_EQ(after.ownerId(), owner);
    EXPECT_EQ(after.groupId(), group);
    EXPECT_EQ(after.permissions() & kKept, mode & kKept);
}

TEST_F(ShellTest, TheDataFileIsFoundWhateverTheLetterCaseOfItsName) {
    writeAll(path(QStringLiteral("KALVEST.INI")),
             "[Data]\nTableName=" + path(QStringLiteral("CITY.CDS")).toStdString() + "\n");
    ShellForm form(path(QStringLiteral("Kalvest")), nullptr, m_keyboard);
    form.FormCreate();
    EXPECT_TRUE(form.Table1.active());
    EXPECT_EQ(form.Table1.recordCount(), 40);
    changeFirstRecord(form.Table1);
    form.Table1.close();
    // Written back to the file that was read, not to a second one.
    EXPECT_EQ(QDir(m_dir.path())
                  .entryList({QStringLiteral("*.cds"), QStringLiteral("*.CDS")}, QDir::Files),
              QStringList{QStringLiteral("city.cds")});
    const Directory dir = parseDirectory(readAll(dataFile()));
    EXPECT_EQ(test::utf8(dir.columns.value(dir.order.front(), 0)), "ЗАХАРОВ");
}

// A settings file in code page 1251 whose bytes also read as UTF-8: "ЛЁ" is CB A8.
TEST_F(ShellTest, ACodePage1251SettingsFileOpensItsDataFile) {
    const QString data = path(QStringLiteral("ЛЁ.cds"));
    ASSERT_TRUE(QFile::copy(dataFile(), data));
    writeAll(path(QStringLiteral("KALVEST.INI")),
             "[Data]\nTableName=" + m_dir.path().toStdString() + "/\xCB\xA8.cds\n");
    ShellForm form(path(QStringLiteral("Kalvest")), nullptr, m_keyboard);
    form.FormCreate();
    EXPECT_EQ(form.Table1.fileName(), data);
    EXPECT_TRUE(form.Table1.active());
}

// The program installed system-wide: its folder holds no settings and cannot be written.
class UserFolderTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        for (const char* name : {"program", "config", "share"})
            QDir(m_dir.path()).mkdir(QString::fromLatin1(name));
        QFile::setPermissions(path(QStringLiteral("program")),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        m_config = qgetenv("XDG_CONFIG_HOME");
        m_data = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", path(QStringLiteral("share")).toUtf8());
    }
    void TearDown() override {
        QFile::setPermissions(path(QStringLiteral("program")), QFileDevice::ReadOwner |
                                                                   QFileDevice::WriteOwner |
                                                                   QFileDevice::ExeOwner);
        qputenv("XDG_CONFIG_HOME", m_config);
        qputenv("XDG_DATA_HOME", m_data);
        ShellTest::TearDown();
    }
    QString program() const { return path(QStringLiteral("program/Kalvest")); }
    QString userSettings() const { return path(QStringLiteral("config/lambreya/KALVEST.INI")); }

    QByteArray m_config;
    QByteArray m_data;
};

TEST_F(UserFolderTest, AFirstStartOpensAnEmptyDirectoryOfItsOwnAndSavesThere) {
    {
        ShellForm form(program(), nullptr, m_keyboard);
        form.FormCreate();
        EXPECT_TRUE(m_boxes.empty());
        EXPECT_TRUE(form.Table1.active());
        EXPECT_EQ(form.Table1.recordCount(), 0);
        EXPECT_EQ(form.settingsSavePath(), userSettings());
        form.Table1.append();
        form.Table1.setFieldText(0, test::cp("ЗАХАРОВ"));
        form.Table1.post();
        form.mmOptions_InstantSearchClick();
        form.FormClose();
        form.Table1.close();
    }
    const QString data = path(QStringLiteral("share/lambreya/kalvest.cds"));
    EXPECT_EQ(readAll(userSettings()), "[Data]\nTableName=" + data.toStdString() +
                                           "\n[Options]\nInstantSearch=1\n[Keyboard]\n"
                                           "Layout=68748313\n");
    EXPECT_TRUE(QDir(path(QStringLiteral("program"))).isEmpty());

    ShellForm again(program(), nullptr, m_keyboard);
    again.FormCreate();
    EXPECT_TRUE(again.mmOptions_InstantSearch->isChecked());
    EXPECT_EQ(again.Table1.recordCount(), 1);
}

TEST_F(UserFolderTest, SettingsBesideTheProgramAreStillTheOnesUsed) {
    QFile::setPermissions(path(QStringLiteral("program")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    writeSettings(QStringLiteral("program/kalvest.ini"));
    QFile::setPermissions(path(QStringLiteral("program")),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    ShellForm form(program(), nullptr, m_keyboard);
    form.FormCreate();
    EXPECT_EQ(form.Table1.recordCount(), 40);
    EXPECT_EQ(form.settingsSavePath(), path(QStringLiteral("program/kalvest.ini")));
    EXPECT_FALSE(QFile::exists(userSettings()));
}

TEST_F(UserFolderTest, AnAdministratorsSettingsInAFolderOfAnotherUserAreOnlyRead) {
    QFile::setPermissions(path(QStringLiteral("program")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    writeSettings(QStringLiteral("program/KALVEST.INI"), "[Options]\nInstantSearch=1\n");
    const std::string administrators = readAll(path(QStringLiteral("program/KALVEST.INI")));
    // Writable for its owner, as a folder of the system is for the administrator.
    if (::chown(QFile::encodeName(path(QStringLiteral("program"))).constData(), 65534, 65534) != 0)
        GTEST_SKIP() << "giving the program's folder to another user needs the administrator";
    for (int start = 0; start < 2; ++start) {
        ShellForm form(program(), nullptr, m_keyboard);
        form.FormCreate();
        EXPECT_TRUE(m_boxes.empty());
        EXPECT_EQ(form.Table1.recordCount(), 40);
        EXPECT_EQ(form.settingsSavePath(), userSettings());
        EXPECT_EQ(form.mmOptions_InstantSearch->isChecked(), start == 0);
        if (start == 0)
            form.mmOptions_InstantSearchClick();
        form.FormClose();
        form.Table1.close();
    }
    EXPECT_EQ(readAll(path(QStringLiteral("program/KALVEST.INI"))), administrators);
    EXPECT_EQ(readAll(userSettings()), "[Data]\nTableName=" + dataFile().toStdString() +
                                           "\n[Options]\nInstantSearch=0\n[Keyboard]\n"
                                           "Layout=68748313\n");
    EXPECT_EQ(QDir(path(QStringLiteral("program"))).entryList(QDir::Files),
              QStringList{QStringLiteral("KALVEST.INI")});
}

// Runs the program on the temporary folder until `end` ends it.
class ProgramTest : public ShellTest {
protected:
    void runUntil(const std::function<void(ShellForm&)>& end, bool change = true) {
        Program program(path(QStringLiteral("Kalvest")));
        program.start();
        // The report form comes right after the window and goes before it.
        ASSERT_NE(program.searchResForm(), nullptr);
        EXPECT_EQ(program.form().SearchResForm, program.searchResForm());
        if (change)
            changeFirstRecord(program.form().Table1);
        QTimer::singleShot(0, &program.form(), [&] { end(program.form()); });
        EXPECT_EQ(program.run(), 0);
        program.finish();
        EXPECT_EQ(program.searchResForm(), nullptr);
    }

    std::string firstSurname() const {
        const std::string bytes = readAll(dataFile());
        const Directory dir = parseDirectory(bytes);
        return test::utf8(dir.columns.value(dir.order.front(), 0));
    }
};

TEST_F(ProgramTest, TheExitCommandLeavesTheSettingsButWritesTheDirectory) {
    writeSettings(QStringLiteral("KALVEST.INI"));
    const std::string settings = readAll(path(QStringLiteral("KALVEST.INI")));
    runUntil([](ShellForm& form) {
        form.mmOptions_InstantSearchClick();
        form.mmFile_ExitClick();
    });
    EXPECT_EQ(readAll(path(QStringLiteral("KALVEST.INI"))), settings);
    EXPECT_EQ(firstSurname(), "ЗАХАРОВ");
}

TEST_F(ProgramTest, ClosingTheWindowSavesTheSettingsAndWritesTheDirectory) {
    writeSettings(QStringLiteral("KALVEST.INI"));
    runUntil([](ShellForm& form) {
        form.mmOptions_InstantSearchClick();
        form.close();
    });
    EXPECT_NE(readAll(path(QStringLiteral("KALVEST.INI"))).find("InstantSearch=1"),
              std::string::npos);
    EXPECT_EQ(firstSurname(), "ЗАХАРОВ");
}

TEST_F(ProgramTest, AnUnchangedDirectoryIsNotWritten) {
    writeSettings(QStringLiteral("KALVEST.INI"));
    const std::string before = readAll(dataFile());
    runUntil([](ShellForm& form) { form.close(); }, false);
    EXPECT_EQ(readAll(dataFile()), before);
}

TEST_F(ProgramTest, TerminationEndsTheLoopWithoutTheCloseHandlerAndKeepsTheChanges) {
    for (int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        writeSettings(QStringLiteral("KALVEST.INI"));
        const std::string settings = readAll(path(QStringLiteral("KALVEST.INI")));
        runUntil([signal](ShellForm& form) {
            form.mmOptions_InstantSearchClick();
            std::raise(signal);
        });
        EXPECT_EQ(readAll(path(QStringLiteral("KALVEST.INI"))), settings);
        EXPECT_EQ(firstSurname(), "ЗАХАРОВ");
    }
}

// What a user typed into the grid and left without moving off the row.
class PendingChangeTest : public ProgramTest {
protected:
    using End = std::function<void(ShellForm&)>;
    // Keys as the keyboard gives them, to whatever holds the focus.
    static void type(const QString& text) {
        for (QChar c : text) {
            QKeyEvent down(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &down);
        }
    }
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
    // Into the edit mode with the first record current.
    static void editMode(ShellForm& form) {
        QApplication::setActiveWindow(&form);
        form.mmView_Mode_Edit->trigger();
    }
    std::vector<std::string> storedRecord(int place) const {
        const Directory dir = parseDirectory(readAll(dataFile()));
        const RecordId id = dir.order.at(static_cast<std::size_t>(place));
        return {test::utf8(dir.columns.value(id, 0)), test::utf8(dir.columns.value(id, 1))};
    }
    std::size_t storedCount() const { return parseDirectory(readAll(dataFile())).order.size(); }

    const std::vector<std::pair<const char*, End>> m_userEnds = {
        {"Alt+X", [](ShellForm&) { press(Qt::Key_X, Qt::AltModifier); }},
        {"Exit", [](ShellForm& form) { form.mmFile_Exit->trigger(); }},
        {"the close box", [](ShellForm& form) { form.close(); }},
        {"Esc in a search box",
         [](ShellForm& form) {
             form.Edit3_Street->setFocus();
             press(Qt::Key_Escape);
         }},
    };
    const std::vector<std::pair<const char*, End>> m_signalEnds = {
        {"SIGTERM", [](ShellForm&) { std::raise(SIGTERM); }},
        {"SIGHUP", [](ShellForm&) { std::raise(SIGHUP); }},
        {"SIGINT", [](ShellForm&) { std::raise(SIGINT); }},
    };
};

TEST_F(PendingChangeTest, EveryEndPostsWhatWasTypedAndDropsAnUntouchedNewRecord) {
    std::vector<std::pair<const char*, End>> ends = m_userEnds;
    ends.insert(ends.end(), m_signalEnds.begin(), m_signalEnds.end());
    for (const auto& [name, end] : ends) {
        SCOPED_TRACE(name);
        writeSettings(QStringLiteral("KALVEST.INI"));
        writeAll(dataFile(), test::stored(test::numberedDirectory(40), StoredForm::Binary));
        runUntil(
            [end = end](ShellForm& form) {
                editMode(form);
                type(QStringLiteral("ПЕТРОВ"));
                press(Qt::Key_Tab);
                type(QStringLiteral("А.Б."));
                press(Qt::Key_Return);
                ASSERT_EQ(form.Table1.state(), RecordSet::State::Edit);
                end(form);
            },
            false);
        EXPECT_EQ(storedRecord(0), (std::vector<std::string>{"ПЕТРОВ", "А.Б."}));
        EXPECT_TRUE(m_boxes.empty());

        runUntil(
            [end = end](ShellForm& form) {
                editMode(form);
                press(Qt::Key_Insert);
                end(form);
            },
            false);
        EXPECT_EQ(storedCount(), 40u);
        EXPECT_EQ(storedRecord(0), (std::vector<std::string>{"ПЕТРОВ", "А.Б."}));
    }
}

TEST_F(PendingChangeTest, AChangeThatCannotBePostedKeepsTheWindowOpenOrIsLeftBehindBySignals) {
    Directory dir = test::numberedDirectory(40);
    dir.fields[0].required = true;
    for (const bool byUser : {true, false}) {
        for (const auto& [name, end] : byUser ? m_userEnds : m_signalEnds) {
            SCOPED_TRACE(name);
            writeSettings(QStringLiteral("KALVEST.INI"));
            writeAll(dataFile(), test::stored(dir, StoredForm::Binary));
            m_boxes.clear();
            runUntil([&, end = end](ShellForm& form) {
                editMode(form);
                press(Qt::Key_Insert);
                press(Qt::Key_Tab);
                type(QStringLiteral("А.Б."));
                end(form);
                if (!byUser)
                    return;
                QCoreApplication::processEvents();
                EXPECT_EQ(boxTexts(), std::vector<QString>{
                                          QStringLiteral("Field 'Nsa_famili' must have a value.")});
                EXPECT_TRUE(form.isVisible());
                EXPECT_EQ(form.Table1.state(), RecordSet::State::Insert);
                EXPECT_EQ(form.Table1.fieldText(1), test::cp("А.Б."));
                std::raise(SIGTERM);
            });
            // The posted change went to the file, the new record without a surname did not.
            EXPECT_EQ(storedCount(), 40u);
            EXPECT_EQ(storedRecord(0)[0], "ЗАХАРОВ");
            EXPECT_EQ(m_boxes.size(), byUser ? 1u : 0u);
        }
    }
}

TEST_F(ProgramTest, EveryWayOfEndingWorksFromInsideThePreviewAndKeepsTheChanges) {
    using End = std::function<void(ShellForm&)>;
    const std::pair<const char*, End> ways[] = {
        {"SIGTERM", [](ShellForm&) { std::raise(SIGTERM); }},
        {"Alt+X", [](ShellForm& form) { form.mmFile_ExitClick(); }},
        {"closing the main window", [](ShellForm& form) { form.close(); }},
        {"the session's quit", [](ShellForm&) { QCoreApplication::quit(); }},
    };
    for (const bool duringTheRun : {true, false}) {
        for (const auto& [name, end] : ways) {
            SCOPED_TRACE(std::string(name) + (duringTheRun ? " while building" : " while shown"));
            writeSettings(QStringLiteral("KALVEST.INI"));
            runUntil([&, end = end](ShellForm& form) {
                ReportPreview& preview = *form.QuickRep1Preview;
                auto* user = new test::WalkActions(preview);
                user->setParent(&form);
                if (duringTheRun)
                    user->at(1, 20, [&form, end] { end(form); });
                else
                    test::whenRunEnds(preview, [&form, end](ReportPreviewWindow&) { end(form); });
                form.mmFile_PreviewClick();
                EXPECT_NE(preview.window(), nullptr);
            });
            EXPECT_EQ(firstSurname(), "ЗАХАРОВ");
            EXPECT_TRUE(m_boxes.empty());
        }
    }
}

TEST_F(ProgramTest, ChangesThatCannotBeWrittenBackGoToAFileInTheHomeFolder) {
    QDir(m_dir.path()).mkdir(QStringLiteral("home"));
    QDir(m_dir.path()).mkdir(QStringLiteral("gone"));
    const QString data = path(QStringLiteral("gone/city.cds"));
    QFile::copy(dataFile(), data);
    writeAll(path(QStringLiteral("KALVEST.INI")), "[Data]\nTableName=" + data.toStdString() + "\n");
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", path(QStringLiteral("home")).toUtf8());
    runUntil([this](ShellForm& form) {
        // The data file's folder disappears while the program runs.
        QDir(path(QStringLiteral("gone"))).removeRecursively();
        form.close();
    });
    qputenv("HOME", home);

    ASSERT_EQ(m_boxes.size(), 1u);
    const QString text = m_boxes[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Не удалось записать файл ") + data))
        << text.toStdString();
    const QStringList saved = QDir(path(QStringLiteral("home"))).entryList(QDir::Files);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(saved[0].startsWith(QStringLiteral("city (не записан "))) << saved[0].toStdString();
    EXPECT_TRUE(saved[0].endsWith(QStringLiteral(").cds")));
    EXPECT_TRUE(text.contains(QStringLiteral("Изменения сохранены в файле ") +
                              path(QStringLiteral("home/")) + saved[0]))
        << text.toStdString();
    const Directory rescued = parseDirectory(readAll(path(QStringLiteral("home/")) + saved[0]));
    EXPECT_EQ(test::utf8(rescued.columns.value(rescued.order.front(), 0)), "ЗАХАРОВ");
}

// Keys as a keyboard gives them to the window's control with the focus; a confirmation box
// that opens is answered with OK.
void pressKeys(QWidget& window, const QString& text) {
    for (QChar c : text) {
        QKeyEvent down(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(window.focusWidget(), &down);
        QKeyEvent up(QEvent::KeyRelease, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(window.focusWidget(), &up);
    }
}
void pressKey(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QObject during;
    QTimer::singleShot(0, &during, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->buttons().front()->click();
    });
    QTest::keyClick(window.focusWidget(), static_cast<Qt::Key>(key), modifiers);
    QCoreApplication::sendPostedEvents();
}

// The program's work in a process of its own, which the system then kills as a crash or a
// power cut ends a program: no handler runs and nothing is written at the end. Run only as
// the child of the case below, in the folder it names.
TEST_F(ProgramTest, DISABLED_WorkOfAProgramThatIsKilled) {
    const QString folder = qEnvironmentVariable("LAMBREYA_KILLED_FOLDER");
    if (folder.isEmpty())
        GTEST_SKIP();
    Program program(folder + QStringLiteral("/Kalvest"));
    program.start();
    ShellForm& form = program.form();
    QApplication::setActiveWindow(&form);
    form.mmView_Mode_EditClick();
    ASSERT_EQ(form.focusWidget(), form.DBGrid1);
    pressKeys(form, QStringLiteral("Захаров"));
    pressKey(form, Qt::Key_Down); // posts the edit
    pressKey(form, Qt::Key_Insert);
    pressKeys(form, QStringLiteral("Новиков"));
    pressKey(form, Qt::Key_Down); // posts the new record
    pressKey(form, Qt::Key_Delete, Qt::ControlModifier);
    pressKeys(form, QStringLiteral("Орлов")); // typed, never posted
    writeAll(folder + QStringLiteral("/posted.cds"),
             test::stored(form.Table1.directory(), StoredForm::Binary));
    std::raise(SIGKILL);
}

TEST_F(ProgramTest, EveryChangePostedInTheWindowOutlivesAKilledProgram) {
    writeSettings(QStringLiteral("KALVEST.INI"));
    const QString expected = path(QStringLiteral("posted.cds"));
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LAMBREYA_KILLED_FOLDER"), m_dir.path());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=ProgramTest.DISABLED_WorkOfAProgramThatIsKilled"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(120000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAll().toStdString();
    ASSERT_EQ(child.exitCode(), SIGKILL);
    const std::string posted = readAll(expected);
    const Directory dir = parseDirectory(posted);
    ASSERT_EQ(dir.order.size(), 40u);
    EXPECT_EQ(test::utf8(dir.columns.value(dir.order[1], 0)), "Новиков");
    EXPECT_EQ(test::utf8(dir.columns.value(dir.order[2], 0)), "ИВАНОВ2"); // ИВАНОВ1 deleted
    const std::string before = readAll(dataFile());

    runUntil(
        [&](ShellForm& form) {
            EXPECT_EQ(test::stored(form.Table1.directory(), StoredForm::Binary), posted);
            form.close();
        },
        false);
    EXPECT_NE(before, posted);
    EXPECT_EQ(readAll(dataFile()), posted);
    EXPECT_FALSE(QFile::exists(dataFile() + QStringLiteral(".journal")));
    EXPECT_EQ(boxTexts(),
              std::vector<QString>{
                  QStringLiteral("Прошлый сеанс работы со справочником %1 не был завершён. Из "
                                 "журнала восстановлено изменений: 3. Они будут записаны в "
                                 "справочник при выходе из программы.")
                      .arg(dataFile())});
    EXPECT_EQ(m_boxes.front().icon, QMessageBox::Information);
}

TEST_F(ProgramTest, ASecondCopyIsReadOnlyAndItsEndLeavesTheFirstCopysChanges) {
    writeSettings(QStringLiteral("KALVEST.INI"));
    runUntil([this](ShellForm& first) {
        ShellForm second(path(QStringLiteral("Kalvest")), nullptr, m_keyboard);
        second.FormCreate();
        EXPECT_EQ(boxTexts(),
                  std::vector<QString>{
                      QStringLiteral("Справочник %1 уже открыт в другой копии программы. Здесь "
                                     "он открыт только для чтения: записи нельзя изменять, "
                                     "добавлять и удалять.")
                          .arg(dataFile())});
        second.show();
        QApplication::setActiveWindow(&second);
        second.mmView_Mode_EditClick();
        ASSERT_EQ(second.focusWidget(), second.DBGrid1);
        pressKeys(second, QStringLiteral("Орлов"));
        pressKey(second, Qt::Key_Down);
        pressKey(second, Qt::Key_Insert);
        pressKey(second, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_FALSE(second.Table1.changed());
        EXPECT_EQ(second.Table1.recordCount(), 40);
        closeDirectory(second.Table1);
        EXPECT_EQ(firstSurname(), "ИВАНОВ0");
        EXPECT_EQ(first.Table1.recordCount(), 40);
        first.close();
    });
    EXPECT_EQ(firstSurname(), "ЗАХАРОВ");
}

TEST_F(ProgramTest, AFailedOpeningIsShownBeforeTheWindowAndNothingIsWrittenAtTheEnd) {
    Program program(path(QStringLiteral("Kalvest")));
    program.start();
    ASSERT_EQ(boxTexts().size(), 1u);
    EXPECT_EQ(boxTexts()[0], QStringLiteral("Table1: Missing data provider or data packet."));
    EXPECT_FALSE(program.form().Table1.active());
    EXPECT_EQ(program.form().SearchResForm, program.searchResForm());
    QTimer::singleShot(0, [&] { program.form().close(); });
    program.run();
    program.finish();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("kalvest.cds"))));
}

TEST_F(ProgramTest, AnErrorOfAKeyAMenuCommandOrATimerIsShownInTheStandardErrorBox) {
    // Without settings the directory stays closed, and every search fails.
    Program program(path(QStringLiteral("Kalvest")));
    program.start();
    m_boxes.clear();
    ShellForm& form = program.form();
    QApplication::setActiveWindow(&form);
    QTimer timer;
    timer.setSingleShot(true);
    connectGuarded(&timer, &QTimer::timeout, &form, &TLambreyaForm::Label1Click);
    QTimer::singleShot(0, &form, [&] {
        // Enter leaves the box, whose changed text is searched for.
        QTest::keyClicks(form.Edit1_Famili, QStringLiteral("IV"));
        QTest::keyClick(form.Edit1_Famili, Qt::Key_Return);
        // The edit mode takes the focus to the grid, and the box that loses it searches.
        QTest::keyClicks(form.Edit2_Initsi, QStringLiteral("I"));
        form.mmView_Mode_Edit->trigger();
        timer.start(0);
        QTimer::singleShot(0, &form, [] { QCoreApplication::exit(0); });
    });
    EXPECT_EQ(program.run(), 0);
    program.finish();
    const MessageBoxContent closed =
        standardErrorBox(u"Table1: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(m_boxes, std::vector<MessageBoxContent>(3, closed));
    EXPECT_TRUE(test::takeEscapedErrors().empty());
}

} // namespace
} // namespace lambreya

namespace lambreya {
namespace {

TEST(Translations, QtsOwnDialogsSpeakRussianWhateverTheSystemLanguage) {
    QLocale::setDefault(QLocale(QLocale::English));
    loadRussianTranslations();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Перейти к:"));
}

} // namespace
} // namespace lambreya
