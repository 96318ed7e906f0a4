#include "ui/help_context.h"

#include <QVariant>
#include <QWidget>

namespace lambreya {

namespace {
constexpr char kProperty[] = "helpContext";
} // namespace

int helpContext(const QWidget* control) {
    return control->property(kProperty).toInt();
}

void setHelpContext(QWidget* control, int context) {
    control->setProperty(kProperty, context);
}

int helpContextFor(const QWidget* control) {
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        if (const int context = helpContext(w))
            return context;
    }
    return 0;
}

} // namespace lambreya
