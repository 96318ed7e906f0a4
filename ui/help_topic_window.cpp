#include "ui/help_topic_window.h"

#include "data/guarded.h"
#include "ui/help_file.h"
#include "ui/help_html.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace lambreya {

namespace {

constexpr std::size_t kMaxHistory = 100;

} // namespace

HelpTopicWindow::HelpTopicWindow(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Справка: Ламбрея"));
    resize(600, 500);

    auto* topics = new QPushButton(QStringLiteral("&Разделы"), this);
    topics->setObjectName(QStringLiteral("topicsButton"));
    m_back = new QPushButton(QStringLiteral("&Назад"), this);
    m_back->setObjectName(QStringLiteral("backButton"));
    auto* close = new QPushButton(QStringLiteral("&Закрыть"), this);
    close->setObjectName(QStringLiteral("closeButton"));

    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("page"));
    m_page->setOpenLinks(false);
    m_page->setOpenExternalLinks(false);
    m_page->document()->setDocumentMargin(10);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(topics);
    buttons->addWidget(m_back);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_page, 1);

    connectGuarded(topics, &QPushButton::clicked, this, &HelpTopicWindow::topicsRequested);
    connectGuarded(m_back, &QPushButton::clicked, this, [this] { goBack(); });
    connectGuarded(close, &QPushButton::clicked, this, &QWidget::close);
    connectGuarded(m_page, &QTextBrowser::anchorClicked, this,
                   [this](const QUrl& url) { followLink(url); });
    m_back->setEnabled(false);
    m_page->setFocus(); // so that the paging keys act on the page at once
}

HelpTopicWindow::~HelpTopicWindow() = default;

void HelpTopicWindow::setHelpFile(std::shared_ptr<const HelpFile> file) {
    m_file = std::move(file);
    std::erase_if(m_history, [this](int context) { return !m_file || !m_file->topic(context); });
    m_back->setEnabled(!m_history.empty());
}

bool HelpTopicWindow::showTopic(int context) {
    const HelpTopic* topic = m_file ? m_file->topic(context) : nullptr;
    if (!topic)
        return false;
    if (m_current != 0 && m_current != context) {
        m_history.push_back(m_current);
        if (m_history.size() > kMaxHistory)
            m_history.erase(m_history.begin());
    }
    display(*topic);
    return true;
}

void HelpTopicWindow::keyPressEvent(QKeyEvent* event) {
    guarded([&] {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QWidget::keyPressEvent(event);
    });
}

void HelpTopicWindow::display(const HelpTopic& topic) {
    m_current = topic.context;
    setWindowTitle(QStringLiteral("Справка: Ламбрея — %1").arg(topic.title));
    m_page->setHtml(helpTopicHtml(topic));
    m_back->setEnabled(!m_history.empty());
}

void HelpTopicWindow::followLink(const QUrl& url) {
    if (const auto context = helpTopicContext(url))
        showTopic(*context);
}

void HelpTopicWindow::goBack() {
    while (!m_history.empty()) {
        const int context = m_history.back();
        m_history.pop_back();
        if (const HelpTopic* topic = m_file ? m_file->topic(context) : nullptr) {
            display(*topic);
            return;
        }
    }
    m_back->setEnabled(false);
}

} // namespace lambreya
