#include "ui/window_icon.h"

#include <QPixmap>

namespace lambreya {
namespace {

#include "ui/lambreya_icon.xpm"

} // namespace

QImage lambreyaIconImage() {
    return QImage(lambreya_xpm);
}

QIcon lambreyaIcon() {
    return QIcon(QPixmap::fromImage(lambreyaIconImage()));
}

} // namespace lambreya
