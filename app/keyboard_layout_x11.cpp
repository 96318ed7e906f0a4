// The keyboard layout layer on X11: each identifier's language selects a group of the X
// keyboard extension. All calls into Xlib live in this file.
#include "app/keyboard_layout.h"

#include <QByteArray>
#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace lambreya {
namespace {

class X11KeyboardLayouts final : public KeyboardLayouts {
public:
    explicit X11KeyboardLayouts(Display* display)
        : m_display(display) {}

    void activate(KeyboardLayoutId id) override {
        m_requested = id;
        const std::optional<int> group = keyboard_layout::groupForIdentifier(layouts(), id);
        if (!group)
            return;
        XkbLockGroup(m_display, XkbUseCoreKbd, static_cast<unsigned int>(*group));
        XFlush(m_display);
    }

    KeyboardLayoutId active() const override {
        XkbStateRec state{};
        if (XkbGetState(m_display, XkbUseCoreKbd, &state) != Success)
            return m_requested;
        return keyboard_layout::identifierForGroup(layouts(), state.group).value_or(m_requested);
    }

private:
    // The layouts of the groups, read afresh each time: the desktop may change them while
    // the program runs.
    QStringList layouts() const {
        const Atom names = XInternAtom(m_display, "_XKB_RULES_NAMES", True);
        if (names == 0)
            return {};
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        const int status =
            XGetWindowProperty(m_display, XDefaultRootWindow(m_display), names, 0, 1024, False,
                               XA_STRING, &type, &format, &count, &remaining, &data);
        QByteArray property;
        if (status == Success && data && type == XA_STRING && format == 8)
            property = QByteArray(reinterpret_cast<const char*>(data), qsizetype(count));
        if (data)
            XFree(data);
        return keyboard_layout::parseRulesNames(property).layouts;
    }

    Display* m_display;
    // Reported when the layout in force cannot be told: the last identifier asked for.
    KeyboardLayoutId m_requested = kRussianKeyboardLayout;
};

} // namespace

std::unique_ptr<KeyboardLayouts> createX11KeyboardLayouts() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return nullptr;
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor))
        return nullptr;
    return std::make_unique<X11KeyboardLayouts>(display);
}

} // namespace lambreya
