#pragma once

#include <QRect>

class QWidget;

namespace lambreya {

// Places `window` with a client area of `clientSize` so that its frame, title bar
// included, is centred in `area`. The frame's margins are the window's own once it has
// a frame; before it is shown they are those of a framed window already on screen, which
// the window manager decorates alike; with none, the client area is centred.
void centreFrameIn(QWidget& window, QSize clientSize, const QRect& area);

// The same on the available area of the primary screen.
void centreFrameOnScreen(QWidget& window, QSize clientSize);

} // namespace lambreya
