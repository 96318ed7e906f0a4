#include "ui/window_parts.h"

#include "data/guarded.h"
#include "ui/look.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace lambreya {

SearchPanel::SearchPanel(QWidget* parent)
    : QFrame(parent) {
    setAutoFillBackground(false);
}

void SearchPanel::paintEvent(QPaintEvent*) {
    guarded([&] {
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
    });
}

void CaptionLabel::paintEvent(QPaintEvent*) {
    guarded([&] {
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
    });
}

void CaptionLabel::mousePressEvent(QMouseEvent* event) {
    guarded([&] { m_pressed = event->button() == Qt::LeftButton; });
}

void CaptionLabel::mouseReleaseEvent(QMouseEvent* event) {
    guarded([&] {
        const bool click = m_pressed && event->button() == Qt::LeftButton &&
                           rect().contains(event->position().toPoint());
        m_pressed = false;
        if (click)
            Q_EMIT clicked();
    });
}

namespace {

constexpr int kGripWidth = 9;

// The band: a raised frame with a grip of dots at its left edge.
class Band : public QFrame {
public:
    explicit Band(QWidget* parent)
        : QFrame(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(1);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        guarded([&] {
            QFrame::paintEvent(event);
            QPainter painter(this);
            for (int y = 4; y + 2 < height() - 2; y += 3) {
                for (int x : {3, 6}) {
                    painter.setPen(look::kWhite);
                    painter.drawPoint(x, y);
                    painter.setPen(look::kBlack);
                    painter.drawPoint(x + 1, y + 1);
                }
            }
        });
    }
};

} // namespace

ControlBar::ControlBar(QWidget* parent)
    : QFrame(parent)
    , m_band(new Band(this)) {
    setObjectName(QStringLiteral("ControlBar1"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken); // a soft bevelled edge
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, look::kMaroon);
    setPalette(p);
    m_band->setGeometry(1, 1, 637, kHeight - 2);
    m_band->setAutoFillBackground(true);
    m_band->setPalette(p);
    m_band->setCursor(Qt::ArrowCursor);
    m_band->installEventFilter(this);
}

bool ControlBar::eventFilter(QObject* watched, QEvent* event) {
    return guarded(
        [&] {
            if (watched != m_band)
                return QFrame::eventFilter(watched, event);
            switch (event->type()) {
            case QEvent::MouseButtonPress: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                const int x = mouse->position().toPoint().x();
                if (mouse->button() == Qt::LeftButton && x < kGripWidth + 2) {
                    m_grabX = x;
                    return true;
                }
                break;
            }
            case QEvent::MouseMove:
                if (m_grabX >= 0) {
                    const auto* mouse = static_cast<QMouseEvent*>(event);
                    const int x = m_band->mapToParent(mouse->position().toPoint()).x() - m_grabX;
                    // The band may go right until only its grip is left in the strip.
                    m_band->move(std::clamp(x, 1, width() - kGripWidth - 4), m_band->y());
                    return true;
                }
                break;
            case QEvent::MouseButtonRelease:
                if (m_grabX >= 0) {
                    m_grabX = -1;
                    return true;
                }
                break;
            default:
                break;
            }
            return QFrame::eventFilter(watched, event);
        },
        true);
}

} // namespace lambreya
