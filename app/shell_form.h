#pragma once

#include "ui/lambreya_form.h"

namespace lambreya {

class KeyboardLayouts;

// The main window with the shell's part of its handlers: reading the settings and opening
// the directory when it is created, saving the settings when it is closed.
class ShellForm : public TLambreyaForm {
    Q_OBJECT

public:
    // `programFile` is the running program's own file; the settings paths derive from it.
    ShellForm(QString programFile, HelpViewer* helpViewer, KeyboardLayouts& keyboard,
              QWidget* parent = nullptr);

    // Sets SettingsSavePath, reads the settings (a failure shows the load warning and the
    // start goes on) and opens Table1 with its journal; what the opening has to tell (changes
    // recovered, a copy open elsewhere) is shown in a notice box. A failure to open is not
    // caught here.
    void FormCreate() override;
    // Saves the settings to SettingsSavePath; a failure shows the save warning.
    void FormClose() override;

    const QString& settingsSavePath() const { return SettingsSavePath; }

private:
    void LoadSettings(const QString& path);
    void SaveSettings(const QString& path);

    QString m_programFile;
    KeyboardLayouts& m_keyboard;
    QString SettingsSavePath;
};

} // namespace lambreya
