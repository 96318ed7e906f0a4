#include "ui/look.h"

#include <QApplication>
#include <QPalette>

namespace lambreya::look {

QColor buttonFace() {
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

QColor windowText() {
    return QApplication::palette().color(QPalette::Active, QPalette::WindowText);
}

QFont font(const QString& family, int pixelHeight, int styles) {
    QFont f(family);
    f.setPixelSize(pixelHeight);
    f.setBold((styles & Bold) != 0);
    f.setItalic((styles & Italic) != 0);
    f.setUnderline((styles & Underline) != 0);
    return f;
}

QFont timesFont(int pixelHeight, int styles) {
    return font(QStringLiteral("Times New Roman"), pixelHeight, styles);
}

} // namespace lambreya::look
