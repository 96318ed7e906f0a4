#include "app/shell_form.h"

#include "app/error_box.h"
#include "app/ini_file.h"
#include "app/keyboard_layout.h"
#include "app/settings_keys.h"
#include "app/settings_paths.h"

#include <QAction>

namespace lambreya {

ShellForm::ShellForm(QString programFile, HelpViewer* helpViewer, KeyboardLayouts& keyboard,
                     QWidget* parent)
    : TLambreyaForm(helpViewer, parent)
    , m_programFile(std::move(programFile))
    , m_keyboard(keyboard) {}

void ShellForm::FormCreate() {
    SettingsSavePath = settings_paths::settingsSavePath(m_programFile);
    try {
        LoadSettings(settings_paths::settingsReadPath(m_programFile));
    } catch (...) {
        showLoadSettingsWarning();
    }
    Table1.open();
}

void ShellForm::FormClose() {
    try {
        SaveSettings(SettingsSavePath);
    } catch (...) {
        showSaveSettingsWarning();
    }
}

void ShellForm::LoadSettings(const QString& path) {
    const IniFile settings(path);
    const auto table = settingsKeyName(SettingsKey::TableName);
    Table1.setFileName(settings.readText(table.section, table.key, QString()));
    const auto instant = settingsKeyName(SettingsKey::InstantSearch);
    mmOptions_InstantSearch->setChecked(
        settings.readBool(instant.section, instant.key, kDefaultInstantSearch));
    const auto layout = settingsKeyName(SettingsKey::Layout);
    m_keyboard.activate(settings.readInteger(layout.section, layout.key, kDefaultKeyboardLayout));
}

void ShellForm::SaveSettings(const QString& path) {
    IniFile settings(path);
    const auto instant = settingsKeyName(SettingsKey::InstantSearch);
    settings.writeBool(instant.section, instant.key, mmOptions_InstantSearch->isChecked());
    const auto layout = settingsKeyName(SettingsKey::Layout);
    settings.writeInteger(layout.section, layout.key, m_keyboard.active());
}

} // namespace lambreya
