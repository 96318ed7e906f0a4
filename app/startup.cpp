#include "app/startup.h"

#include "app/closing.h"
#include "app/error_box.h"
#include "app/keyboard_layout.h"
#include "app/lambreya_application.h"
#include "app/shell_form.h"
#include "app/termination.h"
#include "app/translations.h"
#include "data/file_size_limit.h"
#include "data/guarded.h"
#include "report/preview_page_commands.h"
#include "report/report_preview.h"
#include "report/search_res_form.h"
#include "ui/help_viewer.h"
#include "ui/window_icon.h"

namespace lambreya {

Program::Program(QString programFile)
    : m_previousErrorHandler(setEscapedErrorHandler(&showCurrentException))
    , m_programFile(std::move(programFile))
    , m_help(std::make_unique<HelpViewer>())
    , m_keyboard(createKeyboardLayouts()) {}

Program::~Program() {
    if (m_form)
        finish();
    setEscapedErrorHandler(m_previousErrorHandler);
}

void Program::start(bool minimised) {
    m_form = std::make_unique<ShellForm>(m_programFile, m_help.get(), *m_keyboard);
    try {
        m_form->FormCreate();
    } catch (...) {
        showCurrentException();
    }
    m_searchResForm = std::make_unique<TSearchResForm>(m_form->Table1);
    m_form->SearchResForm = m_searchResForm.get();
    m_reportPreview = std::make_unique<ReportPreview>(m_searchResForm->QuickRep1);
    // Owned by the preview: the print dialog, saving and loading pages in its windows.
    new PreviewPageCommands(*m_reportPreview, m_searchResForm->QuickRep1.PrinterSettings);
    m_form->QuickRep1Preview = m_reportPreview.get();
    endLoopOnTermination(m_form.get());
    if (minimised)
        m_form->showMinimized();
    else
        m_form->show();
}

int Program::run() {
    return QApplication::exec();
}

void Program::finish() {
    m_form->QuickRep1Preview = nullptr;
    m_form->SearchResForm = nullptr;
    m_reportPreview.reset();
    m_searchResForm.reset();
    try {
        closeDirectory(m_form->Table1);
    } catch (...) {
        showCurrentException();
    }
    m_form.reset();
    m_help->quit();
}

int runProgram(int& argc, char** argv) {
    // The settings and the directory are written at the end; a file size limit makes
    // those writes fail and be reported instead of ending the program.
    failWritesPastTheFileSizeLimit();
    // A maximised start does not apply: the window has a fixed size and no maximise button.
    const bool minimised = startsIconic(argc, argv);
    LambreyaApplication app(argc, argv);
    QCoreApplication::setApplicationName(kApplicationTitle.toString());
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.lambreya.Lambreya"));
    QApplication::setWindowIcon(lambreyaIcon());
    loadRussianTranslations();
    Program program(QCoreApplication::applicationFilePath());
    program.start(minimised);
    const int status = program.run();
    program.finish();
    return status;
}

} // namespace lambreya
