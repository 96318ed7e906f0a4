#pragma once

#include "support/directory_fixture.h"
#include "support/qt_test_support.h"
#include "support/walk_actions.h"

#include "report/print_progress_window.h"
#include "report/quick_report.h"
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
    PreviewRunTest() { takeEscapedErrors(); }

    void open(int records) {
        m_table.openDirectory(numberedDirectory(records));
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
    // Runs the preview; `whenBuilt` acts once the run has ended, in the window that stays
    // open; returns when the window has closed.
    void preview(std::function<void(ReportPreviewWindow&)> whenBuilt) {
        whenRunEnds(m_preview, std::move(whenBuilt));
        m_preview.preview();
        untilPreviewCloses(m_preview);
    }
    // The errors that reached the standard error box since the test began.
    std::vector<std::string> errors() { return takeEscapedErrors(); }
    static void close(ReportPreviewWindow& window) { window.ExitButton->click(); }

    RecordSet m_table{"Table1"};
    QuickReport m_quick{m_table};
    ReportPreview m_preview{m_quick};
    int m_windows = 0;
    bool m_openedAtOnce = false;
};

} // namespace lambreya::test
