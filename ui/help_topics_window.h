#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace lambreya {

struct HelpTopic;

// The Help Topics window: the list of the help file's topics, in file order, with a line
// for a notice above it (a missing or damaged file, a topic number the file lacks).
// An ordinary top-level window: it is not modal and closing it never ends the program.
class HelpTopicsWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpTopicsWindow(QWidget* parent = nullptr);

    // Fills the list. The topic selected before stays selected when the new list has it;
    // otherwise the first topic is selected.
    void setTopics(const std::vector<HelpTopic>& topics);

    // Shows the notice above the list; an empty text hides the line.
    void setNotice(const QString& notice);
    QString notice() const;

    // Context number of the selected topic, or 0.
    int currentContext() const;

Q_SIGNALS:
    // The user opened a topic: double click, Enter or the "Показать" button.
    void topicChosen(int context);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void chooseCurrent();
    void updateButtons();

    QLabel* m_notice = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_show = nullptr;
};

} // namespace lambreya
