#pragma once

#include "report/page_sink.h"
#include "report/page_work.h"
#include "report/report_definition.h"
#include "report/report_label.h"
#include "report/text_measure.h"

#include <QDateTime>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace lambreya {

class RecordSet;
class ViewWalk;

// What one run composes from besides the record set: the definition, the measures of its
// fonts, the document, the labels and the clock of the date and time.
struct Composition {
    const ReportDefinition& definition;
    const FontMeasures& measures;
    DocumentInfo document; // the title, the sheet and the fonts
    // The label of each page header element that is one, by element, read on every page:
    // a caption written during a run shows on the pages still to come.
    std::vector<const ReportLabel*> headerLabels;
    std::function<QDateTime()> clock;
};

class PageComposer;

// One run of the report over the view of `table` into `sink`, worked off a few records at
// a time: the page header on every page, one detail line per record while it fits above
// the page footer, progress after every record and a page reported once it is finished.
// The run walks the view on its own (ViewWalk), so the current record stays where the user
// has it while the run goes on, and a search, an insertion or a deletion meanwhile neither
// skips a match nor repeats one. An empty view or a closed set gives one page with the
// header alone.
class ReportComposition final : public PageWork {
public:
    ReportComposition(RecordSet& table, Composition composition, PageSink& sink,
                      RunObserver& observer);
    // An unfinished run is abandoned.
    ~ReportComposition() override;
    ReportComposition(const ReportComposition&) = delete;
    ReportComposition& operator=(const ReportComposition&) = delete;

    // Moves the set to its first record, which ends a pending change of the current one,
    // and begins the sink's document.
    void begin() override;
    // Places the next record, finishing the page before it when it has no room left; false
    // once every record of the view has been placed.
    bool step() override;
    bool ready() const override { return m_sink.hasRoom(); }
    // Finishes the last page and ends the document: a complete run, or one stopped with its
    // pages kept. The current record then goes to the last record of the view after a
    // complete run, else to the record the run reached.
    void finish() override;
    void finishLater(PageSink::Ended finished) override;
    // Abandons the document; the current record goes to the record the run reached.
    void abandon() noexcept override;

    // Keeps the sink, made for this run alone (a printer's), as long as the run.
    void ownSink(std::unique_ptr<PageSink> sink) { m_ownedSink = std::move(sink); }

private:
    void finishPage();
    // Finishes the last page; whether the run was complete.
    bool finishLastPage();
    void reportProgress();
    void placeCurrentRecord(bool complete);

    RecordSet& m_table;
    std::unique_ptr<PageSink> m_ownedSink;
    Composition m_composition;
    PageSink& m_sink;
    RunObserver& m_observer;
    std::unique_ptr<PageComposer> m_composer;
    std::unique_ptr<ViewWalk> m_walk;
    bool m_begun = false;
};

} // namespace lambreya
