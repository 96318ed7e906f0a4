// The keyboard layer against a real X server (a virtual one, see run_with_xvfb.sh): the
// server gets a keymap with the groups us and ru, and the root window names them.
#include "app/keyboard_layout.h"

#include <QByteArray>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace lambreya {
namespace {

Display* display() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

void setRulesNames(const QByteArray& layouts) {
    const QByteArray value = QByteArray("evdev") + '\0' + "pc105" + '\0' + layouts + '\0' + '\0' +
                             "grp:alt_shift_toggle" + '\0';
    Display* d = display();
    const Atom names = XInternAtom(d, "_XKB_RULES_NAMES", False);
    XChangeProperty(d, XDefaultRootWindow(d), names, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(value.constData()),
                    static_cast<int>(value.size()));
    XSync(d, False);
}

// Loads a keymap whose first group is the US layout and second the Russian one.
bool loadUsRuKeymap() {
    char keycodes[] = "evdev+aliases(qwerty)";
    char types[] = "complete";
    char compat[] = "complete";
    char symbols[] = "pc+us+ru:2+inet(evdev)";
    XkbComponentNamesRec names{};
    names.keycodes = keycodes;
    names.types = types;
    names.compat = compat;
    names.symbols = symbols;
    XkbDescPtr keymap =
        XkbGetKeyboardByName(display(), XkbUseCoreKbd, &names, XkbGBN_AllComponentsMask,
                             XkbGBN_AllComponentsMask & ~XkbGBN_GeometryMask, True);
    if (!keymap)
        return false;
    XkbFreeKeyboard(keymap, XkbAllComponentsMask, True);
    return true;
}

int serverGroup() {
    XkbStateRec state{};
    XkbGetState(display(), XkbUseCoreKbd, &state);
    return state.group;
}

void lockGroup(unsigned int group) {
    XkbLockGroup(display(), XkbUseCoreKbd, group);
    XSync(display(), False);
}

class X11KeyboardLayer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), u"xcb");
        ASSERT_TRUE(loadUsRuKeymap());
        setRulesNames("us,ru");
        lockGroup(0);
        m_layouts = createKeyboardLayouts();
        ASSERT_NE(m_layouts, nullptr);
    }

    std::unique_ptr<KeyboardLayouts> m_layouts;
};

TEST_F(X11KeyboardLayer, ActivatingSelectsTheGroupOfTheLanguage) {
    m_layouts->activate(kRussianKeyboardLayout);
    EXPECT_EQ(serverGroup(), 1);
    EXPECT_EQ(m_layouts->active(), kRussianKeyboardLayout);

    m_layouts->activate(0x04090409);
    EXPECT_EQ(serverGroup(), 0);
    EXPECT_EQ(m_layouts->active(), 0x04090409);
}

TEST_F(X11KeyboardLayer, LanguageWithoutAGroupChangesNothing) {
    m_layouts->activate(kRussianKeyboardLayout);
    m_layouts->activate(0x04070407);
    EXPECT_EQ(serverGroup(), 1);
    EXPECT_EQ(m_layouts->active(), kRussianKeyboardLayout);
}

TEST_F(X11KeyboardLayer, ReportsTheGroupTheUserSwitchedTo) {
    m_layouts->activate(0x04090409);
    lockGroup(1);
    EXPECT_EQ(m_layouts->active(), kRussianKeyboardLayout);
}

TEST_F(X11KeyboardLayer, ReadsTheLayoutNamesAfresh) {
    setRulesNames("de,ru");
    EXPECT_EQ(m_layouts->active(), 0x04070407);
    m_layouts->activate(kRussianKeyboardLayout);
    EXPECT_EQ(serverGroup(), 1);
    m_layouts->activate(0x04070407);
    EXPECT_EQ(serverGroup(), 0);
}

} // namespace
} // namespace lambreya

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
