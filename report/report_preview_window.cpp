#include "report/report_preview_window.h"

#include "data/guarded.h"
#include "report/preview_page_area.h"
#include "report/status_panel.h"
#include "report/window_placement.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

// Resources of a static library are registered by hand, outside any namespace.
static void registerReportIcons() {
    Q_INIT_RESOURCE(report_icons);
}

namespace lambreya {

namespace {

constexpr int kMinZoom = 2;
constexpr int kMaxZoom = 2000;

int roundedPercent(double value) {
    return static_cast<int>(std::lround(value));
}

} // namespace

ReportPreviewWindow::ReportPreviewWindow(std::unique_ptr<PageStore> store, QWidget* parent)
    : QMainWindow(parent)
    , m_store(std::move(store)) {
    registerReportIcons();
    setObjectName(QStringLiteral("ReportPreviewWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    const QString& title = m_store->documentName();
    setWindowTitle(title.isEmpty() ? kOwnCaption : title);

    createToolBar();
    m_area = new PreviewPageArea(*m_store, this);
    setCentralWidget(m_area);
    createStatusBar();
    connectGuarded(m_area, &PreviewPageArea::areaResized, this, &ReportPreviewWindow::refitZoom);

    // Restored, the window is 652 by 579, centred on the screen; it opens maximised.
    centreFrameOnScreen(*this, kRestoredSize);
    createKeys();
    refreshPagePanel();
}

ReportPreviewWindow::~ReportPreviewWindow() {
    // The page area reads the page store, which goes with the window's members, before
    // the children would go.
    delete std::exchange(m_area, nullptr);
}

void ReportPreviewWindow::createToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    auto button = [bar](const char* name, const QString& hint, const char* icon) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(QIcon(QStringLiteral(":/report/icons/%1.xpm").arg(QLatin1String(icon))));
        b->setToolTip(hint);
        b->setAccessibleName(hint);
        b->setAutoRaise(true);
        // In the Tab chain, so that the keyboard reaches printing and saving.
        b->setFocusPolicy(Qt::TabFocus);
        bar->addWidget(b);
        return b;
    };

    bar->addSeparator();
    ZoomFit = button("ZoomFit", QStringLiteral("Страница целиком"), "zoom_fit");
    Zoom100 = button("Zoom100", QStringLiteral("100%"), "zoom_100");
    ZoomToWidth = button("ZoomToWidth", QStringLiteral("По ширине страницы"), "zoom_width");
    bar->addSeparator();
    FirstPage = button("FirstPage", QStringLiteral("Первая страница"), "first_page");
    PreviousPage = button("PreviousPage", QStringLiteral("Предыдущая страница"), "previous_page");
    NextPage = button("NextPage", QStringLiteral("Следующая страница"), "next_page");
    LastPage = button("LastPage", QStringLiteral("Последняя страница"), "last_page");
    bar->addSeparator();
    PrintSetup = button("PrintSetup", QStringLiteral("Настройка принтера"), "print_setup");
    Print = button("Print", QStringLiteral("Печать"), "print");
    bar->addSeparator();
    SaveReport = button("SaveReport", QStringLiteral("Сохранить отчет"), "save_report");
    LoadReport = button("LoadReport", QStringLiteral("Загрузить отчет"), "load_report");
    bar->addSeparator();
    ExitButton = new QToolButton(bar);
    ExitButton->setObjectName(QStringLiteral("ExitButton"));
    ExitButton->setText(QStringLiteral("&Закрыть"));
    ExitButton->setAccessibleName(QStringLiteral("Закрыть"));
    ExitButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ExitButton->setFixedSize(56, 22);
    ExitButton->setAutoRaise(true);
    ExitButton->setFocusPolicy(Qt::TabFocus);
    bar->addWidget(ExitButton);

    auto* zoomGroup = new QButtonGroup(this);
    for (QToolButton* b : {ZoomFit, Zoom100, ZoomToWidth}) {
        b->setCheckable(true);
        zoomGroup->addButton(b);
    }
    ZoomToWidth->setChecked(true);
    PrintSetup->setEnabled(false);
    Print->setEnabled(false);

    connectGuarded(ZoomFit, &QToolButton::clicked, this, &ReportPreviewWindow::zoomWholePage);
    connectGuarded(Zoom100, &QToolButton::clicked, this, &ReportPreviewWindow::zoom100);
    connectGuarded(ZoomToWidth, &QToolButton::clicked, this, &ReportPreviewWindow::zoomPageWidth);
    connectGuarded(FirstPage, &QToolButton::clicked, this, [this] { showPage(1); });
    connectGuarded(PreviousPage, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connectGuarded(NextPage, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
    connectGuarded(LastPage, &QToolButton::clicked, this,
                   [this] { showPage(m_store->pageCount()); });
    connect(PrintSetup, &QToolButton::clicked, this, &ReportPreviewWindow::printSetupClicked);
    connect(Print, &QToolButton::clicked, this, &ReportPreviewWindow::printRequested,
            Qt::QueuedConnection);
    connect(SaveReport, &QToolButton::clicked, this, &ReportPreviewWindow::saveReportClicked);
    connect(LoadReport, &QToolButton::clicked, this, &ReportPreviewWindow::loadReportClicked);
    connectGuarded(ExitButton, &QToolButton::clicked, this, &QWidget::close);
}

void ReportPreviewWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(true);
    m_progressPanel = new QLabel(bar);
    m_progressPanel->setObjectName(QStringLiteral("ProgressPanel"));
    m_progressPanel->setAccessibleName(QStringLiteral("Ход построения"));
    m_progressPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pagePanel = new QLabel(bar);
    m_pagePanel->setObjectName(QStringLiteral("PagePanel"));
    m_pagePanel->setAccessibleName(QStringLiteral("Лист"));
    for (QLabel* panel : {m_progressPanel, m_pagePanel}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(panel);
    }
    showPanelText(*m_progressPanel, QStringLiteral("0%"), kProgressPanelWidth);
    showPanelText(*m_pagePanel, QStringLiteral("Лист"), kPagePanelWidth);
}

// --- Pages ----------------------------------------------------------------------------------

void ReportPreviewWindow::showPage(int page) {
    if (page >= 1 && page <= m_store->pageCount() && page != m_page) {
        m_page = page;
        m_area->show(m_page, m_zoom);
    }
    refreshPagePanel();
}

void ReportPreviewWindow::refreshPagePanel() {
    const QString text = QStringLiteral("Лист %1 из %2").arg(m_page).arg(m_store->pageCount());
    showPanelText(*m_pagePanel, text, kPagePanelWidth);
    // The page area, which has the focus while the user pages, describes the page shown, so
    // that a screen reader speaks the page reached.
    m_area->setAccessibleDescription(text);
}

void ReportPreviewWindow::pageBuilt(int page) {
    if (page == m_awaitedPage) {
        m_awaitedPage = 0;
        zoomPageWidth();
        m_area->show(m_page, m_zoom);
    } else if (page == m_page) {
        m_area->pagesChanged();
    }
    refreshPagePanel();
}

void ReportPreviewWindow::showProgress(int percent) {
    if (percent >= m_lastProgressShown + 5) {
        m_lastProgressShown = percent;
        showPanelText(*m_progressPanel, QStringLiteral("%1%").arg(percent), kProgressPanelWidth);
    }
    if (percent == 0 || percent == 100)
        showPanelText(*m_progressPanel, QString(), kProgressPanelWidth);
}

void ReportPreviewWindow::runEnded() {
    const bool fromRun = m_store->finished() && !m_store->loadedFromFile();
    if (fromRun && m_store->pageCount() > 0) {
        PrintSetup->setEnabled(true);
        Print->setEnabled(true);
    }
    refreshPagePanel();
}

void ReportPreviewWindow::pagesReplaced() {
    m_awaitedPage = 0;
    m_page = 1;
    m_area->show(m_page, m_zoom);
    refitZoom();
    refreshPagePanel();
    PrintSetup->setEnabled(false);
    Print->setEnabled(true);
}

// --- Zoom -----------------------------------------------------------------------------------

void ReportPreviewWindow::setZoom(int percent, ZoomMode mode) {
    if (percent < kMinZoom || percent > kMaxZoom)
        return;
    m_zoom = percent;
    m_zoomMode = mode;
    QToolButton* pressed = mode == ZoomMode::WholePage   ? ZoomFit
                           : mode == ZoomMode::PageWidth ? ZoomToWidth
                                                         : Zoom100;
    pressed->setChecked(true);
    m_area->show(m_page, m_zoom);
}

int ReportPreviewWindow::wholePageZoom(QSize area, QSizeF paper) {
    return std::min(roundedPercent(area.width() / paper.width() * 95),
                    roundedPercent(area.height() / paper.height() * 95));
}

int ReportPreviewWindow::pageWidthZoom(QSize area, QSizeF paper) {
    return roundedPercent(area.width() / paper.width() * 90);
}

void ReportPreviewWindow::zoomWholePage() {
    setZoom(wholePageZoom(m_area->areaSize(), m_area->paperPixels()), ZoomMode::WholePage);
}

void ReportPreviewWindow::zoomPageWidth() {
    setZoom(pageWidthZoom(m_area->areaSize(), m_area->paperPixels()), ZoomMode::PageWidth);
}

void ReportPreviewWindow::zoom100() {
    setZoom(100, ZoomMode::Fixed);
}

void ReportPreviewWindow::refitZoom() {
    if (m_zoomMode == ZoomMode::WholePage)
        zoomWholePage();
    else if (m_zoomMode == ZoomMode::PageWidth)
        zoomPageWidth();
}

// --- Keys and closing -----------------------------------------------------------------------

void ReportPreviewWindow::createKeys() {
    // The window's keys act before its controls see them, whatever other modifiers are held:
    // a shortcut of the window for each key with each choice of Shift, Ctrl and Alt.
    const Qt::KeyboardModifiers kModifiers[] = {Qt::ShiftModifier, Qt::ControlModifier,
                                                Qt::AltModifier};
    for (const int key :
         {Qt::Key_Escape, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End}) {
        for (unsigned combination = 0; combination < 8; ++combination) {
            Qt::KeyboardModifiers modifiers;
            for (unsigned m = 0; m < 3; ++m) {
                if (combination & (1u << m))
                    modifiers |= kModifiers[m];
            }
            auto* shortcut = new QShortcut(QKeyCombination(modifiers, Qt::Key(key)), this);
            shortcut->setContext(Qt::WindowShortcut);
            shortcut->setAutoRepeat(true);
            connectGuarded(shortcut, &QShortcut::activated, this,
                           [this, key, modifiers] { handleKey(key, modifiers); });
        }
    }
}

void ReportPreviewWindow::handleKey(int key, Qt::KeyboardModifiers modifiers) {
    // Ctrl counts only when it is the only modifier held.
    const bool ctrlAlone = (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_PageUp:
        showPage(ctrlAlone ? 1 : m_page - 1);
        break;
    case Qt::Key_PageDown:
        showPage(ctrlAlone ? m_store->pageCount() : m_page + 1);
        break;
    case Qt::Key_Home:
        showPage(1);
        break;
    case Qt::Key_End:
        showPage(m_store->pageCount());
        break;
    default:
        break;
    }
}

void ReportPreviewWindow::closeEvent(QCloseEvent* event) {
    Q_EMIT closing();
    event->accept();
}

} // namespace lambreya
