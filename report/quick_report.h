#pragma once

#include "report/page_sink.h"
#include "report/print_settings.h"
#include "report/report_label.h"
#include "report/text_measure.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace lambreya {

class RecordSet;
class ReportComposition;

// QuickRep1: the search results report over the main window's Table1, with its labels
// and the print settings that last while the program runs.
class QuickReport {
public:
    explicit QuickReport(RecordSet& table);
    ~QuickReport();
    QuickReport(const QuickReport&) = delete;
    QuickReport& operator=(const QuickReport&) = delete;

    static inline const QString kTitle = QStringLiteral("Ламбрея: печать результатов поиска");
    const QString& title() const { return kTitle; }

    PrintSettings PrinterSettings;

    // The clock the date and time of every page are taken from; the current local time
    // unless a test sets another.
    void setClock(std::function<QDateTime()> clock);

    // The document a run makes: the report title, the sheet of the print settings'
    // orientation and the fonts its pages refer to.
    DocumentInfo documentInfo() const;

    // The text label of that name, nullptr when the report has none.
    ReportLabel* findLabel(std::string_view name);

    // A run over the view of Table1 into `sink`, to be worked off step by step.
    std::unique_ptr<ReportComposition> composition(PageSink& sink, RunObserver& observer);
    // The whole run at once: begins the document, adds every finished page and ends it; on
    // an error the document is abandoned and the error rethrown.
    void compose(PageSink& sink, RunObserver& observer);

private:
    const FontMeasures& measures();

    RecordSet& m_table;
    std::vector<ReportLabel> m_labels;
    std::function<QDateTime()> m_clock;
    std::unique_ptr<FontMeasures> m_measures;
};

} // namespace lambreya
