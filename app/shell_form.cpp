#include "app/shell_form.h"

#include "app/error_box.h"
#include "app/ini_file.h"
#include "app/keyboard_layout.h"
#include "app/settings_keys.h"
#include "app/settings_paths.h"

#include "data/byte_writer.h"
#include "data/case_blind_file.h"
#include "data/columns_builder.h"
#include "data/data_file.h"
#include "data/stored_form.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lambreya {
namespace {

// A settings file of three sections takes a few hundred bytes.
constexpr qint64 kLargestSettingsTemplate = 1 << 20;

[[noreturn]] void failFirstStart(const QString& path) {
    throw Error("Не могу создать папку " + QDir::toNativeSeparators(path).toStdString());
}

// A first start with the user's own settings: the settings file starts as a copy of the
// administrator's one beside the program when there is one; otherwise it is created naming
// a directory of the user's own, which starts empty, so that the program opens instead of
// failing on a data file nobody named.
void prepareUserSettings(const QString& settingsPath, const std::optional<QString>& template_) {
    if (QFileInfo::exists(settingsPath))
        return;
    if (template_) {
        const QString folder = QFileInfo(settingsPath).absolutePath();
        if (!QDir().mkpath(folder))
            failFirstStart(folder);
        // Only a regular file of a settings file's size is copied: a pipe or a device there
        // would block or never end.
        const QFileInfo administrators(*template_);
        if (!administrators.isFile() || administrators.size() > kLargestSettingsTemplate)
            throw Error("Файл настроек " + QDir::toNativeSeparators(*template_).toStdString() +
                        " не является обычным файлом настроек");
        // The user's copy is the user's to write, whatever the administrator's allows.
        if (!QFile::copy(*template_, settingsPath) ||
            !QFile::setPermissions(settingsPath, QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ReadGroup | QFile::ReadOther))
            throw Error("Не могу скопировать файл " +
                        QDir::toNativeSeparators(*template_).toStdString());
        return;
    }
    const QString data = settings_paths::userDirectoryPath();
    for (const QString& file : {settingsPath, data}) {
        const QString folder = QFileInfo(file).absolutePath();
        if (!QDir().mkpath(folder))
            failFirstStart(folder);
    }
    if (!findCaseBlind(data)) {
        Directory empty;
        empty.fields = standardDirectoryFields();
        ColumnsBuilder(empty.fields.size()).finish(empty);
        writeDataFile(data, asView(storeDirectory(empty, storedFormForName(data))));
    }
    const auto table = settingsKeyName(SettingsKey::TableName);
    IniFile(settingsPath).writeText(table.section, table.key, data);
}

} // namespace

ShellForm::ShellForm(QString programFile, HelpViewer* helpViewer, KeyboardLayouts& keyboard,
                     QWidget* parent)
    : TLambreyaForm(helpViewer, parent)
    , m_programFile(std::move(programFile))
    , m_keyboard(keyboard) {}

void ShellForm::FormCreate() {
    const settings_paths::SettingsPlace place = settings_paths::settingsPlace(m_programFile);
    SettingsSavePath = place.savePath;
    try {
        if (place.inUserFolder)
            prepareUserSettings(place.readPath, place.administratorSettings);
        LoadSettings(place.readPath);
    } catch (...) {
        showLoadSettingsWarning();
    }
    // Posted changes go to a journal beside the data file until the final write, and the
    // data file is held for this copy of the program.
    Table1.setKeepsJournal(true);
    Table1.open();
    if (!Table1.openingNotice().empty())
        showDirectoryNotice(QString::fromStdString(Table1.openingNotice()));
}

void ShellForm::FormClose() {
    try {
        SaveSettings(SettingsSavePath);
    } catch (...) {
        showSaveSettingsWarning();
    }
}

void ShellForm::LoadSettings(const QString& path) {
    // Read and parsed once for the three keys.
    const IniText settings = IniFile(path).read();
    const auto table = settingsKeyName(SettingsKey::TableName);
    Table1.setFileName(IniFile::text(settings, table.section, table.key, QString()));
    const auto instant = settingsKeyName(SettingsKey::InstantSearch);
    mmOptions_InstantSearch->setChecked(
        IniFile::boolean(settings, instant.section, instant.key, kDefaultInstantSearch));
    const auto layout = settingsKeyName(SettingsKey::Layout);
    m_keyboard.activate(
        IniFile::integer(settings, layout.section, layout.key, kDefaultKeyboardLayout));
}

void ShellForm::SaveSettings(const QString& path) {
    IniFile settings(path);
    const auto instant = settingsKeyName(SettingsKey::InstantSearch);
    settings.writeBool(instant.section, instant.key, mmOptions_InstantSearch->isChecked());
    const auto layout = settingsKeyName(SettingsKey::Layout);
    settings.writeInteger(layout.section, layout.key, m_keyboard.active());
}

} // namespace lambreya
