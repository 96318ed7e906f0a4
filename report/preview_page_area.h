#pragma once

#include "report/page_store.h"

#include <QAbstractScrollArea>

namespace lambreya {

// The page area of the preview window: the shown page as a white sheet with a one-pixel
// black outline and a two-pixel shadow, replayed from its drawing at the zoom whenever it
// is painted. The sheet is centred when it is smaller than the area and scrolls both ways
// when it is larger.
class PreviewPageArea : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Outline and shadow around the sheet, in pixels, in each direction.
    static constexpr int kBorder = 4;

    explicit PreviewPageArea(const PageStore& store, QWidget* parent = nullptr);

    int page() const { return m_page; }
    int zoom() const { return m_zoom; }
    // Shows page `page` at `zoom` percent, scrolled back to the top-left corner.
    void show(int page, int zoom);
    // The store got a page or lost them all: repaint when the shown page may have changed.
    void pagesChanged();

    // The paper at 100 % in screen pixels, at the screen's pixels per inch.
    QSizeF paperPixels() const;
    // The whole image at the zoom: the sheet rounded, plus outline and shadow.
    QSize imageSize() const;
    // The room the image has, without scroll bars: what the fitted zooms divide.
    QSize areaSize() const { return maximumViewportSize(); }
    // Where the image's top-left corner stands in the viewport.
    QPoint imageOrigin() const;

Q_SIGNALS:
    void areaResized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();

    const PageStore& m_store;
    int m_page = 1;
    int m_zoom = 100;
};

} // namespace lambreya
