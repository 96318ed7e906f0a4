#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace lambreya {

class HelpFile;
class HelpTopicWindow;
class HelpTopicsWindow;

// The program's help viewer: shows the Help Topics window of a help file, or one topic's
// page by its context number, and closes its windows when help is no longer needed.
//
// A help file named without a folder is looked for in the help folder, by default the
// program's own folder; a file whose name differs only in letter case counts as the same
// file. The file is read anew on every request. A missing or damaged file, or a context
// number the file lacks, never raises an error: the Help Topics window shows a notice.
//
// The windows are ordinary top-level windows owned by the viewer, so the viewer must be
// destroyed while the QApplication still exists.
class HelpViewer : public QObject {
    Q_OBJECT

public:
    explicit HelpViewer(QObject* parent = nullptr);
    ~HelpViewer() override;

    // Shows, raises and activates the Help Topics window of the file.
    void showTopics(const QString& helpFileName, QWidget* owner);

    // Shows the page of the topic with that context number. When the file has no such
    // topic, the Help Topics window comes instead, with a notice for a context number
    // above 0 (0 asks for no particular topic).
    void showContext(const QString& helpFileName, int context, QWidget* owner);

    // Help is no longer needed: closes every window of the viewer.
    void quit();

    // The folder a help file named without a folder is looked for in; an empty text
    // stands for the program's folder.
    void setHelpFolder(const QString& folder) { m_folder = folder; }
    QString helpFolder() const;

    // The windows, once a request has created them; nullptr before.
    HelpTopicsWindow* topicsWindow() const { return m_topicsWindow.get(); }
    HelpTopicWindow* topicWindow() const { return m_topicWindow.get(); }

private:
    // Reads the file; on failure returns the notice to show, on success an empty text.
    QString load(const QString& helpFileName);
    void presentTopics(const QString& notice, QWidget* owner);
    bool openTopic(int context, QWidget* owner);
    HelpTopicsWindow* ensureTopicsWindow();
    HelpTopicWindow* ensureTopicWindow();

    QString m_folder;
    QString m_fileName; // the help file of the last request
    std::shared_ptr<const HelpFile> m_file;
    std::unique_ptr<HelpTopicsWindow> m_topicsWindow;
    std::unique_ptr<HelpTopicWindow> m_topicWindow;
};

} // namespace lambreya
