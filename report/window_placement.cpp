#include "report/window_placement.h"

#include <QApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

namespace lambreya {

namespace {

QMargins frameMarginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QMargins expectedFrameMargins(const QWidget& window) {
    if (window.isVisible())
        return frameMarginsOf(window);
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == &window || !other->isVisible() ||
            other->windowFlags().testFlag(Qt::FramelessWindowHint))
            continue;
        if (const QMargins margins = frameMarginsOf(*other); !margins.isNull())
            return margins;
    }
    return {};
}

} // namespace

void centreFrameIn(QWidget& window, QSize clientSize, const QRect& area) {
    const QMargins margins = expectedFrameMargins(window);
    QRect frame(QPoint(), clientSize.grownBy(margins));
    frame.moveCenter(area.center());
    window.setGeometry(QRect(frame.topLeft() + QPoint(margins.left(), margins.top()), clientSize));
}

void centreFrameOnScreen(QWidget& window, QSize clientSize) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        centreFrameIn(window, clientSize, screen->availableGeometry());
}

} // namespace lambreya
