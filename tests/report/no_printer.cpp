// These tests run with no printer at all: the print system is pointed at a socket where no
// scheduler listens, before anything asks it, so the machine's own is never used.
#include <QByteArray>

namespace {

const bool kNoPrinter = [] {
    qputenv("CUPS_SERVER", QByteArrayLiteral("/nonexistent/lambreya-no-scheduler.sock"));
    return true;
}();

} // namespace
