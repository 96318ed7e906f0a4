#pragma once

#include "data/record_set.h"
#include "data/record_set_listener.h"
#include "report/report_preview.h"
#include "report/report_preview_window.h"

#include <QTimer>

#include <functional>
#include <map>

namespace lambreya::test {

// Acts as the user would while a run walks a record set: when the walk reaches a row,
// the action for it is queued and happens when the run next lets messages through. Walks
// are counted by the moves to the first record (a run's start, or a search meanwhile).
class WalkActions : public RecordSetListener {
public:
    explicit WalkActions(RecordSet& table)
        : m_table(table) {
        m_table.addListener(this);
    }
    ~WalkActions() override { m_table.removeListener(this); }

    // On walk number `walk` (from 1), when it reaches row `row`.
    void at(int walk, int row, std::function<void()> action) {
        m_actions[{walk, row}] = std::move(action);
    }
    int walks() const { return m_walks; }

    void currentMoved(int, int newRow, MoveKind kind) override {
        if (kind == MoveKind::First)
            ++m_walks;
        const auto it = m_actions.find({m_walks, newRow});
        if (it == m_actions.end())
            return;
        QTimer::singleShot(0, std::move(it->second));
        m_actions.erase(it);
    }

private:
    RecordSet& m_table;
    std::map<std::pair<int, int>, std::function<void()>> m_actions;
    int m_walks = 0;
};

// Acts once the preview's run has ended, in the window that then waits: `poll` looks at
// every turn of the event loop until then.
inline void whenBuilt(QTimer& poll, ReportPreview& preview,
                      std::function<void(ReportPreviewWindow&)> action) {
    QObject::connect(&poll, &QTimer::timeout, &poll, [&poll, &preview, action] {
        ReportPreviewWindow* window = preview.window();
        if (window && !preview.running()) {
            poll.stop();
            action(*window);
        }
    });
    poll.start(0);
}

} // namespace lambreya::test
