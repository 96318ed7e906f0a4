#include "ui/window_parts.h"

#include "ui/look.h"

#include <QMouseEvent>
#include <QPainter>

namespace lambreya {

SearchPanel::SearchPanel(QWidget* parent)
    : QFrame(parent) {
    setAutoFillBackground(false);
}

void SearchPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, look::kMaroon);
    // The single line outside, then a raised bevel inside it.
    painter.setPen(look::windowText());
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    const QRect bevel = r.adjusted(1, 1, -2, -2);
    painter.setPen(look::kWhite);
    painter.drawLine(bevel.topLeft(), bevel.topRight());
    painter.drawLine(bevel.topLeft(), bevel.bottomLeft());
    painter.setPen(look::buttonFace().darker(160));
    painter.drawLine(bevel.bottomLeft(), bevel.bottomRight());
    painter.drawLine(bevel.topRight(), bevel.bottomRight());
}

void CaptionLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont plain = font();
    const bool underline = plain.underline();
    plain.setUnderline(false);
    const QFontMetrics metrics(plain);
    const int width = metrics.horizontalAdvance(text());
    const QRect area = contentsRect();
    const int x = area.left() + (area.width() - width) / 2;
    const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
    const QColor colour = palette().color(foregroundRole());
    painter.setFont(plain);
    painter.setPen(colour);
    painter.drawText(x, baseline, text());
    if (underline)
        painter.fillRect(x, baseline + metrics.underlinePos(), width,
                         std::max(1, metrics.lineWidth()), colour);
}

void CaptionLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
}

void CaptionLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        Q_EMIT clicked();
}

ControlBar::ControlBar(QWidget* parent)
    : QToolBar(parent) {
    setObjectName(QStringLiteral("ControlBar1"));
    setMovable(true);
    setFloatable(false);
    setAllowedAreas(Qt::BottomToolBarArea);
    setFixedHeight(kHeight);
    setContentsMargins(0, 0, 0, 0);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, look::kMaroon);
    p.setColor(QPalette::Button, look::kMaroon);
    setPalette(p);
}

} // namespace lambreya
