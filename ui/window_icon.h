#pragma once

#include <QIcon>
#include <QImage>

namespace lambreya {

// The program's own icon: a telephone directory with a telephone on its cover, 32 by 32
// pixels in 16 colours. The desktop entry carries a scalable drawing of the same design.
QImage lambreyaIconImage();
QIcon lambreyaIcon();

} // namespace lambreya
