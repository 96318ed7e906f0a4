#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

#include <memory>
#include <optional>

namespace lambreya {

// A keyboard layout identifier as the settings file keeps it: the language in the low 16
// bits, the layout in the high 16 bits; 0x04190419 is the Russian layout for Russian.
using KeyboardLayoutId = qint32;

inline constexpr KeyboardLayoutId kRussianKeyboardLayout = 0x04190419;

// The keyboard layout of the program's input.
class KeyboardLayouts {
public:
    virtual ~KeyboardLayouts() = default;

    // Switches to the layout for the identifier's language. An identifier that the
    // platform cannot match leaves the layout as it is.
    virtual void activate(KeyboardLayoutId id) = 0;

    // The identifier of the layout in force.
    virtual KeyboardLayoutId active() const = 0;
};

// The layer of a platform whose layouts the program cannot switch: it keeps the identifier
// last activated and reports it, the Russian layout before any.
class RememberedKeyboardLayout final : public KeyboardLayouts {
public:
    void activate(KeyboardLayoutId id) override { m_active = id; }
    KeyboardLayoutId active() const override { return m_active; }

private:
    KeyboardLayoutId m_active = kRussianKeyboardLayout;
};

// The layer for the platform the application runs on: the XKB groups of the X display
// under X11, RememberedKeyboardLayout elsewhere (Wayland, offscreen). Needs the
// QGuiApplication to exist.
std::unique_ptr<KeyboardLayouts> createKeyboardLayouts();

// The X11 layer; empty when the application does not run on X11 or the display has no
// keyboard extension.
std::unique_ptr<KeyboardLayouts> createX11KeyboardLayouts();

// How identifiers meet the layout names of the X keyboard extension ("us", "ru", ...).
namespace keyboard_layout {

quint16 languageOf(KeyboardLayoutId id);

// The language in both halves, as a layout of its own language is identified.
KeyboardLayoutId identifierForLanguage(quint16 language);

// The layout name for a language, such as "ru" for 0x0419; empty when none is known.
QString layoutNameForLanguage(quint16 language);

// The language of a layout name; a variant in parentheses ("ru(phonetic)") is ignored.
std::optional<quint16> languageForLayoutName(QStringView layout);

// The fields of the root window property that names the keyboard configuration: rules,
// model, layouts, variants and options, each ended by a zero byte. The layouts and
// variants are lists separated by ",", one entry per group.
struct XkbRulesNames {
    QString rules;
    QString model;
    QStringList layouts;
    QStringList variants;
    QString options;
};
XkbRulesNames parseRulesNames(QByteArrayView property);

// The group to lock for an identifier: the first group whose layout is that of the
// identifier's language, or failing that the first group of a layout with the same primary
// language (the low 10 bits: English for both "us" and "gb"). Empty when there is none.
std::optional<int> groupForIdentifier(const QStringList& layouts, KeyboardLayoutId id);

// The identifier of a group's layout; empty when the group does not exist or its layout
// is not known.
std::optional<KeyboardLayoutId> identifierForGroup(const QStringList& layouts, int group);

} // namespace keyboard_layout
} // namespace lambreya
