// The preview operation and its guards, driven as the user drives them: actions arrive
// while a run works through the records or while the window stays open.
#include "preview_run_fixture.h"

#include "report/preview_files.h"

#include "data/guarded.h"

#include <QLabel>
#include <QTemporaryDir>

namespace lambreya::test {
namespace {

TEST_F(PreviewRunTest, PagesOfTheMatchesThenTheLastRecordIsCurrent) {
    struct Case {
        int records;
        QString pagePanel;
        QString progress;
    };
    for (const Case& c : {Case{0, QStringLiteral("Лист 1 из 1"), QStringLiteral("0%")},
                          Case{39, QStringLiteral("Лист 1 из 2"), QString()}}) {
        SCOPED_TRACE(c.records);
        m_table.openDirectory(numberedDirectory(c.records));
        QString pagePanel, progress;
        bool printable = false;
        preview([&](ReportPreviewWindow& window) {
            pagePanel = window.pagePanel()->text();
            progress = window.progressPanel()->text();
            printable = window.Print->isEnabled() && window.PrintSetup->isEnabled();
            close(window);
        });
        EXPECT_EQ(pagePanel, c.pagePanel);
        EXPECT_EQ(progress, c.progress);
        EXPECT_TRUE(printable);
        EXPECT_EQ(m_table.currentRow(), c.records - 1);
        EXPECT_EQ(m_preview.window(), nullptr);
        m_table.discard();
    }
}

TEST_F(PreviewRunTest, OpensAtOnceAndOnlyOneWindowOrRunAtATime) {
    open(200);
    WalkActions user(m_preview);
    user.at(1, 10, [this] { m_preview.preview(); });
    int pages = 0;
    preview([&](ReportPreviewWindow& window) {
        m_preview.preview();
        pages = window.pageStore().pageCount();
        close(window);
    });
    EXPECT_TRUE(m_openedAtOnce);
    EXPECT_EQ(m_windows, 1);
    EXPECT_EQ(pages, 6);
    EXPECT_EQ(user.walks(), 1);
}

TEST_F(PreviewRunTest, ClosingWhileBuildingStopsTheWalkWhereItWas) {
    open(200);
    WalkActions user(m_preview);
    int rowDuringTheRun = -1;
    user.at(1, 20, [&] { rowDuringTheRun = m_table.currentRow(); });
    user.at(1, 50, [this] { close(*m_preview.window()); });
    m_preview.preview();
    untilPreviewCloses(m_preview);
    EXPECT_EQ(rowDuringTheRun, 0) << "the run leaves the current record where the user has it";
    EXPECT_EQ(m_table.currentRow(), 50);
    EXPECT_FALSE(m_preview.running());
    EXPECT_EQ(m_preview.window(), nullptr);
}

TEST_F(PreviewRunTest, PagesShowWhileTheRestIsBuiltAndACloseStopsAtOnce) {
    // At its own pace the run works a few milliseconds a turn of the event loop: pages show
    // while the rest of a large directory is still to come, and a close stops it there.
    open(200000);
    int pagesShown = 0;
    QObject::connect(&m_preview, &ReportPreview::runStepped, &m_preview, [&] {
        ReportPreviewWindow* window = m_preview.window();
        if (window && window->pageStore().pageCount() > 0) {
            pagesShown = window->pageStore().pageCount();
            close(*window);
        }
    });
    m_preview.preview();
    untilPreviewCloses(m_preview);
    EXPECT_GT(pagesShown, 0);
    EXPECT_LT(pagesShown, 5264) << "all 200,000 records in one turn";
    EXPECT_LT(m_table.currentRow(), 199999);
    EXPECT_FALSE(m_preview.running());
}

TEST_F(PreviewRunTest, LoadedPagesTakeThePlaceOfAStoppedBuild) {
    open(200);
    WalkActions user(m_preview);
    user.at(1, 50, [this] {
        ReportPreviewWindow& window = *m_preview.window();
        m_preview.stopBuilding();
        window.pageStore().replaceWithLoaded(m_quick.documentInfo(),
                                             std::vector<PageDrawing>(3, PageDrawing(kA4Portrait)));
        window.pagesReplaced();
    });
    QString pagePanel;
    bool printSetup = true, print = false;
    preview([&](ReportPreviewWindow& window) {
        pagePanel = window.pagePanel()->text();
        printSetup = window.PrintSetup->isEnabled();
        print = window.Print->isEnabled();
        close(window);
    });
    EXPECT_EQ(m_table.currentRow(), 50);
    EXPECT_EQ(pagePanel, QStringLiteral("Лист 1 из 3"));
    EXPECT_FALSE(printSetup);
    EXPECT_TRUE(print);
}

TEST_F(PreviewRunTest, PrintDoesNothingWithoutAPrinter) {
    open(39);
    int printRuns = 0;
    QObject::connect(&m_preview, &ReportPreview::printRunStarted, [&] { ++printRuns; });
    preview([&](ReportPreviewWindow& window) {
        window.Print->click();
        QTimer::singleShot(0, &window, [&window] { close(window); });
    });
    EXPECT_EQ(printRuns, 0);
    EXPECT_EQ(m_table.currentRow(), 38) << "no second walk";
    EXPECT_TRUE(errors().empty());
}

TEST_F(PreviewRunTest, AnErrorBeforeTheFirstPageKeepsTheWindowAndItsEmptyStoreIsNeverSaved) {
    // A pending change that cannot be posted ends the run as it begins.
    std::vector<FieldDef> fields = standardDirectoryFields();
    fields[0].required = true;
    m_table.openDirectory(makeDirectory({{"ИВАНОВ"}, {"ПЕТРОВ"}}, fields));
    m_table.edit();
    m_table.setFieldText(0, "");
    QTemporaryDir folder;
    const QString earlier = folder.filePath(QStringLiteral("report.kvr"));
    for (const QString& path : {earlier, folder.filePath(QStringLiteral("report.pdf"))}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("earlier");
    }
    guarded([this] { m_preview.preview(); });
    ReportPreviewWindow* window = m_preview.window();
    ASSERT_TRUE(window);
    EXPECT_FALSE(m_preview.running());
    EXPECT_EQ(errors(), std::vector<std::string>{"Field 'Nsa_famili' must have a value"});
    EXPECT_EQ(window->pagePanel()->text(), QStringLiteral("Лист 1 из 0"));
    // Save writes nothing and replaces nothing.
    for (const QString& name : {QStringLiteral("report.kvr"), QStringLiteral("report.pdf")}) {
        EXPECT_EQ(saveReportPages(window->pageStore(), folder.filePath(name)), nullptr);
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "earlier");
    }
    EXPECT_EQ(m_table.state(), RecordSet::State::Edit) << "the change stays pending";
    close(*window);
    EXPECT_EQ(m_preview.window(), nullptr);
}

} // namespace
} // namespace lambreya::test
