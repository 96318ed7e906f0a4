#include "report/preview_page_area.h"

#include "data/guarded.h"

#include "report/page_painter.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace lambreya {

PreviewPageArea::PreviewPageArea(const PageStore& store, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_store(store) {
    setObjectName(QStringLiteral("PageArea"));
    setAccessibleName(QStringLiteral("Страница отчета"));
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    viewport()->setPalette(p);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
    updateScrollBars();
}

void PreviewPageArea::show(int page, int zoom) {
    m_page = page;
    m_zoom = zoom;
    updateScrollBars();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void PreviewPageArea::pagesChanged() {
    updateScrollBars();
    viewport()->update();
}

QSizeF PreviewPageArea::paperPixels() const {
    const PaperSize paper = m_store.paper();
    const double unitsPerInch = 25.4 * kDrawingUnitsPerMm;
    return {paper.width * logicalDpiX() / unitsPerInch,
            paper.height * logicalDpiY() / unitsPerInch};
}

QSize PreviewPageArea::imageSize() const {
    const QSizeF paper = paperPixels();
    return {static_cast<int>(std::lround(paper.width() * m_zoom / 100.0)) + kBorder,
            static_cast<int>(std::lround(paper.height() * m_zoom / 100.0)) + kBorder};
}

QPoint PreviewPageArea::imageOrigin() const {
    const QSize image = imageSize();
    const QSize room = viewport()->size();
    auto place = [](int length, int space, int scrolled) {
        return length < space ? (space - length) / 2 : -scrolled;
    };
    return {place(image.width(), room.width(), horizontalScrollBar()->value()),
            place(image.height(), room.height(), verticalScrollBar()->value())};
}

void PreviewPageArea::updateScrollBars() {
    const QSize image = imageSize();
    const QSize room = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, image.width() - room.width()));
    verticalScrollBar()->setRange(0, std::max(0, image.height() - room.height()));
    horizontalScrollBar()->setPageStep(room.width());
    verticalScrollBar()->setPageStep(room.height());
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setSingleStep(16);
}

void PreviewPageArea::paintEvent(QPaintEvent* event) {
    guarded([&] {
        if (m_page < 1 || m_page > m_store.pageCount())
            return;
        QPainter painter(viewport());
        painter.setClipRegion(event->region());
        const QSize image = imageSize();
        const QRect sheet(imageOrigin() + QPoint(1, 1),
                          QSize(image.width() - kBorder, image.height() - kBorder));
        // Outline one pixel round the sheet, shadow two pixels along its right and bottom.
        const QRect outline = sheet.adjusted(-1, -1, 1, 1);
        painter.fillRect(outline.translated(2, 2), Qt::black);
        painter.fillRect(outline, Qt::black);
        painter.fillRect(sheet, Qt::white);
        painter.setClipRect(sheet, Qt::IntersectClip);
        paintPage(painter, m_store.page(m_page), m_store.document().fonts, QRectF(sheet));
    });
}

void PreviewPageArea::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    Q_EMIT areaResized();
}

void PreviewPageArea::scrollContentsBy(int, int) {
    viewport()->update();
}

} // namespace lambreya
