// What assistive technology is told while the user works in the window, on a window system
// that has a platform accessibility layer (X11 with its AT-SPI bridge), which the offscreen
// platform lacks.
#include "form_fixture.h"

#include "report/page_drawing.h"
#include "report/page_store.h"
#include "report/preview_page_area.h"
#include "report/report_preview_window.h"
#include "ui/help_topics_window.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>

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
    long eventsOf(QObject* object, QAccessible::Event type) const {
        return std::count_if(g_events.begin(), g_events.end(), [object, type](const auto& e) {
            return e.first == object && e.second == type;
        });
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

TEST_F(AccessibilityTest, TheMatchCountTheRecordReachedAndThePreviewsPageAreAnnounced) {
    ASSERT_TRUE(QAccessible::isActive())
        << "no platform accessibility on " << LAMBREYA_TEST_PLATFORM;
    openOnScreen(numberedDirectory(20));
    g_events.clear();
    type(QStringLiteral("ИВАНОВ1"));
    press(Qt::Key_Return); // the search runs as the box is left
    EXPECT_EQ(form().Label2->text(), QStringLiteral("Найдено 9 записей"));
    EXPECT_GT(eventsOf(form().Label2, QAccessible::NameChanged), 0);
    EXPECT_GT(eventsOf(form().Label2, QAccessible::Alert), 0);

    g_events.clear();
    press(Qt::Key_Down);
    EXPECT_EQ(table().currentRow(), 1);
    EXPECT_EQ(eventsOf(form().Edit2_Initsi, QAccessible::DescriptionChanged), 1);
    EXPECT_EQ(form().Edit2_Initsi->accessibleDescription(), QStringLiteral("ИВАНОВ10 10"));

    // The preview's page panel, as the pages change.
    auto window = std::make_unique<ReportPreviewWindow>(std::make_unique<PageStore>(
        DocumentInfo{QStringLiteral("Ламбрея"), kA4Portrait, {ReportFont{}}}));
    window->show();
    PageStore& store = window->pageStore();
    store.beginDocument(DocumentInfo{QStringLiteral("Ламбрея"), kA4Portrait, {ReportFont{}}});
    for (int page = 1; page <= 2; ++page) {
        PageDrawingBuilder builder;
        builder.begin(kA4Portrait);
        store.addPage(builder.take());
        window->pageBuilt(page);
    }
    g_events.clear();
    window->NextPage->click();
    EXPECT_EQ(window->pageArea()->accessibleDescription(), QStringLiteral("Лист 2 из 2"));
    EXPECT_EQ(eventsOf(window->pageArea(), QAccessible::DescriptionChanged), 1);
}

TEST_F(AccessibilityTest, EveryListAndMenuItemIsReadByItsRussianName) {
    openOnScreen(numberedDirectory(1));
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(form().mmFile);
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (int i = 0; i < menu->childCount(); ++i)
        items << menu->child(i)->text(QAccessible::Name);
    EXPECT_EQ(items.join(QLatin1Char('|')), QStringLiteral("Печать||Выход"));
    QAccessibleInterface* exit = QAccessible::queryAccessibleInterface(form().mmFile_Exit);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->role(), QAccessible::MenuItem);
    EXPECT_EQ(exit->parent()->object(), form().mmFile);
    EXPECT_EQ(exit->text(QAccessible::Accelerator), QStringLiteral("Alt+X"));

    HelpTopicsWindow topics;
    for (const QListWidget* list : topics.findChildren<QListWidget*>())
        EXPECT_FALSE(list->accessibleName().isEmpty()) << list->objectName().toStdString();
}

} // namespace
} // namespace lambreya::test
