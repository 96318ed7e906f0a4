#pragma once

#include "report/page_sink.h"
#include "report/report_definition.h"
#include "report/report_label.h"
#include "report/text_measure.h"

#include <QDateTime>

#include <functional>
#include <string_view>
#include <vector>

namespace lambreya {

class RecordSet;

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

// Composes the report over the view of `table` into `sink`, page by page: the page header
// on every page, one detail line per record while it fits above the page footer, progress
// and the observer's word after every record, a page reported after it is finished. An
// empty view or a closed set gives one page with the header alone. The sink's document is
// begun here; it is ended, or aborted when the observer abandons the run or on an error,
// which is rethrown.
void composeReport(RecordSet& table, const Composition& composition, PageSink& sink,
                   RunObserver& observer);

} // namespace lambreya
