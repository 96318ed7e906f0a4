#include "ui/no_tooltips.h"

#include "data/guarded.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace lambreya {

namespace {

class ToolTipEater : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return guarded(
            [&] {
                if (event->type() == QEvent::ToolTip)
                    return true;
                return QObject::eventFilter(watched, event);
            },
            true);
    }
};

} // namespace

void suppressToolTips(QWidget* window) {
    auto* eater = new ToolTipEater(window);
    window->installEventFilter(eater);
    const auto children = window->findChildren<QWidget*>();
    for (auto* child : children)
        child->installEventFilter(eater);
}

} // namespace lambreya
