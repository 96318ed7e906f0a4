#pragma once

#include "data/record_set.h"
#include "report/page_drawing.h"
#include "report/runnable_report.h"

#include <string>

namespace lambreya::test {

// A report for the preview and printing alone: it walks a record set as a run does, 38
// records to a page, each page showing "Лист n" and the surnames on it, and stops as the
// observer says.
class WalkingReport : public RunnableReport {
public:
    static constexpr int kLinesPerPage = 38;

    explicit WalkingReport(RecordSet& table)
        : m_table(table) {}

    PrintSettings settings;

    DocumentInfo documentInfo() const override {
        return {QStringLiteral("Ламбрея: печать результатов поиска"),
                settings.paper(),
                {ReportFont{QStringLiteral("Liberation Serif"), 10}}};
    }
    PrintSettings& printSettings() override { return settings; }

    void compose(PageSink& sink, RunObserver& observer) override {
        sink.beginDocument(documentInfo());
        m_page = 0;
        m_lines = 0;
        try {
            if (m_table.active())
                m_table.first();
            const int count = m_table.active() ? m_table.recordCount() : 0;
            int done = 0;
            while (m_table.active() && !m_table.eof()) {
                if (m_page == 0 || m_lines == kLinesPerPage) {
                    finishPage(sink, observer);
                    startPage();
                }
                m_builder.text(0, 1000, 4500 + 610 * m_lines++, std::string(m_table.fieldText(0)));
                observer.progress(++done * 100 / count);
                const RunObserver::Stop stop = observer.afterRecord();
                if (stop == RunObserver::Stop::Abandon) {
                    sink.abortDocument();
                    return;
                }
                if (stop == RunObserver::Stop::Finish)
                    break;
                m_table.next();
            }
            if (m_page == 0)
                startPage();
            finishPage(sink, observer);
            sink.endDocument();
        } catch (...) {
            sink.abortDocument();
            throw;
        }
    }

private:
    void startPage() {
        m_builder.begin(settings.paper());
        m_builder.text(0, 1000, 2000, "\xcb\xe8\xf1\xf2 " + std::to_string(++m_page));
        m_lines = 0;
    }
    void finishPage(PageSink& sink, RunObserver& observer) {
        if (m_page == 0)
            return;
        sink.addPage(m_builder.take());
        observer.pageAvailable(m_page);
    }

    RecordSet& m_table;
    PageDrawingBuilder m_builder;
    int m_page = 0;
    int m_lines = 0;
};

} // namespace lambreya::test
