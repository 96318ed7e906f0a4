#include "ui/help_html.h"
#include "ui/help_topic_window.h"
#include "ui/help_topics_window.h"
#include "ui/help_viewer.h"

#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <functional>

namespace lambreya {
namespace {

const QString kName = QStringLiteral("Kalvest.hlp");

const char* const kHelp = "LAMBREYA-HELP 1\n"
                          "@topic 10 Назначение\n"
                          "Телефонный справочник. См. {link:2:редактирование}.\n"
                          "@end\n"
                          "@topic 1 Режим просмотра\n"
                          "Поиск и просмотр.\n"
                          "@end\n"
                          "@topic 2 Режим редактирования\n"
                          "Изменение записей; назад к {link:10:назначению}.\n"
                          "@end\n";

int visibleHelpWindows() {
    int count = 0;
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() &&
            (qobject_cast<HelpTopicsWindow*>(widget) || qobject_cast<HelpTopicWindow*>(widget)))
            ++count;
    }
    return count;
}

class HelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_viewer.setHelpFolder(m_dir.path());
    }

    void write(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QListWidget* list() const {
        return m_viewer.topicsWindow()->findChild<QListWidget*>(QStringLiteral("topicList"));
    }

    QLabel* notice() const {
        return m_viewer.topicsWindow()->findChild<QLabel*>(QStringLiteral("notice"));
    }

    QStringList titles() const {
        QStringList result;
        for (int row = 0; row < list()->count(); ++row)
            result << list()->item(row)->text();
        return result;
    }

    QTemporaryDir m_dir;
    HelpViewer m_viewer;
};

TEST_F(HelpViewerTest, ShowsTheTopicsInFileOrder) {
    write(kName, kHelp);
    m_viewer.showTopics(kName, nullptr);

    HelpTopicsWindow* window = m_viewer.topicsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Справка: Ламбрея"));
    EXPECT_EQ(titles(),
              (QStringList{QStringLiteral("Назначение"), QStringLiteral("Режим просмотра"),
                           QStringLiteral("Режим редактирования")}));
    EXPECT_TRUE(notice()->isHidden());
    EXPECT_EQ(m_viewer.topicWindow(), nullptr);
}

TEST_F(HelpViewerTest, RepeatedRequestsReuseTheOneTopicsWindow) {
    write(kName, kHelp);
    m_viewer.showTopics(kName, nullptr);
    HelpTopicsWindow* first = m_viewer.topicsWindow();
    first->close();
    m_viewer.showTopics(kName, nullptr);
    m_viewer.showTopics(kName, nullptr);

    EXPECT_EQ(m_viewer.topicsWindow(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(visibleHelpWindows(), 1);
    EXPECT_EQ(list()->count(), 3);
}

TEST_F(HelpViewerTest, OpensATopicByItsContextNumber) {
    write(kName, kHelp);
    m_viewer.showContext(kName, 2, nullptr);

    HelpTopicWindow* window = m_viewer.topicWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentContext(), 2);
    EXPECT_TRUE(window->page()->toPlainText().startsWith(QStringLiteral("Режим редактирования")));
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("Режим редактирования")));
    EXPECT_TRUE(m_viewer.topicsWindow() == nullptr || !m_viewer.topicsWindow()->isVisible());
}

TEST_F(HelpViewerTest, UnknownContextFallsBackToTheTopicsWithANotice) {
    write(kName, kHelp);
    m_viewer.showContext(kName, 7, nullptr);

    ASSERT_NE(m_viewer.topicsWindow(), nullptr);
    EXPECT_TRUE(m_viewer.topicsWindow()->isVisible());
    EXPECT_EQ(list()->count(), 3);
    EXPECT_EQ(notice()->text(), QStringLiteral("В файле справки Kalvest.hlp нет раздела с "
                                               "номером 7. Выберите раздел из списка."));
    EXPECT_FALSE(notice()->isHidden());
    EXPECT_TRUE(m_viewer.topicWindow() == nullptr || !m_viewer.topicWindow()->isVisible());

    // Context 0 asks for no topic in particular: the list comes without a notice.
    m_viewer.showContext(kName, 0, nullptr);
    EXPECT_TRUE(m_viewer.topicsWindow()->isVisible());
    EXPECT_TRUE(notice()->isHidden());
}

TEST_F(HelpViewerTest, MissingFileGivesAnEmptyListWithANotice) {
    m_viewer.showTopics(kName, nullptr);
    EXPECT_TRUE(m_viewer.topicsWindow()->isVisible());
    EXPECT_EQ(list()->count(), 0);
    EXPECT_EQ(notice()->text(), QStringLiteral("Файл справки Kalvest.hlp не найден."));

    m_viewer.showContext(kName, 1, nullptr);
    EXPECT_EQ(notice()->text(), QStringLiteral("Файл справки Kalvest.hlp не найден."));
    EXPECT_TRUE(m_viewer.topicWindow() == nullptr || !m_viewer.topicWindow()->isVisible());

    // The file is read anew on each request, so one put in place later is found.
    write(kName, kHelp);
    m_viewer.showTopics(kName, nullptr);
    EXPECT_EQ(list()->count(), 3);
    EXPECT_TRUE(notice()->isHidden());
}

TEST_F(HelpViewerTest, DamagedFileGivesAnEmptyListWithWhatIsWrong) {
    write(kName, "LAMBREYA-HELP 1\n@topic один Раздел\nТекст.\n@end\n");
    m_viewer.showContext(kName, 1, nullptr);
    EXPECT_TRUE(m_viewer.topicsWindow()->isVisible());
    EXPECT_EQ(list()->count(), 0);
    EXPECT_EQ(notice()->text(), QStringLiteral("Файл справки Kalvest.hlp повреждён: строка 2: "
                                               "номер раздела «один» не является целым числом."));
}

TEST_F(HelpViewerTest, FindsTheFileWhateverTheLetterCase) {
    write(QStringLiteral("KALVEST.HLP"), kHelp);
    m_viewer.showContext(kName, 1, nullptr);
    ASSERT_NE(m_viewer.topicWindow(), nullptr);
    EXPECT_EQ(m_viewer.topicWindow()->currentContext(), 1);
}

TEST_F(HelpViewerTest, EnterOnTheListOpensTheTopicInPlaceOfTheList) {
    write(kName, kHelp);
    m_viewer.showTopics(kName, nullptr);
    list()->setCurrentRow(1);
    QTest::keyClick(list(), Qt::Key_Return);

    ASSERT_NE(m_viewer.topicWindow(), nullptr);
    EXPECT_TRUE(m_viewer.topicWindow()->isVisible());
    EXPECT_EQ(m_viewer.topicWindow()->currentContext(), 1);
    EXPECT_FALSE(m_viewer.topicsWindow()->isVisible());
}

TEST_F(HelpViewerTest, LinksLeadToOtherTopicsAndBackReturns) {
    write(kName, kHelp);
    m_viewer.showContext(kName, 10, nullptr);
    HelpTopicWindow* window = m_viewer.topicWindow();
    auto* back = window->findChild<QPushButton*>(QStringLiteral("backButton"));
    EXPECT_FALSE(back->isEnabled());

    Q_EMIT window->page()->anchorClicked(helpTopicUrl(2));
    EXPECT_EQ(window->currentContext(), 2);
    EXPECT_TRUE(back->isEnabled());

    back->click();
    EXPECT_EQ(window->currentContext(), 10);
    EXPECT_FALSE(back->isEnabled());

    // A link elsewhere than to a topic is not followed.
    Q_EMIT window->page()->anchorClicked(QUrl(QStringLiteral("https://example.org/")));
    EXPECT_EQ(window->currentContext(), 10);

    window->findChild<QPushButton*>(QStringLiteral("topicsButton"))->click();
    ASSERT_NE(m_viewer.topicsWindow(), nullptr);
    EXPECT_TRUE(m_viewer.topicsWindow()->isVisible());
}

TEST_F(HelpViewerTest, QuitClosesEveryWindow) {
    write(kName, kHelp);
    m_viewer.showTopics(kName, nullptr);
    m_viewer.showContext(kName, 2, nullptr);
    ASSERT_EQ(visibleHelpWindows(), 2);

    m_viewer.quit();
    EXPECT_EQ(visibleHelpWindows(), 0);

    // Help can be asked for again afterwards.
    m_viewer.showTopics(kName, nullptr);
    EXPECT_EQ(visibleHelpWindows(), 1);
}

// Qt decides whether closing a window ends the program only while exec() runs, so these
// run the event loop for the action and stop it right after.
bool endsTheProgram(const std::function<void()>& action) {
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    QObject context;
    QTimer::singleShot(0, &context, action);
    QTimer::singleShot(0, &context, [] {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    return lastClosed.count() > 0;
}

TEST_F(HelpViewerTest, ClosingTheHelpWindowsNeverEndsTheProgram) {
    write(kName, kHelp);
    m_viewer.showTopics(kName, nullptr);
    m_viewer.showContext(kName, 1, nullptr);
    EXPECT_FALSE(endsTheProgram([this] {
        m_viewer.topicsWindow()->close();
        m_viewer.topicWindow()->close();
    }));
}

TEST_F(HelpViewerTest, OpenHelpWindowsDoNotKeepTheProgramRunning) {
    write(kName, kHelp);
    QWidget mainWindow;
    mainWindow.show();
    m_viewer.showTopics(kName, &mainWindow);
    m_viewer.showContext(kName, 1, &mainWindow);
    EXPECT_TRUE(endsTheProgram([&mainWindow] { mainWindow.close(); }));
}

TEST_F(HelpViewerTest, EscClosesTheHelpWindows) {
    write(kName, kHelp);
    m_viewer.showTopics(kName, nullptr);
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(m_viewer.topicsWindow()->isVisible());

    m_viewer.showContext(kName, 2, nullptr);
    QTest::keyClick(m_viewer.topicWindow()->page(), Qt::Key_Escape);
    EXPECT_FALSE(m_viewer.topicWindow()->isVisible());
}

TEST_F(HelpViewerTest, ShowsNoTooltips) {
    write(kName, kHelp);
    m_viewer.showTopics(kName, nullptr);
    list()->item(0)->setToolTip(QStringLiteral("подсказка"));
    QWidget* viewport = list()->viewport();
    const QPoint pos = list()->visualItemRect(list()->item(0)).center();
    QHelpEvent event(QEvent::ToolTip, pos, viewport->mapToGlobal(pos));
    QApplication::sendEvent(viewport, &event);
    EXPECT_TRUE(QToolTip::text().isEmpty());
    QToolTip::hideText();
}

} // namespace
} // namespace lambreya
