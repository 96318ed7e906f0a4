#include "app/lambreya_application.h"

#include "app/error_box.h"

namespace lambreya {

LambreyaApplication::LambreyaApplication(int& argc, char** argv)
    : QApplication(argc, argv) {}

bool LambreyaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException();
        return false;
    }
}

} // namespace lambreya
