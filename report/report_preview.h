#pragma once

#include "report/page_sink.h"
#include "report/stepped_run.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

namespace lambreya {

class PrintProgressWindow;
class QuickReport;
class ReportPreviewWindow;

// The report's runs into a preview window and onto the printer, with the guards that keep
// them one at a time: while a run is in progress neither a preview nor a print starts,
// and while a preview window is open no second one opens.
//
// Runs are worked off from the one event loop a slice at a time (SteppedRun), so the main
// window stays usable: whatever the user does meanwhile (searching, editing, closing
// windows, ending the program) takes effect at once. A run walks the view on its own and
// never moves the record the user is working on.
class ReportPreview : public QObject, private RunObserver {
    Q_OBJECT

public:
    explicit ReportPreview(QuickReport& report, QObject* parent = nullptr);
    // A run still going is dropped, and the window closed.
    ~ReportPreview() override;

    // The preview operation: opens a new preview window at once, maximised, and starts the
    // run of the report into its page store; windowClosed follows when the user closes it.
    // Does nothing while a run is in progress or a preview window is open.
    void preview();

    bool running() const { return m_run != nullptr; }
    ReportPreviewWindow* window() const { return m_window; }
    // The print run's progress window while it runs.
    PrintProgressWindow* printProgress() const { return m_progress; }

    // Stops a run building the window's pages, keeping the window open (pages loaded from
    // a file take their place); a print run goes on.
    void stopBuilding();

    // How long each turn of the event loop works on a run; 0 makes one record a turn
    // (tests act between any two records so).
    void setSlice(int milliseconds) { m_sliceMs = milliseconds; }

Q_SIGNALS:
    // A preview window has been created and is about to be shown: the place to connect
    // its PrintSetup, SaveReport and LoadReport.
    void windowOpened(ReportPreviewWindow* window);
    // The preview window has closed; it is deleted once the event loop turns.
    void windowClosed();
    // Print was clicked in a window whose pages were loaded from a file.
    void loadedPagesPrintRequested(ReportPreviewWindow* window);
    // A print run has opened its progress window (tests and benchmarks watch it).
    void printRunStarted(PrintProgressWindow* progress);
    // A run has begun, has done a turn of its work, has ended (tests act on them).
    void runStarted();
    void runStepped();
    void runEnded(lambreya::RunEnd how);

private:
    enum class Kind { Preview, Print };

    void start(Kind kind, std::unique_ptr<PageWork> work);
    void onRunEnded(RunEnd how);
    void onPrintRequested();
    void printRun();
    void onWindowClosing();
    void disposeOf(QWidget* window);

    // RunObserver: what the run tells goes to the preview window or the progress window.
    void progress(int percent) override;
    void pageAvailable(int page) override;

    QuickReport& m_report;
    int m_sliceMs = SteppedRun::kSliceMs;
    ReportPreviewWindow* m_window = nullptr;
    SteppedRun* m_run = nullptr;
    Kind m_kind = Kind::Preview;
    PrintProgressWindow* m_progress = nullptr;
    QList<QPointer<QWidget>> m_closed;
};

} // namespace lambreya
