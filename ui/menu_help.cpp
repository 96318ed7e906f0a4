#include "ui/menu_help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace lambreya {
namespace {

class MenuHelpFilter : public QObject {
public:
    MenuHelpFilter(QMenuBar* bar, std::function<void()> request)
        : QObject(bar)
        , m_bar(bar)
        , m_request(std::move(request)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        if (watched == m_bar && !m_bar->activeAction())
            return false; // the bar is not highlighted: F1 is the Contents command
        if (type == QEvent::ShortcutOverride) {
            event->accept(); // the key is the menu's, not the shortcut's
            return true;
        }
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        m_bar->setActiveAction(nullptr);
        m_request();
        return true;
    }

private:
    QMenuBar* m_bar;
    std::function<void()> m_request;
};

void watchMenu(QMenu* menu, QObject* filter) {
    menu->installEventFilter(filter);
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu())
            watchMenu(sub, filter);
    }
}

} // namespace

void installMenuHelp(QMenuBar* bar, std::function<void()> request) {
    auto* filter = new MenuHelpFilter(bar, std::move(request));
    bar->installEventFilter(filter);
    for (QAction* action : bar->actions()) {
        if (QMenu* menu = action->menu())
            watchMenu(menu, filter);
    }
}

} // namespace lambreya
