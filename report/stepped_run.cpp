#include "report/stepped_run.h"

#include "data/guarded.h"

namespace lambreya {

SteppedRun::SteppedRun(std::unique_ptr<PageWork> work, QObject* parent)
    : QObject(parent)
    , m_work(std::move(work)) {
    m_timer.setInterval(0);
    connectGuarded(&m_timer, &QTimer::timeout, this, &SteppedRun::turn);
}

SteppedRun::~SteppedRun() {
    if (m_running) {
        m_timer.stop();
        m_running = false;
        // A document that is ending is not dropped: its sink completes it.
        m_work->abandon();
    }
}

void SteppedRun::start() {
    if (m_running)
        return;
    m_running = true;
    try {
        m_work->begin();
    } catch (...) {
        end(RunEnd::Failed);
        throw;
    }
    m_timer.start();
}

void SteppedRun::turn() {
    if (!m_running || m_finishing)
        return;
    bool more = true;
    bool stepped = false;
    try {
        m_clock.start();
        while (m_work->ready()) {
            more = m_work->step();
            stepped = true;
            if (!more || m_sliceMs == 0 || m_clock.hasExpired(m_sliceMs))
                break;
        }
    } catch (...) {
        end(RunEnd::Failed);
        throw;
    }
    if (!more) {
        end(RunEnd::Completed);
        return;
    }
    // While the sink is busy with the pages it has, the loop is left free until the next
    // look a millisecond later.
    if (const int interval = stepped ? 0 : kWaitMs; m_timer.interval() != interval)
        m_timer.setInterval(interval);
    if (stepped)
        Q_EMIT this->stepped();
}

void SteppedRun::stop(RunEnd reason) {
    if (m_running && !m_finishing)
        end(reason);
}

void SteppedRun::end(RunEnd how) {
    m_timer.stop();
    if (how != RunEnd::Completed && how != RunEnd::Cancelled) {
        m_running = false;
        m_work->abandon();
        Q_EMIT ended(how);
        return;
    }
    m_finishing = true;
    try {
        m_work->finishLater(
            [this, how](std::exception_ptr error) { finished(how, std::move(error)); });
    } catch (...) {
        // Either finished() has told of the failure already and rethrown it, or the
        // document had not begun to end.
        if (!m_finishing)
            throw;
        finished(RunEnd::Failed, std::current_exception());
    }
}

void SteppedRun::finished(RunEnd how, const std::exception_ptr& error) {
    m_finishing = false;
    m_running = false;
    if (!error) {
        Q_EMIT ended(how);
        return;
    }
    m_work->abandon();
    Q_EMIT ended(RunEnd::Failed);
    std::rethrow_exception(error);
}

} // namespace lambreya
