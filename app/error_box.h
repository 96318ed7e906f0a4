#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringView>

#include <functional>

// The message boxes of the application shell: the standard error box that shows every
// error escaping an event handler, and the two warnings about the settings file.
namespace lambreya {

// Caption of the standard error box: the application's title.
inline constexpr QStringView kApplicationTitle = u"Ламбрея";

// What a box shows. Every box has one button "OK", which is its default button and is
// also taken by Esc.
struct MessageBoxContent {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption;
    QString text;

    friend bool operator==(const MessageBoxContent&, const MessageBoxContent&) = default;
};

// The text of the standard error box: the message with a "." appended when its last
// character sorts after "." (letters, digits, "?" and the like, every non-ASCII
// character); "!", ")" or "." at the end get nothing. An empty message stays empty.
QString errorBoxText(QStringView message);

MessageBoxContent standardErrorBox(QStringView message);
// A notice about the directory at start (changes recovered, a copy open elsewhere): the
// application's title, the information icon, the text with its full stop as in the error box.
MessageBoxContent directoryNoticeBox(QStringView message);
MessageBoxContent loadSettingsWarningBox();
MessageBoxContent saveSettingsWarningBox();

// Shows the box modally and returns when the user has closed it. The standard error box
// is owned by the active window, if any; the others stand centred on the screen.
void showMessageBox(const MessageBoxContent& box);

// Replaces the showing of boxes, so that tests can see what would be shown without a
// modal box; an empty hook restores the real boxes. Returns the hook that was in force.
using MessageBoxHook = std::function<void(const MessageBoxContent&)>;
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

void showStandardError(QStringView message);
void showDirectoryNotice(QStringView message);
void showLoadSettingsWarning();
void showSaveSettingsWarning();

// For use inside a catch block: shows the exception being handled in the standard error
// box; a lambreya::SilentAbort shows nothing. Used where an error ends an action and the
// program goes on.
void showCurrentException();

} // namespace lambreya
