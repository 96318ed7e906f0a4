// The application object's catching of handler errors, and the keyboard layer chosen on a
// platform without XKB. Runs inside a LambreyaApplication of its own.
#include "app/error_box.h"
#include "app/keyboard_layout.h"
#include "app/lambreya_application.h"

#include "data/error.h"
#include "ui/lambreya_form.h"

#include <QEvent>
#include <QScreen>
#include <QStyle>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

namespace lambreya {
namespace {

// An object whose handler runs the given action on a user event.
class Handler : public QObject {
public:
    std::function<void()> action;
    int handled = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++handled;
        action();
        return true;
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous =
            setMessageBoxHook([this](const MessageBoxContent& box) { m_shown.push_back(box); });
    }
    void TearDown() override { setMessageBoxHook(m_previous); }

    void deliver(Handler& handler) {
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&handler, &event);
    }

    std::vector<MessageBoxContent> m_shown;
    MessageBoxHook m_previous;
};

TEST_F(ApplicationTest, ErrorFromAHandlerIsShownInTheStandardBox) {
    Handler handler;
    handler.action = [] { throw Error("Файл не найден"); };
    deliver(handler);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0], standardErrorBox(u"Файл не найден"));
    EXPECT_EQ(m_shown[0].text, u"Файл не найден.");

    handler.action = [] { throw std::runtime_error("Table1: Cannot open file \"kalvest.cds\""); };
    deliver(handler);
    handler.action = [] { throw std::bad_alloc(); };
    deliver(handler);
    ASSERT_EQ(m_shown.size(), 3u);
    EXPECT_EQ(m_shown[1].text, u"Table1: Cannot open file \"kalvest.cds\"");
    EXPECT_EQ(m_shown[2].text, u"Недостаточно памяти.");
}

TEST_F(ApplicationTest, SilentAbortShowsNothing) {
    Handler handler;
    handler.action = [] { throw SilentAbort(); };
    deliver(handler);
    EXPECT_EQ(handler.handled, 1);
    EXPECT_TRUE(m_shown.empty());
}

TEST_F(ApplicationTest, TheProgramGoesOnWithTheNextEvent) {
    Handler failing;
    failing.action = [] { throw Error("Нет доступа!"); };
    Handler next;
    next.action = [] {};
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&next, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(next.handled, 1);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0].text, u"Нет доступа!");
}

TEST(KeyboardLayer, OffscreenRemembersTheLastIdentifier) {
    ASSERT_EQ(QGuiApplication::platformName(), u"offscreen");
    const std::unique_ptr<KeyboardLayouts> layouts = createKeyboardLayouts();
    EXPECT_EQ(layouts->active(), kRussianKeyboardLayout);
    layouts->activate(0x04090409);
    EXPECT_EQ(layouts->active(), 0x04090409);
    EXPECT_EQ(createX11KeyboardLayouts(), nullptr);
}

TEST(CommandLine, QtsOwnOptionsDoNotActAndTheWindowStaysCentred) {
    EXPECT_EQ(QCoreApplication::arguments().size(), 1);
    EXPECT_TRUE(QGuiApplication::isLeftToRight());
    EXPECT_NE(QApplication::style()->name(), QStringLiteral("windows"));
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    TLambreyaForm form(nullptr);
    form.show();
    EXPECT_TRUE(form.isLeftToRight());
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    EXPECT_EQ(form.frameGeometry().left(), (desktop.width() - form.frameGeometry().width()) / 2);
    EXPECT_EQ(form.size(), form.minimumSize());
}

TEST(CommandLine, OnlyTheMinimisedStartIsRead) {
    const char* iconic[] = {"Kalvest", "-geometry", "10x10", "-iconic"};
    const char* plain[] = {"Kalvest", "-style", "iconic", "--iconic"};
    EXPECT_TRUE(startsIconic(4, const_cast<char**>(iconic)));
    EXPECT_FALSE(startsIconic(4, const_cast<char**>(plain)));
    EXPECT_FALSE(startsIconic(1, const_cast<char**>(plain)));
}

} // namespace
} // namespace lambreya

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Options Qt would take for itself if it were given them.
    std::vector<char*> args(argv, argv + argc);
    static char options[][24] = {"-reverse",    "-style",      "windows",        "-qwindowgeometry",
                                 "200x100+3+4", "-stylesheet", "nonexistent.qss"};
    std::ptrdiff_t at = 1;
    for (char* option : options)
        args.insert(args.begin() + at++, option);
    int count = static_cast<int>(args.size());
    lambreya::LambreyaApplication app(count, args.data());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
