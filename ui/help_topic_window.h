#pragma once

#include <QWidget>

#include <memory>
#include <vector>

class QPushButton;
class QTextBrowser;
class QUrl;

namespace lambreya {

class HelpFile;
struct HelpTopic;

// The window that shows one topic's page. Links lead to other topics of the same file;
// "Назад" returns along the topics shown, "Разделы" asks for the Help Topics window.
// An ordinary top-level window: it is not modal and closing it never ends the program.
class HelpTopicWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpTopicWindow(QWidget* parent = nullptr);
    ~HelpTopicWindow() override;

    // The file whose topics the window shows. Topics of the way back that the new file
    // lacks are dropped from it.
    void setHelpFile(std::shared_ptr<const HelpFile> file);

    // Shows the topic with that context number; false, changing nothing, when the file
    // has no such topic.
    bool showTopic(int context);

    // Context number of the topic shown, or 0.
    int currentContext() const { return m_current; }

    QTextBrowser* page() const { return m_page; }

Q_SIGNALS:
    void topicsRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void display(const HelpTopic& topic);
    void followLink(const QUrl& url);
    void goBack();

    std::shared_ptr<const HelpFile> m_file;
    std::vector<int> m_history; // topics shown before the current one, oldest first
    int m_current = 0;
    QTextBrowser* m_page = nullptr;
    QPushButton* m_back = nullptr;
};

} // namespace lambreya
