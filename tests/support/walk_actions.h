#pragma once

#include "report/report_preview.h"
#include "report/report_preview_window.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>

namespace lambreya::test {

// Acts as the user would while the report's runs go on: the action for row `row` of run
// number `walk` (from 1, preview and print runs alike) happens once that run has placed the
// record of that row and before it places the next. The preview works one record a turn
// (setSlice(0)), so that every action lands between the two records it is meant for.
class WalkActions : public QObject {
public:
    explicit WalkActions(ReportPreview& preview) {
        preview.setSlice(0);
        connect(&preview, &ReportPreview::runStarted, this, [this] {
            ++m_walks;
            m_placed = 0;
        });
        connect(&preview, &ReportPreview::runStepped, this, [this] {
            const auto it = m_actions.find({m_walks, m_placed++});
            if (it == m_actions.end())
                return;
            const std::function<void()> action = std::move(it->second);
            m_actions.erase(it);
            action();
        });
    }

    void at(int walk, int row, std::function<void()> action) {
        m_actions[{walk, row}] = std::move(action);
    }
    int walks() const { return m_walks; }

private:
    std::map<std::pair<int, int>, std::function<void()>> m_actions;
    int m_walks = 0;
    int m_placed = 0;
};

// Acts once the next run of the preview has ended, in the window that stays open then, when
// the handler that ended the run has returned.
inline void whenRunEnds(ReportPreview& preview, std::function<void(ReportPreviewWindow&)> action) {
    QObject::connect(
        &preview, &ReportPreview::runEnded, &preview,
        [&preview, action] {
            QTimer::singleShot(0, &preview, [&preview, action] {
                if (ReportPreviewWindow* window = preview.window())
                    action(*window);
            });
        },
        Qt::SingleShotConnection);
}

// Handles events until the preview window has closed and its run has ended (a document
// that was ending when the window closed is completed), as the user's session goes on.
inline void untilPreviewCloses(ReportPreview& preview) {
    const auto done = [&preview] { return !preview.window() && !preview.running(); };
    if (done())
        return;
    QEventLoop loop;
    const auto quitWhenDone = [&] {
        if (done())
            loop.quit();
    };
    QObject::connect(&preview, &ReportPreview::windowClosed, &loop, quitWhenDone);
    QObject::connect(&preview, &ReportPreview::runEnded, &loop, quitWhenDone);
    loop.exec();
}

} // namespace lambreya::test
