// A menu item's accessibility interface of our own, for the items given a name: Qt asks the
// installed factories for an action's interface before it makes its own.
#include "ui/menu_item_accessibility.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QMenu>
#include <QPointer>

namespace lambreya {
namespace {

constexpr const char* kNameProperty = "lambreyaAccessibleName";

class NamedMenuItem : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit NamedMenuItem(QAction* action)
        : m_action(action) {}

    bool isValid() const override { return m_action && menu(); }
    QObject* object() const override { return m_action; }
    QWindow* window() const override {
        QMenu* owner = menu();
        return owner && owner->window() ? owner->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(menu());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }

    QString text(QAccessible::Text t) const override {
        if (!m_action)
            return {};
        if (t == QAccessible::Name)
            return m_action->property(kNameProperty).toString();
        if (t == QAccessible::Accelerator)
            return m_action->shortcut().toString(QKeySequence::NativeText);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        QMenu* owner = menu();
        if (!owner || !m_action)
            return {};
        const QRect local = owner->actionGeometry(m_action);
        return QRect(owner->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        QMenu* owner = menu();
        if (!m_action || !owner) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.invisible = !m_action->isVisible() || !owner->isVisible();
        s.disabled = !m_action->isEnabled();
        s.focused = s.active = owner->activeAction() == m_action;
        s.checkable = m_action->isCheckable();
        s.checked = m_action->isChecked();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override {
        return m_action && m_action->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (m_action && m_action->isEnabled() && name == pressAction())
            m_action->trigger();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QMenu* menu() const {
        if (!m_action)
            return nullptr;
        for (QObject* owner : m_action->associatedObjects()) {
            if (auto* found = qobject_cast<QMenu*>(owner))
                return found;
        }
        return nullptr;
    }

    QPointer<QAction> m_action;
};

QAccessibleInterface* namedMenuItems(const QString& className, QObject* object) {
    auto* action = qobject_cast<QAction*>(object);
    if (className != QLatin1String("QAction") || !action ||
        !action->property(kNameProperty).isValid())
        return nullptr;
    return new NamedMenuItem(action);
}

} // namespace

void setAccessibleMenuItemName(QAction* action, const QString& name) {
    static const bool installed = [] {
        QAccessible::installFactory(namedMenuItems);
        return true;
    }();
    (void)installed;
    action->setProperty(kNameProperty, name);
}

} // namespace lambreya
