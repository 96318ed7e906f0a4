#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "report/page_work.h"

#include <exception>
#include <memory>

namespace lambreya {

// Why a run ended.
enum class RunEnd {
    Completed,     // all the work was done
    Cancelled,     // stopped by the user with the pages done so far kept (Cancel)
    Closed,        // its window was closed: the document is dropped
    ProgramEnding, // the program ends: the document is dropped
    Replaced,      // pages loaded from a file took the place of those it was building
    Failed,        // an error ended it; the error went to the standard error box
};

// Does a piece of work from the one event loop: each turn of the loop, steps for a slice of
// a few milliseconds, so that the windows repaint and every key, click, close or signal
// between two slices takes effect at once. No nested event loop is involved: a stop acts
// when it is asked for, and ending the program while a run goes on drops its document.
class SteppedRun : public QObject {
    Q_OBJECT

public:
    // Each turn of the event loop steps for this long; a page painted costs a few
    // milliseconds at most, so no turn comes later than a frame of the screen.
    static constexpr int kSliceMs = 4;
    // How long the loop is left free while the work waits for its sink to take pages.
    static constexpr int kWaitMs = 1;

    explicit SteppedRun(std::unique_ptr<PageWork> work, QObject* parent = nullptr);
    // A run still going is dropped as at the end of the program.
    ~SteppedRun() override;

    // Begins the document now and the steps with the next turn of the event loop. An error
    // in beginning ends the run at once (ended(Failed)) and is rethrown.
    void start();
    // Ends the run now: Cancelled keeps what was done, any other reason drops it. Nothing
    // happens once it has ended, or while its document is ending: what was asked to be kept
    // is kept.
    void stop(RunEnd reason);
    // Until ended() is emitted.
    bool running() const { return m_running; }

    // Steps per turn: at most `sliceMs` milliseconds, or a single step with 0 (tests act
    // between any two steps so).
    void setSlice(int sliceMs) { m_sliceMs = sliceMs; }

Q_SIGNALS:
    // After every turn of steps, while the run goes on (tests act on it).
    void stepped();
    // The run has ended, the document finished or dropped.
    void ended(lambreya::RunEnd how);

private:
    void turn();
    void end(RunEnd how);
    void finished(RunEnd how, const std::exception_ptr& error);

    std::unique_ptr<PageWork> m_work;
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_sliceMs = kSliceMs;
    bool m_running = false;
    bool m_finishing = false; // the work's document is ending, kept
};

} // namespace lambreya
