// Starts the program as the package installed it, on a private virtual X server, and checks
// it from outside as the desktop sees it: the main window appears first (no error box before
// it, so the directory opened), centred whatever Qt options the command line holds, carries
// the program's icon, and a close request ends the program with its settings saved in the
// user's configuration folder.
//
// Usage: installed_program_check ROOT WORK
//   ROOT: the unpacked package; WORK: the user's home, whose config/lambreya/KALVEST.INI
//   names a directory.
#include <QByteArray>
#include <QFile>
#include <QProcess>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <sys/select.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

int g_failures = 0;

void check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    if (!ok)
        ++g_failures;
}

// The next X event, waiting at most `seconds`; false when none came.
bool nextEvent(Display* display, XEvent& event, int seconds) {
    if (XPending(display) == 0) {
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(display), &fds);
        timeval limit{seconds, 0};
        if (select(ConnectionNumber(display) + 1, &fds, nullptr, nullptr, &limit) <= 0)
            return false;
    }
    XNextEvent(display, &event);
    return true;
}

std::string windowName(Display* display, Window window) {
    XTextProperty name{};
    if (!XGetTextProperty(display, window, &name, XInternAtom(display, "_NET_WM_NAME", False)) ||
        !name.value)
        return {};
    std::string text(reinterpret_cast<const char*>(name.value), name.nitems);
    XFree(name.value);
    return text;
}

// The sizes of the images in _NET_WM_ICON: width, height, then width * height pixels each.
bool hasIconOfSize(Display* display, Window window, unsigned long size) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 20,
                           False, XA_CARDINAL, &type, &format, &count, &after, &data) != Success ||
        !data)
        return false;
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    bool found = false;
    for (unsigned long i = 0; i + 2 <= count; i += 2 + values[i] * values[i + 1]) {
        if (values[i] == size && values[i + 1] == size)
            found = true;
        if (values[i] == 0 || values[i + 1] == 0)
            break;
    }
    XFree(data);
    return found;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: installed_program_check ROOT WORK\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString work = QString::fromLocal8Bit(argv[2]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const Window desktop = DefaultRootWindow(display);
    XSelectInput(display, desktop, SubstructureNotifyMask);
    XSync(display, False);

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), work);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), work + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), work + QStringLiteral("/share"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(root + QStringLiteral("/usr/bin/Kalvest"),
                  {QStringLiteral("-geometry"), QStringLiteral("300x200+5+6"),
                   QStringLiteral("-reverse"), QStringLiteral("-style"),
                   QStringLiteral("windows")});
    check(program.waitForStarted(), "the program starts");

    Window window = 0;
    XEvent event;
    while (!window && nextEvent(display, event, 60)) {
        if (event.type == MapNotify && windowName(display, event.xmap.window) == "Ламбрея")
            window = event.xmap.window;
    }
    check(window != 0, "its window \"Ламбрея\" appears");
    if (window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        const int screenWidth = DisplayWidth(display, DefaultScreen(display));
        const int screenHeight = DisplayHeight(display, DefaultScreen(display));
        check(attributes.width == 639, "the first window is the 639 wide main window");
        // Centred, each offset at least 0; -geometry would have put it at 5, 6.
        check(attributes.x == std::max(0, (screenWidth - attributes.width) / 2) &&
                  attributes.y == std::max(0, (screenHeight - attributes.height) / 2),
              "the window is centred, whatever -geometry says (at " + std::to_string(attributes.x) +
                  ", " + std::to_string(attributes.y) + ")");
        check(hasIconOfSize(display, window, 32), "_NET_WM_ICON holds the 32 x 32 icon");

        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.window = window;
        close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        close.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &close);
        XFlush(display);
    }
    const bool ended = program.waitForFinished(60000);
    check(ended && program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
          "a close request ends it normally");
    if (!ended)
        program.kill();

    QFile settings(work + QStringLiteral("/config/lambreya/KALVEST.INI"));
    const QByteArray saved = settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
    check(saved.contains("TableName=") && saved.contains("[Options]\nInstantSearch=0"),
          "the settings are saved in the user's configuration folder");
    XCloseDisplay(display);
    return g_failures == 0 ? 0 : 1;
}
