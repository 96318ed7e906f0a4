// The preview window on its own: zoom, keys, the status bar, the toolbar and the page area.
#include "report/page_drawing.h"
#include "report/preview_page_area.h"
#include "report/print_progress_window.h"
#include "report/report_preview_window.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace lambreya::test {
namespace {

constexpr QSizeF kA4At96{793.7007874, 1122.5196850};

PageDrawing numberedPage(int page) {
    PageDrawingBuilder builder;
    builder.begin(kA4Portrait);
    builder.text(0, 1000, 2000, "\xcb\xe8\xf1\xf2 " + std::to_string(page));
    return builder.take();
}

DocumentInfo document(QString title = QStringLiteral("Ламбрея: печать результатов поиска")) {
    return {std::move(title), kA4Portrait, {ReportFont{QStringLiteral("Liberation Serif"), 10}}};
}

// A window whose run built `pages` pages and, when `finished`, ended.
std::unique_ptr<ReportPreviewWindow> windowWith(int pages, bool finished = true) {
    auto window = std::make_unique<ReportPreviewWindow>(std::make_unique<PageStore>(document()));
    window->resize(700, 600);
    window->show();
    PageStore& store = window->pageStore();
    store.beginDocument(document());
    for (int page = 1; page <= pages; ++page) {
        store.addPage(numberedPage(page));
        window->pageBuilt(page);
    }
    if (finished) {
        store.endDocument();
        window->runEnded();
    }
    return window;
}

struct FittedZoom {
    QSize area;
    QSizeF paper;
    int wholePage;
    int pageWidth;
};

TEST(PreviewZoom, FittedZoomsAreRoundedPercentagesOfTheArea) {
    const QSizeF landscape = kA4At96.transposed();
    for (const FittedZoom& row :
         {FittedZoom{{700, 500}, kA4At96, 42, 79}, FittedZoom{{1200, 1800}, kA4At96, 144, 136},
          FittedZoom{{100, 100}, kA4At96, 8, 11}, FittedZoom{{700, 500}, landscape, 59, 56}}) {
        SCOPED_TRACE(testing::Message() << row.area.width() << "x" << row.area.height());
        EXPECT_EQ(ReportPreviewWindow::wholePageZoom(row.area, row.paper), row.wholePage);
        EXPECT_EQ(ReportPreviewWindow::pageWidthZoom(row.area, row.paper), row.pageWidth);
    }
}

TEST(PreviewZoom, TheFirstPageBringsPageWidthAndResizingRefitsOnlyTheFittedModes) {
    auto window = std::make_unique<ReportPreviewWindow>(std::make_unique<PageStore>(document()));
    window->resize(700, 600);
    window->show();
    EXPECT_EQ(window->zoom(), 100);
    EXPECT_EQ(window->zoomMode(), ReportPreviewWindow::ZoomMode::Fixed);
    EXPECT_TRUE(window->ZoomToWidth->isChecked());

    window->pageStore().beginDocument(document());
    window->pageStore().addPage(numberedPage(1));
    window->pageBuilt(1);
    PreviewPageArea& area = *window->pageArea();
    const QSizeF paper = area.paperPixels();
    EXPECT_EQ(window->zoomMode(), ReportPreviewWindow::ZoomMode::PageWidth);
    EXPECT_EQ(window->zoom(), ReportPreviewWindow::pageWidthZoom(area.areaSize(), paper));
    EXPECT_EQ(area.imageSize(), QSize(qRound(paper.width() * window->zoom() / 100.0) + 4,
                                      qRound(paper.height() * window->zoom() / 100.0) + 4));

    window->resize(900, 700);
    EXPECT_EQ(window->zoom(), ReportPreviewWindow::pageWidthZoom(area.areaSize(), paper));

    window->ZoomFit->click();
    EXPECT_TRUE(window->ZoomFit->isChecked());
    EXPECT_EQ(window->zoom(), ReportPreviewWindow::wholePageZoom(area.areaSize(), paper));
    window->resize(500, 800);
    EXPECT_EQ(window->zoom(), ReportPreviewWindow::wholePageZoom(area.areaSize(), paper));

    window->Zoom100->click();
    area.verticalScrollBar()->setValue(200);
    window->resize(800, 800);
    EXPECT_EQ(window->zoom(), 100);
    EXPECT_EQ(area.verticalScrollBar()->value(), 200) << "a fixed zoom stays put";

    for (const auto& [asked, shown] : {std::pair{1, 100}, {2, 2}, {2001, 2}, {2000, 2000}}) {
        window->setZoom(asked, ReportPreviewWindow::ZoomMode::Fixed);
        EXPECT_EQ(window->zoom(), shown) << asked;
    }
    area.verticalScrollBar()->setValue(300);
    area.horizontalScrollBar()->setValue(300);
    window->zoom100();
    EXPECT_EQ(area.verticalScrollBar()->value(), 0);
    EXPECT_EQ(area.horizontalScrollBar()->value(), 0);
}

TEST(PreviewKeys, PagesFollowTheKeysWithinThePagesBuilt) {
    auto window = windowWith(0, false);
    EXPECT_EQ(window->pagePanel()->text(), QStringLiteral("Лист 1 из 0"));
    window = windowWith(2);
    EXPECT_EQ(window->pagePanel()->text(), QStringLiteral("Лист 1 из 2"));
    // Keys reach the window the user works in.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    for (const Step& step : {Step{Qt::Key_End, {}, 2},
                             {Qt::Key_PageDown, {}, 2},
                             {Qt::Key_Home, {}, 1},
                             {Qt::Key_PageUp, {}, 1},
                             {Qt::Key_PageDown, {}, 2},
                             {Qt::Key_PageUp, {}, 1},
                             {Qt::Key_PageDown, ctrl, 2},
                             {Qt::Key_PageUp, ctrl, 1},
                             {Qt::Key_PageDown, ctrl | Qt::ShiftModifier, 2},
                             {Qt::Key_PageDown, ctrl | Qt::AltModifier, 2},
                             {Qt::Key_PageUp, ctrl | Qt::AltModifier, 1}}) {
        // The page area has the focus; the window sees the key first.
        QTest::keyClick(window->pageArea(), step.key, step.modifiers);
        EXPECT_EQ(window->displayedPage(), step.page) << step.key << " " << step.modifiers;
        EXPECT_EQ(window->pagePanel()->text(), QStringLiteral("Лист %1 из 2").arg(step.page));
    }
    window->LastPage->click();
    window->PreviousPage->click();
    EXPECT_EQ(window->displayedPage(), 1);
    window->NextPage->click();
    window->FirstPage->click();
    EXPECT_EQ(window->displayedPage(), 1);

    QSignalSpy closing(window.get(), &ReportPreviewWindow::closing);
    QTest::keyClick(window->pageArea(), Qt::Key_Escape);
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(window->isVisible());
}

TEST(PreviewStatus, TheProgressPanelMovesBySteps) {
    struct Case {
        std::vector<int> reports;
        QString shown;
    };
    for (const Case& c :
         {Case{{}, QStringLiteral("0%")}, Case{{3}, QStringLiteral("0%")},
          Case{{5, 9}, QStringLiteral("5%")}, Case{{5, 9, 10}, QStringLiteral("10%")},
          Case{{4, 7, 9}, QStringLiteral("7%")}, Case{{50, 99}, QStringLiteral("99%")},
          Case{{50, 100}, QString()}, Case{{0}, QString()}}) {
        auto window = windowWith(0, false);
        for (int percent : c.reports)
            window->showProgress(percent);
        EXPECT_EQ(window->progressPanel()->text(), c.shown) << c.reports.size();
        EXPECT_EQ(window->progressPanel()->accessibleDescription(), c.shown) << "screen reader";
    }
}

TEST(PreviewStatus, ThePagePanelGrowsToItsTextAndKeepsItsPlace) {
    auto window = windowWith(0, false);
    PageStore& store = window->pageStore();
    for (int page = 1; page <= 26316; ++page)
        store.addPage(numberedPage(page));
    window->pageBuilt(26316);
    window->showPage(26316);
    const QLabel& progress = *window->progressPanel();
    const QLabel& panel = *window->pagePanel();
    const QString text = QStringLiteral("Лист 26316 из 26316");
    EXPECT_EQ(panel.text(), text);
    EXPECT_EQ(panel.accessibleDescription(), text);
    EXPECT_LE(panel.fontMetrics().horizontalAdvance(text), panel.contentsRect().width());
    EXPECT_LT(progress.x(), panel.x()) << "the page panel stands after the progress panel";
    EXPECT_EQ(progress.width(), ReportPreviewWindow::kProgressPanelWidth);
}

TEST(PreviewToolbar, ButtonsInOrderWithHintsIconsAndGroups) {
    auto window = windowWith(1, false);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Ламбрея: печать результатов поиска"));
    EXPECT_FALSE(window->PrintSetup->isEnabled());
    EXPECT_FALSE(window->Print->isEnabled());

    const auto* bar = window->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    QStringList layout;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) {
            layout << QStringLiteral("|");
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        ASSERT_NE(button, nullptr);
        if (button != window->ExitButton) {
            EXPECT_EQ(button->accessibleName(), button->toolTip());
            EXPECT_EQ(button->icon().pixmap(16, 16).size(), QSize(16, 16))
                << button->objectName().toStdString();
            EXPECT_TRUE(button->autoRaise());
        }
        layout << button->objectName() + QLatin1Char('=') + button->toolTip();
    }
    EXPECT_EQ(layout.join(QLatin1Char(' ')),
              QStringLiteral("| ZoomFit=Страница целиком Zoom100=100% ZoomToWidth=По ширине "
                             "страницы | FirstPage=Первая страница PreviousPage=Предыдущая "
                             "страница NextPage=Следующая страница LastPage=Последняя страница "
                             "| PrintSetup=Настройка принтера Print=Печать | SaveReport=Сохранить "
                             "отчет LoadReport=Загрузить отчет | ExitButton="));
    EXPECT_EQ(window->ExitButton->text(), QStringLiteral("&Закрыть"));
    EXPECT_EQ(window->ExitButton->size(), QSize(56, 22));

    window->pageStore().endDocument();
    window->runEnded();
    EXPECT_TRUE(window->PrintSetup->isEnabled());
    EXPECT_TRUE(window->Print->isEnabled());

    // The keyboard alone reaches every enabled button: Tab goes round them, to the zoom that
    // is chosen of the three, and the arrows go on to the other two.
    QApplication::setActiveWindow(window.get());
    window->pageArea()->setFocus();
    QStringList reached;
    for (int i = 0; i < 24; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (auto* b = qobject_cast<QToolButton*>(QApplication::focusWidget());
            b && !reached.contains(b->objectName()))
            reached << b->objectName();
        if (QApplication::focusWidget() == window->ZoomFit)
            for (int zoom = 0; zoom < 2; ++zoom) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
                reached << QApplication::focusWidget()->objectName();
            }
    }
    reached.removeDuplicates();
    reached.sort();
    EXPECT_EQ(reached.join(QLatin1Char(' ')).toStdString(),
              "ExitButton FirstPage LastPage LoadReport NextPage PreviousPage Print PrintSetup "
              "SaveReport Zoom100 ZoomFit ZoomToWidth");

    ReportPreviewWindow untitled(std::make_unique<PageStore>(document(QString())));
    EXPECT_EQ(untitled.windowTitle(), QStringLiteral("Предварительный просмотр"));
}

TEST(PreviewPageArea, AWhitePageWithOutlineAndShadowCentredOnlyOnceBuilt) {
    auto window = windowWith(0, false);
    window->resize(800, 700);
    window->setZoom(20, ReportPreviewWindow::ZoomMode::Fixed);
    PreviewPageArea& area = *window->pageArea();
    const QColor background = area.viewport()->palette().color(QPalette::Window);
    QImage empty = area.viewport()->grab().toImage();
    EXPECT_EQ(empty.pixelColor(empty.width() / 2, empty.height() / 2), background);

    window->pageStore().addPage(numberedPage(1));
    window->pageBuilt(1);
    window->setZoom(20, ReportPreviewWindow::ZoomMode::Fixed);
    ASSERT_EQ(area.imageSize(), QSize(163, 229));
    const QImage shot = area.viewport()->grab().toImage();
    const QPoint origin = area.imageOrigin();
    EXPECT_EQ(origin, QPoint((shot.width() - 163) / 2, (shot.height() - 229) / 2));
    auto at = [&](int x, int y) { return shot.pixelColor(origin.x() + x, origin.y() + y); };
    EXPECT_EQ(at(0, 100), QColor(Qt::black)) << "outline";
    EXPECT_EQ(at(1, 228), background) << "no shadow under the left edge";
    EXPECT_EQ(at(120, 200), QColor(Qt::white)) << "sheet";
    EXPECT_EQ(at(160, 100), QColor(Qt::black)) << "outline";
    EXPECT_EQ(at(162, 100), QColor(Qt::black)) << "shadow";
    EXPECT_EQ(at(100, 228), QColor(Qt::black)) << "shadow";
    EXPECT_EQ(at(163, 100), background);
}

TEST(PrintProgress, OnlyMultiplesOfFiveMoveTheBarAndTheText) {
    PrintProgressWindow progress;
    EXPECT_EQ(progress.windowTitle(), QStringLiteral("Printing progress"));
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(progress.size(), QSize(149, 97));
    EXPECT_EQ(progress.progressBar()->geometry(), QRect(16, 18, 114, 16));
    EXPECT_EQ(progress.progressText()->geometry().topLeft(), QPoint(0, 44));
    EXPECT_EQ(progress.progressText()->width(), 145);
    EXPECT_EQ(progress.cancelButton()->geometry(), QRect(36, 60, 75, 25));
    EXPECT_EQ(progress.cancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(progress.progressText()->text().isEmpty());
    for (const auto& [percent, bar, text] : {std::tuple{3, 0, QString()},
                                             {5, 5, QStringLiteral("5%  Completed")},
                                             {7, 5, QStringLiteral("5%  Completed")},
                                             {40, 40, QStringLiteral("40%  Completed")},
                                             {100, 100, QStringLiteral("100%  Completed")}}) {
        progress.showProgress(percent);
        EXPECT_EQ(progress.progressBar()->value(), bar) << percent;
        EXPECT_EQ(progress.progressText()->text(), text) << percent;
    }
    EXPECT_FALSE(progress.cancelled());
    progress.cancelButton()->click();
    EXPECT_TRUE(progress.cancelled());
}

// Both windows stand in the middle of the screen with their frames, title bar included.
TEST(WindowPlacement, TheRestoredPreviewAndTheProgressWindowAreCentredByTheirFrames) {
    ReportPreviewWindow preview(std::make_unique<PageStore>(document()));
    preview.show();
    PrintProgressWindow progress;
    progress.show();
    for (QWidget* window : std::initializer_list<QWidget*>{&preview, &progress}) {
        SCOPED_TRACE(window->objectName().toStdString());
        const QRect screen = window->screen()->availableGeometry();
        ASSERT_NE(window->frameGeometry(), window->geometry()) << "the window has a frame";
        EXPECT_EQ(window->frameGeometry().center(), screen.center());
    }
    EXPECT_EQ(preview.size(), ReportPreviewWindow::kRestoredSize);
    EXPECT_EQ(progress.size(), PrintProgressWindow::kClientSize);
}

} // namespace
} // namespace lambreya::test
