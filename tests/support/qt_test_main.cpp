// Entry of the test programs that need a QApplication: widgets run on the offscreen
// platform (or the one LAMBREYA_TEST_PLATFORM names), one application for all cases of the program.
// Like the program's own, the application catches what escapes an event handler; the tests read
// what it caught.
#include "support/qt_test_support.h"

#include "data/guarded.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <exception>

namespace lambreya::test {
namespace {

std::vector<std::string>& escaped() {
    static std::vector<std::string> errors;
    return errors;
}

void recordEscaped() {
    try {
        throw;
    } catch (const std::exception& e) {
        escaped().emplace_back(e.what());
    }
}

class TestApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            escaped().emplace_back(e.what());
            return false;
        }
    }
};

} // namespace

std::vector<std::string> takeEscapedErrors() {
    return std::exchange(escaped(), {});
}

} // namespace lambreya::test

// The window system the tests run on: offscreen, unless a test program needs a real one.
#ifndef LAMBREYA_TEST_PLATFORM
#define LAMBREYA_TEST_PLATFORM "offscreen"
#endif

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", LAMBREYA_TEST_PLATFORM);
    lambreya::test::TestApplication app(argc, argv);
    lambreya::setEscapedErrorHandler(&lambreya::test::recordEscaped);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
