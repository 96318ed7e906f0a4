// Printing through a CUPS scheduler of the tests' own: the job's PDF is read back.
#include "preview_run_fixture.h"
#include "private_cups.h"
#include "support/qt_test_support.h"

#include "report/preview_page_commands.h"
#include "report/saved_pages.h"
#include "report/stepped_run.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>

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
        preview([this](ReportPreviewWindow& window) { printThenClose(window); });
    }
    // Clicks Print in the built window and closes it when the print run has ended.
    void printThenClose(ReportPreviewWindow& window) {
        QObject::connect(
            &m_preview, &ReportPreview::printRunStarted, &window,
            [this, &window] {
                QObject::connect(
                    &m_preview, &ReportPreview::runEnded, &window, [&window] { close(window); },
                    Qt::SingleShotConnection);
            },
            Qt::SingleShotConnection);
        window.Print->click();
    }
    QStringList newJobs() const { return g_cups->jobFiles().mid(m_jobsBefore); }
    // The pages of the one job printed since the test began; none unless there is one.
    QStringList pagesOfTheJob() const {
        const QStringList jobs = newJobs();
        EXPECT_EQ(jobs.size(), 1);
        return jobs.size() == 1 ? pdfPages(jobs.front()) : QStringList();
    }

    qsizetype m_jobsBefore = 0;
    int m_printRuns = 0;
    PrintProgressWindow* m_progress = nullptr;
};

TEST_F(PrintTest, OnlyTheRangeIsPrintedAsTheTitledJob) {
    open(77); // three pages: 38, 38 and 1 records
    m_quick.PrinterSettings.firstPage = 2;
    m_quick.PrinterSettings.lastPage = 3;
    WalkActions user(m_preview);
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
    EXPECT_TRUE(errors().empty());
}

// The preview closed at once after Cancel, while the job's document is still ending,
// takes nothing from what Cancel let go to the printer.
TEST_F(PrintTest, CancelPrintsWhatWasComposedWithTheCurrentPageFinished) {
    open(200);
    WalkActions user(m_preview);
    // The second walk is the print run's; record 50 lies on its second page.
    user.at(2, 50, [this] {
        m_progress->cancelButton()->click();
        close(*m_preview.window());
    });
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
    WalkActions user(m_preview);
    user.at(2, 50, [this] { close(*m_preview.window()); });
    previewAndPrint();
    EXPECT_EQ(m_printRuns, 1);
    EXPECT_TRUE(newJobs().isEmpty());
    EXPECT_EQ(m_preview.window(), nullptr);
    EXPECT_EQ(m_table.currentRow(), 50);
}

TEST_F(PrintTest, AJobTheQueueRefusesIsReportedWithItsReason) {
    ASSERT_TRUE(g_cups->setAccepting(false));
    open(39);
    previewAndPrint();
    ASSERT_TRUE(g_cups->setAccepting(true));
    EXPECT_EQ(m_printRuns, 1);
    EXPECT_TRUE(newJobs().isEmpty());
    const std::vector<std::string> reported = errors();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].rfind("Принтер «lambreya-test» не принял задание: ", 0), 0u)
        << reported[0];
}

// The print dialog and the printing of loaded pages, with the preview's page commands.
class PrintSetupTest : public PrintTest {
protected:
    void SetUp() override {
        PrintTest::SetUp();
        QStandardPaths::setTestModeEnabled(true);
    }

    // Clicks PrintSetup with the dialog answered by `choose`, then OK or Cancel.
    void printSetup(ReportPreviewWindow& window, std::function<void(QPrintDialog&)> choose,
                    bool ok) {
        answerNextDialog<QPrintDialog>([this, choose, ok](QPrintDialog& dialog) {
            m_offered = offeredChoices(dialog);
            choose(dialog);
            ok ? dialog.accept() : dialog.reject();
        });
        window.PrintSetup->click();
    }

    // What the dialog offers when it opens, in words, with its options shown as a user
    // shows them.
    static QStringList offeredChoices(QPrintDialog& dialog) {
        if (auto* options = shown<QPushButton>(dialog, QStringLiteral("Options >>")))
            options->click();
        QStringList offered;
        auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
        for (int i = 0; printers && i < printers->count(); ++i)
            offered << QStringLiteral("printer ") + printers->itemText(i);
        offered << QStringLiteral("chosen ") + (printers ? printers->currentText() : QString());
        if (shown<QPushButton>(dialog, QStringLiteral("Properties")))
            offered << QStringLiteral("properties");
        for (const QRadioButton* choice : dialog.findChildren<QRadioButton*>()) {
            if (choice->isVisibleTo(&dialog))
                offered << QStringLiteral("choice %1 %2")
                               .arg(QString(choice->text()).remove(QLatin1Char('&')))
                               .arg(choice->isChecked());
        }
        for (const char* name : {"from", "to", "copies"}) {
            auto* spin = dialog.findChild<QSpinBox*>(QString::fromLatin1(name));
            offered << QStringLiteral("%1 %2 of %3..%4")
                           .arg(QString::fromLatin1(name))
                           .arg(spin->value())
                           .arg(spin->minimum())
                           .arg(spin->maximum());
        }
        return offered;
    }

    static void choosePages(QPrintDialog& dialog, int from, int to) {
        dialog.findChild<QRadioButton*>(QStringLiteral("printRange"))->click();
        dialog.findChild<QSpinBox*>(QStringLiteral("from"))->setValue(from);
        dialog.findChild<QSpinBox*>(QStringLiteral("to"))->setValue(to);
    }
    static void chooseCopies(QPrintDialog& dialog, int copies) {
        dialog.findChild<QSpinBox*>(QStringLiteral("copies"))->setValue(copies);
    }
    // The control of `Widget`'s class whose caption, without its shortcut mark, is `text`,
    // as a user finds it; null unless the user can see it.
    template <typename Widget>
    static Widget* shown(QWidget& dialog, const QString& text) {
        for (Widget* widget : dialog.findChildren<Widget*>()) {
            if (widget->text().remove(QLatin1Char('&')) == text && widget->isVisibleTo(&dialog) &&
                widget->width() > 0 && widget->height() > 0)
                return widget;
        }
        return nullptr;
    }
    static void chooseQueue(QPrintDialog& dialog, const QString& queue) {
        for (auto* printers : dialog.findChildren<QComboBox*>()) {
            if (const int at = printers->findText(queue); at >= 0)
                printers->setCurrentIndex(at);
        }
    }
    // Landscape is chosen in the printer's properties, a dialog of its own.
    static void chooseLandscape(QPrintDialog& dialog) {
        auto* properties = shown<QPushButton>(dialog, QStringLiteral("Properties"));
        ASSERT_TRUE(properties) << "the printer's properties are offered";
        answerNextDialog<QDialog>([](QDialog& page) {
            auto* landscape = shown<QRadioButton>(page, QStringLiteral("Landscape"));
            EXPECT_TRUE(landscape) << "the orientation is offered";
            if (landscape)
                landscape->click();
            page.accept();
        });
        properties->click();
    }

    PreviewPageCommands m_commands{m_preview, m_quick.PrinterSettings};
    QStringList m_offered;
};

TEST_F(PrintSetupTest, PagesTwoToThreeChosenArePrintedAndCancelChangesNothing) {
    open(77);
    preview([this](ReportPreviewWindow& window) {
        printSetup(
            window,
            [](QPrintDialog& dialog) {
                choosePages(dialog, 2, 2);
                chooseCopies(dialog, 4);
                chooseLandscape(dialog);
            },
            false);
        EXPECT_EQ(m_quick.PrinterSettings, PrintSettings()) << "cancelled";
        printSetup(
            window, [](QPrintDialog& dialog) { choosePages(dialog, 2, 3); }, true);
        printThenClose(window);
    });
    EXPECT_EQ(m_offered,
              QStringList({QStringLiteral("printer lambreya-ppd"),
                           QStringLiteral("printer lambreya-test"),
                           QStringLiteral("chosen lambreya-test"), QStringLiteral("properties"),
                           QStringLiteral("choice Print all 1"),
                           QStringLiteral("choice Pages from 0"), QStringLiteral("from 1 of 1..3"),
                           QStringLiteral("to 3 of 1..3"), QStringLiteral("copies 1 of 1..999")}));
    PrintSettings chosen;
    chosen.printer = QStringLiteral("lambreya-test");
    chosen.firstPage = 2;
    chosen.lastPage = 3;
    EXPECT_EQ(m_quick.PrinterSettings, chosen);
    const QStringList pages = pagesOfTheJob();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Лист 2")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Лист 3")));
    EXPECT_TRUE(errors().empty());
}

// On a raw queue and on a queue with a PPD alike.
TEST_F(PrintSetupTest, LandscapeComesWithTheNextPreviewTheOpenWindowKeepsItsPages) {
    ASSERT_TRUE(QFileInfo::exists(PrivateCups::kPpd)) << "the CUPS filters are not installed";
    open(100);
    for (const QString& queue : {PrivateCups::kRawQueue, PrivateCups::kPpdQueue}) {
        SCOPED_TRACE(queue.toStdString());
        m_quick.PrinterSettings = PrintSettings();
        std::vector<PageDrawing> open;
        PrintSettings cancelled;
        preview([&](ReportPreviewWindow& window) {
            const auto landscapeOn = [&queue](QPrintDialog& dialog) {
                chooseQueue(dialog, queue);
                chooseLandscape(dialog);
            };
            printSetup(window, landscapeOn, false);
            cancelled = m_quick.PrinterSettings;
            printSetup(window, landscapeOn, true);
            open = window.pageStore().pages();
            close(window);
        });
        EXPECT_EQ(cancelled, PrintSettings()) << "Cancel keeps portrait";
        EXPECT_EQ(m_quick.PrinterSettings.printer, queue);
        EXPECT_EQ(m_quick.PrinterSettings.orientation, PrintSettings::Orientation::Landscape);
        ASSERT_EQ(open.size(), 3u);
        EXPECT_EQ(open.front().paper(), kA4Portrait);
        int pages = 0;
        PaperSize paper;
        preview([&](ReportPreviewWindow& window) {
            pages = window.pageStore().pageCount();
            paper = window.pageStore().page(1).paper();
            close(window);
        });
        EXPECT_EQ(pages, 5) << "24 lines a page";
        EXPECT_EQ(paper, kA4Landscape);
    }
    EXPECT_TRUE(errors().empty());
}

TEST_F(PrintSetupTest, PagesLoadedDuringAPrintRunLetItPrintToItsEnd) {
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("three.kvr"));
    writeSavedPages(saved, m_quick.documentInfo(),
                    std::vector<PageDrawing>(3, PageDrawing(kA4Portrait)));
    open(200);
    WalkActions user(m_preview);
    QString loaded;
    user.at(2, 50, [&] {
        ReportPreviewWindow& window = *m_preview.window();
        answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            dialog.selectFile(saved);
            static_cast<QDialog&>(dialog).accept();
        });
        window.LoadReport->click();
        loaded = window.pagePanel()->text();
    });
    previewAndPrint();
    EXPECT_EQ(loaded, QStringLiteral("Лист 1 из 3"));
    EXPECT_EQ(pagesOfTheJob().size(), 6);
    EXPECT_TRUE(errors().empty());
}

TEST_F(PrintSetupTest, LoadedPagesPrintAsTheyAreWithoutARun) {
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("three.kvr"));
    open(77);
    preview([&](ReportPreviewWindow& window) {
        writeSavedPages(saved, window.pageStore().document(), window.pageStore().pages());
        close(window);
    });
    m_quick.PrinterSettings.firstPage = 2; // the range of the window's run
    m_table.openDirectory(numberedDirectory(5));
    bool printSetup = true;
    preview([&](ReportPreviewWindow& window) {
        answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            dialog.selectFile(saved);
            static_cast<QDialog&>(dialog).accept();
        });
        window.LoadReport->click();
        printSetup = window.PrintSetup->isEnabled();
        window.Print->click();
        // The pages go to the printer a page a turn; the window closes once they have.
        QTimer::singleShot(0, &window, [this, &window] {
            SteppedRun* printing = m_commands.pagesWork();
            ASSERT_TRUE(printing);
            QObject::connect(printing, &SteppedRun::ended, &window, [&window] { close(window); });
        });
    });
    EXPECT_FALSE(printSetup);
    EXPECT_EQ(m_printRuns, 0) << "no run and no progress window";
    const QStringList pages = pagesOfTheJob();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("ИВАНОВ38")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("ИВАНОВ76")));
    EXPECT_TRUE(g_cups->jobAttributes(newJobs().front())
                    .contains(QStringLiteral("Ламбрея: печать результатов поиска").toUtf8()));
    EXPECT_TRUE(errors().empty());
}

} // namespace
} // namespace lambreya::test
