#pragma once

#include <QApplication>

namespace lambreya {

// The application object. Its event dispatch is the one place that catches what escapes an
// event handler: the error is shown in the standard error box (a lambreya::SilentAbort
// shows nothing) and the program goes on with the next event.
class LambreyaApplication : public QApplication {
    Q_OBJECT

public:
    LambreyaApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace lambreya
