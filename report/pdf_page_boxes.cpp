#include "report/pdf_page_boxes.h"

#include "report/page_painter.h"

#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <utility>

namespace lambreya {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

// A page box as Qt's writer puts it: "[0 0 595.000000 842.000000]".
QByteArray box(QSizeF points) {
    return "[0 0 " + QByteArray::number(points.width(), 'f', 6) + ' ' +
           QByteArray::number(points.height(), 'f', 6) + ']';
}

} // namespace

PdfPageBoxes::PdfPageBoxes(QIODevice& target, PaperSize paper)
    : m_target(target)
    , m_paper(paper) {
    const QSizeF exact(paper.width * kPointsPerMm / kDrawingUnitsPerMm,
                       paper.height * kPointsPerMm / kDrawingUnitsPerMm);
    const QSizeF whole(std::round(exact.width()), std::round(exact.height()));
    m_wholeBox = box(whole);
    m_exactBox = box(exact);
    if (m_exactBox.size() == m_wholeBox.size())
        m_pointsTaller = whole.height() - exact.height();
    else
        m_exactBox = m_wholeBox;
    open(QIODevice::WriteOnly);
}

QRectF PdfPageBoxes::sheetOn(const QPaintDevice& device) const {
    return paperRectOn(device, m_paper).translated(0, m_pointsTaller * device.logicalDpiY() / 72.0);
}

qint64 PdfPageBoxes::writeData(const char* data, qint64 size) {
    m_held.append(data, size);
    for (qsizetype at = 0; (at = m_held.indexOf(m_wholeBox, at)) >= 0; at += m_exactBox.size())
        m_held.replace(at, m_exactBox.size(), m_exactBox);
    // A box split between two writes is found once its end has come.
    const qsizetype keep = std::min(m_held.size(), m_wholeBox.size() - 1);
    const qsizetype pass = m_held.size() - keep;
    if (pass > 0) {
        if (m_target.write(m_held.constData(), pass) != pass)
            return -1;
        m_held.remove(0, pass);
    }
    return size;
}

void PdfPageBoxes::flushHeld() {
    m_target.write(std::exchange(m_held, {}));
}

} // namespace lambreya
