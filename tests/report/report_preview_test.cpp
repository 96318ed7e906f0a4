// The preview operation and its guards, driven as the user drives them: actions arrive
// while a run walks the records or while the window waits.
#include "preview_run_fixture.h"

#include <QLabel>

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
    WalkActions user(m_table);
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
    WalkActions user(m_table);
    user.at(1, 50, [this] { close(*m_preview.window()); });
    m_preview.preview();
    EXPECT_EQ(m_table.currentRow(), 50);
    EXPECT_FALSE(m_preview.running());
    EXPECT_EQ(m_preview.window(), nullptr);
}

TEST_F(PreviewRunTest, InTimeSlicesMessagesStillComeAsSoonAsTheFirstPageIsBuilt) {
    open(20000);
    m_preview.setMessageSlice(ReportPreview::kMessageSliceMs);
    WalkActions user(m_table);
    // Record 38 is the first of page 2: page 1 is built just before it.
    user.at(1, 37, [this] { close(*m_preview.window()); });
    m_preview.preview();
    EXPECT_GE(m_table.currentRow(), 37);
    EXPECT_LE(m_table.currentRow(), 38);
}

TEST_F(PreviewRunTest, LoadedPagesTakeThePlaceOfAStoppedBuild) {
    open(200);
    WalkActions user(m_table);
    user.at(1, 50, [this] {
        ReportPreviewWindow& window = *m_preview.window();
        m_preview.stopBuilding();
        window.pageStore().replaceWithLoaded(m_report.documentInfo(),
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
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(PreviewRunTest, AnErrorEndsTheRunKeepsTheWindowAndFreesTheReport) {
    open(100);
    WalkActions user(m_table);
    // The set goes away under the walk, so that its next step fails.
    user.at(1, 45, [this] { m_table.discard(); });
    int pages = 0;
    preview([&](ReportPreviewWindow& window) {
        pages = window.pageStore().pageCount();
        close(window);
    });
    EXPECT_EQ(pages, 1);
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_FALSE(m_preview.running());
}

} // namespace
} // namespace lambreya::test
