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
    if (!m_running)
        return;
    bool more = true;
    try {
        m_clock.start();
        do
            more = m_work->step();
        while (more && m_sliceMs > 0 && !m_clock.hasExpired(m_sliceMs));
        if (!more) {
            end(RunEnd::Completed);
            return;
        }
    } catch (...) {
        end(RunEnd::Failed);
        throw;
    }
    Q_EMIT stepped();
}

void SteppedRun::stop(RunEnd reason) {
    if (m_running)
        end(reason);
}

void SteppedRun::end(RunEnd how) {
    m_timer.stop();
    m_running = false;
    try {
        if (how == RunEnd::Completed || how == RunEnd::Cancelled)
            m_work->finish();
        else
            m_work->abandon();
    } catch (...) {
        m_work->abandon();
        Q_EMIT ended(RunEnd::Failed);
        throw;
    }
    Q_EMIT ended(how);
}

} // namespace lambreya
