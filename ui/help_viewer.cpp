#include "ui/help_viewer.h"

#include "data/case_blind_file.h"
#include "data/error.h"
#include "data/guarded.h"
#include "ui/help_file.h"
#include "ui/help_topic_window.h"
#include "ui/help_topics_window.h"
#include "ui/no_tooltips.h"

#include <QCoreApplication>
#include <QDir>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace lambreya {

namespace {

// Shows the window raised and active; the first time it is placed over its owner.
void present(QWidget* window, QWidget* owner) {
    if (owner && !window->isVisible() && !window->testAttribute(Qt::WA_Moved)) {
        const QRect ownerFrame = owner->window()->frameGeometry();
        QRect frame(QPoint(), window->size());
        frame.moveCenter(ownerFrame.center());
        if (const QScreen* screen = owner->screen()) {
            const QRect room = screen->availableGeometry();
            frame.moveLeft(
                std::max(room.left(), std::min(frame.left(), room.right() - frame.width())));
            frame.moveTop(
                std::max(room.top(), std::min(frame.top(), room.bottom() - frame.height())));
        }
        window->move(frame.topLeft());
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

HelpViewer::HelpViewer(QObject* parent)
    : QObject(parent) {}

HelpViewer::~HelpViewer() = default;

QString HelpViewer::helpFolder() const {
    return m_folder.isEmpty() ? QCoreApplication::applicationDirPath() : m_folder;
}

void HelpViewer::showTopics(const QString& helpFileName, QWidget* owner) {
    presentTopics(load(helpFileName), owner);
}

void HelpViewer::showContext(const QString& helpFileName, int context, QWidget* owner) {
    QString notice = load(helpFileName);
    if (notice.isEmpty()) {
        if (m_file->topic(context)) {
            openTopic(context, owner);
            return;
        }
        if (context > 0)
            notice = QStringLiteral("В файле справки %1 нет раздела с номером %2. "
                                    "Выберите раздел из списка.")
                         .arg(helpFileName, QString::number(context));
    }
    presentTopics(notice, owner);
}

void HelpViewer::quit() {
    if (m_topicWindow)
        m_topicWindow->close();
    if (m_topicsWindow)
        m_topicsWindow->close();
    m_file.reset();
}

QString HelpViewer::load(const QString& helpFileName) {
    m_fileName = helpFileName;
    QString notice;
    m_file.reset();
    if (helpFileName.isEmpty()) {
        notice = QStringLiteral("Не задано имя файла справки.");
    } else if (const std::optional<QString> path =
                   findCaseBlind(QDir(helpFolder()).filePath(helpFileName));
               !path) {
        notice = QStringLiteral("Файл справки %1 не найден.").arg(helpFileName);
    } else {
        try {
            m_file = std::make_shared<const HelpFile>(HelpFile::load(*path));
        } catch (const Error& error) {
            notice = QString::fromStdString(shownMessage(error.what()));
        }
    }
    // The list always shows the file as last read.
    if (m_topicsWindow) {
        m_topicsWindow->setTopics(m_file ? m_file->topics() : std::vector<HelpTopic>{});
        m_topicsWindow->setNotice(notice);
    }
    return notice;
}

void HelpViewer::presentTopics(const QString& notice, QWidget* owner) {
    HelpTopicsWindow* window = ensureTopicsWindow();
    window->setTopics(m_file ? m_file->topics() : std::vector<HelpTopic>{});
    window->setNotice(notice);
    present(window, owner);
}

bool HelpViewer::openTopic(int context, QWidget* owner) {
    HelpTopicWindow* window = ensureTopicWindow();
    window->setHelpFile(m_file);
    if (!window->showTopic(context)) {
        presentTopics(QString(), owner);
        return false;
    }
    present(window, owner);
    return true;
}

HelpTopicsWindow* HelpViewer::ensureTopicsWindow() {
    if (!m_topicsWindow) {
        m_topicsWindow = std::make_unique<HelpTopicsWindow>();
        suppressToolTips(m_topicsWindow.get());
        connectGuarded(m_topicsWindow.get(), &HelpTopicsWindow::topicChosen, this,
                       [this](int context) {
                           // The list gives way to the page, as a chosen topic replaces the finder.
                           HelpTopicsWindow* list = m_topicsWindow.get();
                           if (openTopic(context, list))
                               list->hide();
                       });
    }
    return m_topicsWindow.get();
}

HelpTopicWindow* HelpViewer::ensureTopicWindow() {
    if (!m_topicWindow) {
        m_topicWindow = std::make_unique<HelpTopicWindow>();
        suppressToolTips(m_topicWindow.get());
        connectGuarded(m_topicWindow.get(), &HelpTopicWindow::topicsRequested, this,
                       [this] { showTopics(m_fileName, m_topicWindow.get()); });
    }
    return m_topicWindow.get();
}

} // namespace lambreya
