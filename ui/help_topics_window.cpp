#include "ui/help_topics_window.h"

#include "data/guarded.h"
#include "ui/help_file.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lambreya {

namespace {

constexpr int kContextRole = Qt::UserRole;

} // namespace

HelpTopicsWindow::HelpTopicsWindow(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Справка: Ламбрея"));
    resize(380, 440);

    auto* heading = new QLabel(QStringLiteral("Разделы справки"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setWordWrap(true);
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setStyleSheet(QStringLiteral("color: #800000;"));
    m_notice->hide();

    m_list = new QListWidget(this);
    m_list->setAccessibleName(QStringLiteral("Разделы справки"));
    m_list->setObjectName(QStringLiteral("topicList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    heading->setBuddy(m_list);

    m_show = new QPushButton(QStringLiteral("&Показать"), this);
    m_show->setObjectName(QStringLiteral("showButton"));
    auto* close = new QPushButton(QStringLiteral("&Закрыть"), this);
    close->setObjectName(QStringLiteral("closeButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_show);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_notice);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connectGuarded(m_list, &QListWidget::itemActivated, this, [this] { chooseCurrent(); });
    connectGuarded(m_list, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    connectGuarded(m_show, &QPushButton::clicked, this, [this] { chooseCurrent(); });
    connectGuarded(close, &QPushButton::clicked, this, &QWidget::close);
    updateButtons();
}

void HelpTopicsWindow::setTopics(const std::vector<HelpTopic>& topics) {
    const int selected = currentContext();
    m_list->clear();
    int row = 0;
    for (const auto& topic : topics) {
        auto* item = new QListWidgetItem(topic.title, m_list);
        item->setData(kContextRole, topic.context);
        if (topic.context == selected)
            row = m_list->count() - 1;
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(row);
    updateButtons();
}

void HelpTopicsWindow::setNotice(const QString& notice) {
    m_notice->setText(notice);
    m_notice->setVisible(!notice.isEmpty());
}

QString HelpTopicsWindow::notice() const {
    return m_notice->text();
}

int HelpTopicsWindow::currentContext() const {
    const auto* item = m_list->currentItem();
    return item ? item->data(kContextRole).toInt() : 0;
}

void HelpTopicsWindow::keyPressEvent(QKeyEvent* event) {
    guarded([&] {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QWidget::keyPressEvent(event);
    });
}

void HelpTopicsWindow::chooseCurrent() {
    const int context = currentContext();
    if (context != 0)
        Q_EMIT topicChosen(context);
}

void HelpTopicsWindow::updateButtons() {
    m_show->setEnabled(m_list->currentItem() != nullptr);
}

} // namespace lambreya
