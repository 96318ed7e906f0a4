#pragma once

#include "report/page_sink.h"
#include "report/print_settings.h"

namespace lambreya {

// What the preview and printing need of a report: the document its pages make up, its
// print settings, and one run over its records into a sink.
class RunnableReport {
public:
    virtual ~RunnableReport() = default;
    virtual DocumentInfo documentInfo() const = 0;
    virtual PrintSettings& printSettings() = 0;
    // Begins the document in the sink, adds every finished page, ends it (or aborts it
    // when the observer says Abandon); on an error aborts it and rethrows.
    virtual void compose(PageSink& sink, RunObserver& observer) = 0;
};

} // namespace lambreya
