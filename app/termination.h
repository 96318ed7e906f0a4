#pragma once

class QObject;

namespace lambreya {

// Makes the end of the desktop session and the termination signals (SIGTERM, SIGHUP,
// SIGINT) end the message loop, as closing the program from outside does: the window's
// close handler does not run, but everything after the loop does, so a pending change is
// posted and a changed directory is written.
void endLoopOnTermination(QObject* context);

} // namespace lambreya
