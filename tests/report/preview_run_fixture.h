#pragma once

#include "support/directory_fixture.h"
#include "support/walk_actions.h"

#include "report/print_progress_window.h"
#include "report/quick_report_runs.h"
#include "report/report_preview.h"
#include "report/report_preview_window.h"

#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace lambreya::test {

// The report over a record set of its own, run into preview windows as the user runs it.
class PreviewRunTest : public ::testing::Test {
protected:
    // After every record the run lets messages through, so that an action lands on the
    // record it was meant for.
    void open(int records) {
        m_table.openDirectory(numberedDirectory(records));
        m_preview.setMessageSlice(0);
        connect();
    }
    void connect() {
        QObject::connect(&m_preview, &ReportPreview::windowOpened, &m_preview,
                         [this](ReportPreviewWindow* window) {
                             ++m_windows;
                             // Before any page exists: the window is open and maximised.
                             QTimer::singleShot(0, window, [this, window] {
                                 m_openedAtOnce = window->isVisible() && window->isMaximized() &&
                                                  window->pageStore().pageCount() == 0;
                             });
                         });
    }
    // Runs the preview; `whenBuilt` acts once the run has ended, in the waiting window.
    void preview(std::function<void(ReportPreviewWindow&)> action) {
        QTimer poll;
        whenBuilt(poll, m_preview, std::move(action));
        m_preview.preview();
    }
    static void close(ReportPreviewWindow& window) { window.ExitButton->click(); }

    RecordSet m_table{"Table1"};
    QuickReport m_quick{m_table};
    QuickReportRuns m_report{m_quick};
    std::vector<QString> m_errors;
    ReportPreview m_preview{m_report, [this](const QString& m) { m_errors.push_back(m); }};
    int m_windows = 0;
    bool m_openedAtOnce = false;
};

} // namespace lambreya::test
