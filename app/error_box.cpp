#include "app/error_box.h"

#include "data/error.h"

#include <QApplication>
#include <QPushButton>

#include <exception>
#include <new>
#include <utility>

namespace lambreya {
namespace {

MessageBoxHook& hook() {
    static MessageBoxHook current;
    return current;
}

} // namespace

QString errorBoxText(QStringView message) {
    return QString::fromStdString(shownMessage(message.toString().toStdString()));
}

MessageBoxContent standardErrorBox(QStringView message) {
    return {QMessageBox::Critical, kApplicationTitle.toString(), errorBoxText(message)};
}

MessageBoxContent directoryNoticeBox(QStringView message) {
    return {QMessageBox::Information, kApplicationTitle.toString(), errorBoxText(message)};
}

MessageBoxContent loadSettingsWarningBox() {
    return {QMessageBox::Warning, QStringLiteral("Warning"),
            QStringLiteral("Не могу загрузить настройки!\r\nИспользую настройки по умолчанию.")};
}

MessageBoxContent saveSettingsWarningBox() {
    return {QMessageBox::Warning, QStringLiteral("Warning"),
            QStringLiteral("Не могу сохранить настройки!")};
}

MessageBoxHook setMessageBoxHook(MessageBoxHook replacement) {
    return std::exchange(hook(), std::move(replacement));
}

void showMessageBox(const MessageBoxContent& box) {
    if (hook()) {
        hook()(box);
        return;
    }
    QWidget* owner = box.icon == QMessageBox::Critical ? QApplication::activeWindow() : nullptr;
    QMessageBox messageBox(box.icon, box.caption, box.text, QMessageBox::NoButton, owner);
    QPushButton* ok = messageBox.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    messageBox.setDefaultButton(ok);
    messageBox.setEscapeButton(ok);
    messageBox.exec();
}

void showStandardError(QStringView message) {
    showMessageBox(standardErrorBox(message));
}

void showDirectoryNotice(QStringView message) {
    showMessageBox(directoryNoticeBox(message));
}

void showLoadSettingsWarning() {
    showMessageBox(loadSettingsWarningBox());
}

void showSaveSettingsWarning() {
    showMessageBox(saveSettingsWarningBox());
}

void showCurrentException() {
    if (const std::optional<std::string> message = currentErrorMessage())
        showStandardError(QString::fromStdString(*message));
}

} // namespace lambreya
