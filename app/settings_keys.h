#pragma once

#include "app/keyboard_layout.h"

#include <QStringView>

// The three keys the program keeps in its settings file, each described once.
namespace lambreya {

enum class SettingsKey {
    TableName,     // section Data: the directory's data file, read only
    InstantSearch, // section Options: the instant search switch, "1" or "0"
    Layout,        // section Keyboard: the keyboard layout identifier, signed decimal
};

struct SettingsKeyName {
    QStringView section;
    QStringView key;
};

constexpr SettingsKeyName settingsKeyName(SettingsKey key) {
    switch (key) {
    case SettingsKey::TableName:
        return {u"Data", u"TableName"};
    case SettingsKey::InstantSearch:
        return {u"Options", u"InstantSearch"};
    case SettingsKey::Layout:
        return {u"Keyboard", u"Layout"};
    }
    return {};
}

// What a missing or unreadable value stands for.
inline constexpr bool kDefaultInstantSearch = false;
inline constexpr KeyboardLayoutId kDefaultKeyboardLayout = kRussianKeyboardLayout;

} // namespace lambreya
