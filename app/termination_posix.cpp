// The termination signals reach the message loop through a pipe: the signal handler only
// writes a byte, and the loop, seeing it, ends. The loop is ended with exit, not quit,
// which would close the window first and so run its close handler.
#include "app/termination.h"

#include "data/guarded.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace lambreya {

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

void endLoopOnTermination(QObject* context) {
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connectGuarded(gui, &QGuiApplication::commitDataRequest, context,
                       [](QSessionManager&) { QCoreApplication::exit(0); });
    }
    if (g_pipe[0] < 0) {
        if (::pipe(g_pipe) != 0)
            return;
        for (int fd : g_pipe)
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    }
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, context);
    connectGuarded(notifier, &QSocketNotifier::activated, context, [] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(g_pipe[0], &byte, 1);
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    // Ctrl+C in the terminal the program was started from.
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace lambreya
