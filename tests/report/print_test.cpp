// Printing through a CUPS scheduler of the tests' own: the job's PDF is read back.
#include "preview_run_fixture.h"
#include "private_cups.h"

#include <QPushButton>

namespace lambreya::test {
namespace {

PrivateCups* g_cups = nullptr;

// The scheduler starts before any test asks for printers, so that CUPS_SERVER is in place
// when the print system first reads it.
class CupsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_cups = std::make_unique<PrivateCups>();
        if (m_cups->start())
            g_cups = m_cups.get();
    }
    void TearDown() override {
        g_cups = nullptr;
        m_cups.reset();
    }
    std::unique_ptr<PrivateCups> m_cups;
};

auto* const g_environment = ::testing::AddGlobalTestEnvironment(new CupsEnvironment);

class PrintTest : public PreviewRunTest {
protected:
    void SetUp() override {
        if (!g_cups) {
            auto* environment = static_cast<CupsEnvironment*>(g_environment);
            GTEST_SKIP() << "no private CUPS scheduler: "
                         << (environment->m_cups ? environment->m_cups->why().toStdString()
                                                 : std::string("not started"));
        }
        m_jobsBefore = g_cups->jobFiles().size();
        QObject::connect(&m_preview, &ReportPreview::printRunStarted, &m_preview,
                         [this](PrintProgressWindow* progress) {
                             m_progress = progress;
                             ++m_printRuns;
                         });
    }

    // Opens the preview, prints once the pages are built, and closes the window when the
    // print run has ended (or when an action closed it before).
    void previewAndPrint() {
        preview([this](ReportPreviewWindow& window) {
            QObject::connect(
                &m_preview, &ReportPreview::printRunStarted, &window,
                [&window](PrintProgressWindow* progress) {
                    QObject::connect(progress, &QObject::destroyed, &window, [&window] {
                        QTimer::singleShot(0, &window, [&window] { close(window); });
                    });
                });
            window.Print->click();
        });
    }
    QStringList newJobs() const { return g_cups->jobFiles().mid(m_jobsBefore); }

    qsizetype m_jobsBefore = 0;
    int m_printRuns = 0;
    PrintProgressWindow* m_progress = nullptr;
};

TEST_F(PrintTest, OnlyTheRangeIsPrintedAsTheTitledJob) {
    open(77); // three pages: 38, 38 and 1 records
    m_quick.PrinterSettings.firstPage = 2;
    m_quick.PrinterSettings.lastPage = 3;
    WalkActions user(m_table);
    // Print again during the print run: ignored.
    user.at(2, 10, [this] { m_preview.window()->Print->click(); });
    previewAndPrint();
    ASSERT_EQ(m_printRuns, 1);
    const QStringList jobs = newJobs();
    ASSERT_EQ(jobs.size(), 1);
    const QStringList pages = pdfPages(jobs.front());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Лист 2"))) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains(QStringLiteral("ИВАНОВ38")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Лист 3")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("ИВАНОВ76")));
    EXPECT_FALSE(pages.join(QString()).contains(QStringLiteral("Лист 1")));
    EXPECT_TRUE(g_cups->jobAttributes(jobs.front())
                    .contains(QStringLiteral("Ламбрея: печать результатов поиска").toUtf8()));
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(PrintTest, CancelPrintsWhatWasComposedWithTheCurrentPageFinished) {
    open(200);
    WalkActions user(m_table);
    // The second walk is the print run's; record 50 lies on its second page.
    user.at(2, 50, [this] { m_progress->cancelButton()->click(); });
    previewAndPrint();
    const QStringList jobs = newJobs();
    ASSERT_EQ(jobs.size(), 1);
    const QStringList pages = pdfPages(jobs.front());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[1].contains(QStringLiteral("ИВАНОВ48")));
    EXPECT_FALSE(pages[1].contains(QStringLiteral("ИВАНОВ51")));
    EXPECT_EQ(m_table.currentRow(), 50);
}

TEST_F(PrintTest, ClosingThePreviewDuringPrintingDiscardsTheJob) {
    open(200);
    WalkActions user(m_table);
    user.at(2, 50, [this] { close(*m_preview.window()); });
    previewAndPrint();
    EXPECT_EQ(m_printRuns, 1);
    EXPECT_TRUE(newJobs().isEmpty());
    EXPECT_EQ(m_preview.window(), nullptr);
    EXPECT_EQ(m_table.currentRow(), 50);
}

} // namespace
} // namespace lambreya::test
