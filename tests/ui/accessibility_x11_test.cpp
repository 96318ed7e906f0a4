// What assistive technology is told while the user works in the window, on a window system
// that has a platform accessibility layer (X11 with its AT-SPI bridge), which the offscreen
// platform lacks.
#include "form_fixture.h"

#include <QAccessible>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

namespace lambreya::test {
namespace {

std::vector<std::pair<QObject*, QAccessible::Event>> g_events;

void remember(QAccessibleEvent* event) {
    g_events.emplace_back(event->object(), event->type());
}

// The AT-SPI bridge turns active once it has reached the accessibility bus, which happens
// in the event loop; this runs the loop until then.
class Activation : public QAccessible::ActivationObserver {
public:
    explicit Activation(QEventLoop& loop)
        : m_loop(loop) {}
    void accessibilityActiveChanged(bool active) override {
        if (active)
            m_loop.quit();
    }

private:
    QEventLoop& m_loop;
};

class AccessibilityTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        if (!QAccessible::isActive()) {
            QEventLoop loop;
            Activation activation(loop);
            QAccessible::installActivationObserver(&activation);
            QTimer::singleShot(30000, &loop, &QEventLoop::quit); // a bus that never answers
            loop.exec();
            QAccessible::removeActivationObserver(&activation);
        }
        m_previous = QAccessible::installUpdateHandler(remember);
    }
    void TearDown() override {
        QAccessible::installUpdateHandler(m_previous);
        g_events.clear();
        FormTest::TearDown();
    }
    // Without a window manager the window takes the focus once it is on screen.
    void openOnScreen(Directory directory) {
        m_form = std::make_unique<TLambreyaForm>(&m_help);
        m_form->Table1.openDirectory(std::move(directory));
        m_form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
        m_form->Edit1_Famili->setFocus();
    }
    long focusEventsOf(QObject* object) const {
        return std::count_if(g_events.begin(), g_events.end(), [object](const auto& e) {
            return e.first == object && e.second == QAccessible::Focus;
        });
    }

    QAccessible::UpdateHandler m_previous = nullptr;
};

TEST_F(AccessibilityTest, TheGridAnnouncesItsCurrentCellOnlyWhileItHasTheFocus) {
    ASSERT_TRUE(QAccessible::isActive())
        << "no platform accessibility on " << LAMBREYA_TEST_PLATFORM;
    openOnScreen(numberedDirectory(20));
    ASSERT_EQ(focus(), form().Edit1_Famili);
    g_events.clear();
    // Up and Down in a search box, instant search and a search move the current record.
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    form().mmOptions_InstantSearchClick();
    type(QStringLiteral("ИВАНОВ1"));
    press(Qt::Key_Return);
    EXPECT_EQ(table().currentRow(), 0);
    EXPECT_GT(table().recordCount(), 1);
    EXPECT_EQ(focusEventsOf(&grid()), 0);

    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, QPoint(50, 30));
    ASSERT_EQ(focus(), &grid());
    g_events.clear();
    press(Qt::Key_Down);
    EXPECT_GT(focusEventsOf(&grid()), 0);
}

} // namespace
} // namespace lambreya::test
