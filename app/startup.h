#pragma once

#include "data/guarded.h"

#include <QString>

#include <memory>

namespace lambreya {

class HelpViewer;
class KeyboardLayouts;
class ShellForm;
class ReportPreview;
class TSearchResForm;

// One run of the program inside an existing application object: the main window with
// its settings and directory, the message loop, and the ending that closes the directory
// (writing it when it changed) and releases the help viewer. While it lives, what escapes
// a handler is shown in the standard error box.
class Program {
public:
    // `programFile` is the program's own file, beside which the settings lie.
    explicit Program(QString programFile);
    ~Program();

    // Creates the main window and runs its create handler; an error there is shown in the
    // standard error box before the window appears. Then creates the report form over the
    // window's Table1 and shows the window.
    void start(bool minimised = false);
    // Runs the message loop until the program is to end.
    int run();
    // Destroys the report form, then the window, which closes the directory, then tells
    // the help viewer that help is no longer needed.
    void finish();

    ShellForm& form() const { return *m_form; }
    TSearchResForm* searchResForm() const { return m_searchResForm.get(); }
    HelpViewer& helpViewer() const { return *m_help; }
    KeyboardLayouts& keyboard() const { return *m_keyboard; }

private:
    EscapedErrorHandler m_previousErrorHandler;
    QString m_programFile;
    std::unique_ptr<HelpViewer> m_help;
    std::unique_ptr<KeyboardLayouts> m_keyboard;
    std::unique_ptr<ShellForm> m_form;
    std::unique_ptr<TSearchResForm> m_searchResForm;
    std::unique_ptr<ReportPreview> m_reportPreview;
};

// The program from start to end; returns the exit status.
int runProgram(int& argc, char** argv);

} // namespace lambreya
