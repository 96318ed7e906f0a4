#pragma once

#include "report/error_handler.h"
#include "report/runnable_report.h"

#include <QObject>

#include <memory>

class QEventLoop;

namespace lambreya {

class PrintProgressWindow;
class ReportPreviewWindow;

// The report's runs into a preview window and onto the printer, with the guards that keep
// them one at a time: while a run is in progress neither a preview nor a print starts,
// and while a preview window is open no second one opens.
//
// A run lets pending messages through as it goes, so everything the user does meanwhile
// (searching, editing, closing windows, ending the program) happens inside it; the run
// goes on over the record set as it has become and stops when told to.
class ReportPreview : public QObject {
    Q_OBJECT

public:
    ReportPreview(RunnableReport& report, ErrorHandler errors, QObject* parent = nullptr);
    ~ReportPreview() override;

    // The preview operation: opens a new preview window at once, maximised, runs the
    // report into its page store and returns when the window has closed or the program is
    // ending. Does nothing while a run is in progress or a preview window is open.
    void preview();

    bool running() const { return m_running; }
    ReportPreviewWindow* window() const { return m_window; }

    // Stops a run building the window's pages after the current record, keeping the
    // window open (pages loaded from a file take their place).
    void stopBuilding();

    // During a run, pending messages are let through after a record once this long has
    // passed since they last were, and as soon as the first page is built; zero lets them
    // through after every record. Each time the window and the grid may repaint, which
    // costs far more than a record, while a slice of a few milliseconds is more than any
    // user can notice: a close, a Cancel or a key still takes effect at once.
    static constexpr int kMessageSliceMs = 4;
    void setMessageSlice(int milliseconds) { m_sliceMs = milliseconds; }

Q_SIGNALS:
    // A preview window has been created and is about to be shown: the place to connect
    // its PrintSetup, SaveReport and LoadReport.
    void windowOpened(ReportPreviewWindow* window);
    // Print was clicked in a window whose pages were loaded from a file.
    void loadedPagesPrintRequested(ReportPreviewWindow* window);
    // A print run has opened its progress window (tests and benchmarks watch it).
    void printRunStarted(PrintProgressWindow* progress);

private:
    class Observer;
    friend class Observer;

    void runIntoWindow();
    void onPrintRequested();
    void printRun();
    void onWindowClosing();
    // Whether the program is ending: the loop that waits for the window was told to exit.
    bool programEnding() const;

    RunnableReport& m_report;
    ErrorHandler m_errors;
    int m_sliceMs = kMessageSliceMs;

    bool m_running = false;
    // How the current run is to stop (No while it goes on).
    RunObserver::Stop m_stop = RunObserver::Stop::No;
    ReportPreviewWindow* m_window = nullptr;
    QEventLoop* m_wait = nullptr;
};

} // namespace lambreya
