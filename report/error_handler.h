#pragma once

#include <QString>

#include <functional>

namespace lambreya {

// How the report hands an error to its caller: the standard error box, given to it as a
// function, since the report shows no message box of its own.
using ErrorHandler = std::function<void(const QString& message)>;

// For use inside a catch block: gives the exception being handled to `handler`; a
// lambreya::SilentAbort is not told.
void handleCurrentException(const ErrorHandler& handler);

// Runs `action` where Qt called us (a slot, an event handler, a queued call), so that no
// exception unwinds through Qt's frames: an error goes to `handler`.
template <typename Action>
void runGuarded(const ErrorHandler& handler, Action&& action) {
    try {
        action();
    } catch (...) {
        handleCurrentException(handler);
    }
}

} // namespace lambreya
