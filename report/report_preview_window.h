#pragma once

#include "report/page_store.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QToolButton;

namespace lambreya {

class PreviewPageArea;

// The preview window of the report: a flat toolbar, the page area and a status bar with
// the run's progress and the page panel. It owns the page store it shows; the report's
// preview operation feeds the store and the window from its run (pageBuilt, showProgress,
// runEnded) and answers its requests (printRequested, closing).
//
// The print dialog and the saving and loading of pages plug in through the signals of
// PrintSetup, SaveReport and LoadReport and through pageStore(), showPage and
// pagesReplaced.
class ReportPreviewWindow : public QMainWindow {
    Q_OBJECT

public:
    enum class ZoomMode { Fixed, WholePage, PageWidth };

    static inline const QString kOwnCaption = QStringLiteral("Предварительный просмотр");
    static constexpr QSize kRestoredSize{652, 579};
    static constexpr int kProgressPanelWidth = 40;
    static constexpr int kPagePanelWidth = 50;

    // The fitted zooms for a page area of `area` pixels and paper of `paper` pixels at
    // 100 %: the whole page within 95 % of the area, the page's width within 90 % of it.
    static int wholePageZoom(QSize area, QSizeF paper);
    static int pageWidthZoom(QSize area, QSizeF paper);

    explicit ReportPreviewWindow(std::unique_ptr<PageStore> store, QWidget* parent = nullptr);
    ~ReportPreviewWindow() override;

    // --- Components ---------------------------------------------------------------------
    QToolButton* ZoomFit = nullptr;
    QToolButton* Zoom100 = nullptr;
    QToolButton* ZoomToWidth = nullptr;
    QToolButton* FirstPage = nullptr;
    QToolButton* PreviousPage = nullptr;
    QToolButton* NextPage = nullptr;
    QToolButton* LastPage = nullptr;
    QToolButton* PrintSetup = nullptr;
    QToolButton* Print = nullptr;
    QToolButton* SaveReport = nullptr;
    QToolButton* LoadReport = nullptr;
    QToolButton* ExitButton = nullptr;
    PreviewPageArea* pageArea() const { return m_area; }
    QLabel* progressPanel() const { return m_progressPanel; }
    QLabel* pagePanel() const { return m_pagePanel; }

    PageStore& pageStore() { return *m_store; }
    const PageStore& pageStore() const { return *m_store; }

    // --- State --------------------------------------------------------------------------
    int displayedPage() const { return m_page; }
    int zoom() const { return m_zoom; }
    ZoomMode zoomMode() const { return m_zoomMode; }

    // --- Commands -----------------------------------------------------------------------
    // Shows page n when 1 <= n <= pages built and n is not the page shown; the page
    // panel is refreshed either way.
    void showPage(int page);
    void zoomWholePage();
    void zoomPageWidth();
    void zoom100();
    // A zoom below 2 or above 2000 % is ignored.
    void setZoom(int percent, ZoomMode mode);

    // --- What the run tells ---------------------------------------------------------------
    // Page `page` has been built into the store.
    void pageBuilt(int page);
    // The run reports `percent` done.
    void showProgress(int percent);
    // The run into the store has ended (completed, stopped or failed).
    void runEnded();
    // The store's pages were replaced (loaded from a file): page 1 is shown, the page panel
    // refreshed, PrintSetup disabled and Print enabled.
    void pagesReplaced();
    void refreshPagePanel();

Q_SIGNALS:
    // Print was clicked; delivered after the click has been handled.
    void printRequested();
    void printSetupClicked();
    void saveReportClicked();
    void loadReportClicked();
    // The window is being closed (ExitButton, Esc, its close box); it is hidden next.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createToolBar();
    void createStatusBar();
    void createKeys();
    void handleKey(int key, Qt::KeyboardModifiers modifiers);
    void refitZoom();

    std::unique_ptr<PageStore> m_store;
    PreviewPageArea* m_area = nullptr;
    QLabel* m_progressPanel = nullptr;
    QLabel* m_pagePanel = nullptr;

    int m_page = 1;
    int m_zoom = 100;
    ZoomMode m_zoomMode = ZoomMode::Fixed;
    int m_lastProgressShown = 0;
    int m_awaitedPage = 1;
};

} // namespace lambreya
