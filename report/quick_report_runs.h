#pragma once

#include "report/quick_report.h"
#include "report/runnable_report.h"

namespace lambreya {

// QuickRep1 as the preview and printing run it.
class QuickReportRuns final : public RunnableReport {
public:
    explicit QuickReportRuns(QuickReport& report)
        : m_report(report) {}

    DocumentInfo documentInfo() const override { return m_report.documentInfo(); }
    PrintSettings& printSettings() override { return m_report.PrinterSettings; }
    void compose(PageSink& sink, RunObserver& observer) override {
        m_report.compose(sink, observer);
    }

private:
    QuickReport& m_report;
};

} // namespace lambreya
