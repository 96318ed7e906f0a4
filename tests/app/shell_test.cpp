// The program's start and end around the main window: settings read and saved, the
// directory opened and written back, the ways of ending.
#include "../report/walk_actions.h"
#include "app/error_box.h"
#include "app/keyboard_layout.h"
#include "app/shell_form.h"
#include "app/startup.h"
#include "app/translations.h"
#include "data/record_set.h"
#include "data/stored_form.h"
#include "report/report_preview.h"
#include "report/report_preview_window.h"
#include "test_text.h"
#include "tools/directory_generator.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

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
        const Bytes sample = storeDirectory(generateDirectory(40, 3), StoredForm::Binary);
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
            bool previewReturned = false;
            runUntil([&, end = end](ShellForm& form) {
                test::WalkActions user(form.Table1);
                form.QuickRep1Preview->setMessageSlice(0);
                QTimer poll;
                if (duringTheRun)
                    user.at(1, 20, [&form, end] { end(form); });
                else
                    test::whenBuilt(poll, *form.QuickRep1Preview,
                                    [&form, end](ReportPreviewWindow&) { end(form); });
                form.mmFile_PreviewClick();
                previewReturned = true;
                EXPECT_EQ(form.QuickRep1Preview->window(), nullptr);
                // A signal arrives one record later, through the loop.
                const int row = form.Table1.currentRow();
                if (duringTheRun)
                    EXPECT_TRUE(row == 20 || row == 21) << row;
                else
                    EXPECT_EQ(row, 39);
            });
            EXPECT_TRUE(previewReturned);
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
