#include "app/lambreya_application.h"

#include "app/error_box.h"

#include <cstring>

namespace lambreya {
namespace {

// What Qt is given as the command line: the program's name and nothing else. These live as
// long as the application object, which keeps referring to them.
int& programNameCount() {
    static int count = 1;
    return count;
}

char** programNameOnly(int argc, char** argv) {
    static char empty[] = "";
    static char* args[2] = {};
    args[0] = argc > 0 && argv[0] ? argv[0] : empty;
    return args;
}

} // namespace

LambreyaApplication::LambreyaApplication(int& argc, char** argv)
    : QApplication(programNameCount(), programNameOnly(argc, argv)) {}

bool LambreyaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException();
        return false;
    }
}

bool startsIconic(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && std::strcmp(argv[i], "-iconic") == 0)
            return true;
    }
    return false;
}

} // namespace lambreya
