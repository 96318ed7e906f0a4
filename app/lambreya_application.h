#pragma once

#include <QApplication>

namespace lambreya {

// The application object. Its event dispatch is the one place that catches what escapes an
// event handler: the error is shown in the standard error box (a lambreya::SilentAbort
// shows nothing) and the program goes on with the next event.
//
// The program takes no command-line arguments, so Qt never sees any: its own options
// (-style, -reverse, -geometry, -platform, ...) do not act, and the window keeps its own
// look, direction and place whatever the command line holds.
class LambreyaApplication : public QApplication {
    Q_OBJECT

public:
    LambreyaApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Whether the desktop asked for the window to start minimised: the X convention "-iconic"
// among the arguments, the one argument the program reads.
bool startsIconic(int argc, char** argv);

} // namespace lambreya
