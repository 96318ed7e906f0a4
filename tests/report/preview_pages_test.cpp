// The preview window's commands over its pages with no printer installed: saving and
// loading pages through the file dialogs, PrintSetup and Print on loaded pages.
#include "preview_run_fixture.h"
#include "support/qt_test_support.h"
#include "support/run_kalvest_data.h"
#include "support/test_files.h"
#include "support/walk_actions.h"

#include "report/preview_files.h"
#include "report/preview_page_commands.h"
#include "report/print_setup.h"
#include "report/saved_pages.h"
#include "report/stepped_run.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace lambreya::test {
namespace {

std::string folder(const QString& path) {
    return QDir(path).canonicalPath().toStdString();
}

// The pages and placed words of a PDF as `pdftotext -bbox` gives them, but for the date
// and time, which differ between two runs.
std::vector<std::string> placedWords(const QString& pdf) {
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(run.waitForFinished(60000));
    static const QRegularExpression clock(QStringLiteral(">\\d+[.:/]\\d+[.:/]\\d+</word>"));
    std::vector<std::string> words;
    for (const QString& line : QString::fromUtf8(run.readAllStandardOutput()).split(u'\n')) {
        const QString placed = line.trimmed();
        if ((placed.startsWith(u"<page ") || placed.startsWith(u"<word ")) &&
            !placed.contains(clock))
            words.push_back(placed.toStdString());
    }
    return words;
}

class PreviewPagesTest : public PreviewRunTest {
protected:
    void SetUp() override {
        // The file dialogs remember their folders in the user's settings: not the real ones.
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(m_dir.isValid());
        m_startFolder = QDir::currentPath();
    }
    void TearDown() override { QDir::setCurrent(m_startFolder); }

    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // Clicks `button` with the file dialog it opens answered by choosing `file` (a name
    // in the test's folder) of type `filter`, then doing `afterChoice`; cancelled when
    // `file` is null.
    void chooseFile(QToolButton* button, const char* file, QStringView filter = {},
                    std::function<void()> afterChoice = {}) {
        const QString chosen = file ? path(file) : QString();
        answerNextDialog<QFileDialog>([this, chosen, filter, afterChoice](QFileDialog& dialog) {
            m_dialogTitle = dialog.windowTitle();
            m_dialogTypes = dialog.nameFilters();
            if (chosen.isEmpty()) {
                dialog.reject();
                return;
            }
            if (!filter.isEmpty())
                dialog.selectNameFilter(filter.toString());
            dialog.selectFile(chosen);
            static_cast<QDialog&>(dialog).accept(); // as its OK button does
            if (afterChoice)
                afterChoice();
        });
        button->click();
    }

    // A saved report of three pages, as another window saved it.
    QString savedThreePages(const char* name) {
        std::vector<PageDrawing> pages;
        PageDrawingBuilder builder;
        for (int page = 1; page <= 3; ++page) {
            builder.begin(kA4Landscape);
            builder.text(0, 1000, 2000, "saved " + std::to_string(page));
            pages.push_back(builder.take());
        }
        writeSavedPages(path(name), m_quick.documentInfo(), pages);
        m_savedPages = pages;
        return path(name);
    }

    QTemporaryDir m_dir;
    QString m_startFolder;
    // Handles events until the pages going into a file have all gone.
    void untilPagesAreWritten() {
        if (SteppedRun* work = m_commands.pagesWork(); work && work->running()) {
            QEventLoop loop;
            QObject::connect(work, &SteppedRun::ended, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }

    PreviewPageCommands m_commands{m_preview, m_quick.PrinterSettings};
    QString m_dialogTitle;
    QStringList m_dialogTypes;
    std::vector<PageDrawing> m_savedPages;
};

TEST_F(PreviewPagesTest, ThreePagesSavedAndLoadedBackAreTheSamePagesAndTheFolderBecomesCurrent) {
    open(100);
    std::vector<PageDrawing> built;
    preview([&](ReportPreviewWindow& window) {
        built = window.pageStore().pages();
        chooseFile(window.SaveReport, "pages");
        EXPECT_EQ(m_dialogTitle, QStringLiteral("Save report"));
        EXPECT_EQ(m_dialogTypes,
                  QStringList({kSavedPagesFilter.toString(), kPdfFilter.toString()}));
        chooseFile(window.SaveReport, "printout", kPdfFilter);
        chooseFile(window.SaveReport, nullptr);

        // No printer: the print dialog does not open and the settings stay.
        window.PrintSetup->click();
        close(window);
    });
    ASSERT_EQ(built.size(), 3u);
    untilPagesAreWritten();
    EXPECT_TRUE(QFileInfo::exists(path("pages.kvr")));
    // The PDF shows what kalvest-data report makes of the same records.
    writeAll(path("city.cds"), stored(numberedDirectory(100), StoredForm::Binary));
    const ProcessResult report = runKalvestData(
        {QStringLiteral("report"), path("city.cds"), QStringLiteral("-o"), path("expected.pdf")});
    ASSERT_EQ(report.status, 0) << report.err;
    const std::vector<std::string> words = placedWords(path("printout.pdf"));
    EXPECT_GT(words.size(), 200u);
    EXPECT_EQ(words, placedWords(path("expected.pdf")));
    EXPECT_EQ(folder(QDir::currentPath()), folder(m_dir.path()));
    EXPECT_EQ(errors(), std::vector<std::string>{kNoDefaultPrinter});
    EXPECT_EQ(m_quick.PrinterSettings, PrintSettings());

    // A window of one page takes the three back.
    m_table.openDirectory(numberedDirectory(5));
    QDir::setCurrent(m_startFolder);
    std::vector<PageDrawing> loaded;
    QString pagePanel;
    bool printSetup = true, print = false, fromFile = false;
    preview([&](ReportPreviewWindow& window) {
        window.NextPage->click();
        chooseFile(window.LoadReport, "pages.kvr");
        EXPECT_EQ(m_dialogTitle, QStringLiteral("Load report"));
        EXPECT_EQ(m_dialogTypes, QStringList{kSavedPagesFilter.toString()});
        loaded = window.pageStore().pages();
        pagePanel = window.pagePanel()->text();
        printSetup = window.PrintSetup->isEnabled();
        print = window.Print->isEnabled();
        fromFile = window.pageStore().loadedFromFile() && window.pageStore().finished();
        // Print on loaded pages with no printer does nothing.
        window.Print->click();
        QTimer::singleShot(0, &window, [&window] { close(window); });
    });
    EXPECT_EQ(loaded, built);
    EXPECT_EQ(pagePanel, QStringLiteral("Лист 1 из 3"));
    EXPECT_FALSE(printSetup);
    EXPECT_TRUE(print);
    EXPECT_TRUE(fromFile);
    EXPECT_EQ(folder(QDir::currentPath()), folder(m_dir.path()));
    EXPECT_TRUE(errors().empty());
}

TEST_F(PreviewPagesTest, WhileBuildingSavingDoesNothingAndLoadingStopsTheBuild) {
    open(400);
    const QString saved = savedThreePages("other.kvr");
    WalkActions user(m_preview);
    int loadedAt = -1;
    user.at(1, 50, [&] {
        chooseFile(m_preview.window()->SaveReport, "early.kvr");
        EXPECT_TRUE(m_preview.running());
        chooseFile(m_preview.window()->LoadReport, "other.kvr");
        loadedAt = m_table.currentRow();
    });
    QString pagePanel;
    std::vector<PageDrawing> pages;
    PaperSize paper;
    preview([&](ReportPreviewWindow& window) {
        pagePanel = window.pagePanel()->text();
        pages = window.pageStore().pages();
        paper = window.pageStore().paper();
        close(window);
    });
    EXPECT_FALSE(QFileInfo::exists(path("early.kvr")));
    EXPECT_EQ(loadedAt, 50) << "the walk stopped where the pages were loaded";
    EXPECT_EQ(pagePanel, QStringLiteral("Лист 1 из 3"));
    EXPECT_EQ(pages, m_savedPages);
    EXPECT_EQ(paper, kA4Landscape) << "the paper of the loaded pages";
    EXPECT_TRUE(errors().empty());
}

struct BadFile {
    const char* name;
    const char* file;        // chosen in the dialog
    std::string content;     // written there first, unless empty
    bool save;               // SaveReport, else LoadReport
    const char* message;     // a part of the error shown
    bool folderGone = false; // the file's folder is removed once the file was chosen
};

void PrintTo(const BadFile& row, std::ostream* os) {
    *os << row.name;
}

class PreviewBadFile : public PreviewPagesTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(PreviewBadFile, IsReportedAndTheWindowKeepsItsPages) {
    const BadFile& row = GetParam();
    const QString folder = QFileInfo(path(row.file)).absolutePath();
    QDir().mkpath(folder);
    if (!row.content.empty())
        test::writeAll(path(row.file), row.content);
    open(50);
    std::vector<PageDrawing> before, after;
    bool printSetup = false;
    preview([&](ReportPreviewWindow& window) {
        before = window.pageStore().pages();
        chooseFile(row.save ? window.SaveReport : window.LoadReport, row.file, {}, [&] {
            if (row.folderGone)
                QDir(folder).removeRecursively();
        });
        after = window.pageStore().pages();
        printSetup = window.PrintSetup->isEnabled() && !window.pageStore().loadedFromFile();
        close(window);
    });
    EXPECT_EQ(after, before);
    EXPECT_TRUE(printSetup);
    const std::vector<std::string> reported = errors();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find(row.message), std::string::npos) << reported[0];
}

INSTANTIATE_TEST_SUITE_P(
    PreviewPages, PreviewBadFile,
    ::testing::Values(
        BadFile{"Missing", "missing.kvr", "", false, "File does not exist"},
        BadFile{"Foreign", "notes.kvr", "just some text", false, "это не файл сохранённого отчёта"},
        BadFile{"Damaged", "cut.kvr", std::string("KVREP\r\n\x1A\x01\0", 11), false,
                "файл обрезан"},
        BadFile{"FolderGone", "gone/pages.kvr", "", true, "Не удалось записать файл", true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PreviewPagesTest, TheDataFileIsWrittenWhereItWasOpenedAfterTheDialogsMovedTheFolder) {
    QDir(m_dir.path()).mkdir(QStringLiteral("data"));
    QDir(m_dir.path()).mkdir(QStringLiteral("reports"));
    QDir::setCurrent(path("data"));
    writeAll(QStringLiteral("kalvest.cds"), stored(numberedDirectory(3), StoredForm::Binary));
    m_table.setFileName(QStringLiteral("kalvest.cds"));
    m_table.open();
    connect();
    m_table.first();
    m_table.edit();
    m_table.setFieldText(0, "CHANGED");
    m_table.post();
    preview([&](ReportPreviewWindow& window) {
        chooseFile(window.SaveReport, "reports/pages.kvr");
        close(window);
    });
    ASSERT_EQ(folder(QDir::currentPath()), folder(path("reports")));
    m_table.close();
    EXPECT_FALSE(QFileInfo::exists(path("reports/kalvest.cds")));
    EXPECT_NE(readAll(path("data/kalvest.cds")).find("CHANGED"), std::string::npos);
}

} // namespace
} // namespace lambreya::test
