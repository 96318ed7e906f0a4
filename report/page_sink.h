#pragma once

#include "report/page_drawing.h"
#include "report/report_font.h"

#include <QString>

namespace lambreya {

// What a document is about: its name (the report title) and the sheets and fonts its
// page drawings use.
struct DocumentInfo {
    QString title;
    PaperSize paper = kA4Portrait;
    ReportFonts fonts;
};

// Where a run's pages go: the preview's page store, a printer, a PDF. A run calls
// beginDocument once, then addPage for every finished page in order (page 1 first), then
// endDocument when it completes or was stopped with its pages kept, or abortDocument when
// it was abandoned or failed. Errors are thrown.
class PageSink {
public:
    virtual ~PageSink() = default;
    virtual void beginDocument(const DocumentInfo& document) = 0;
    virtual void addPage(PageDrawing page) = 0;
    virtual void endDocument() = 0;
    virtual void abortDocument() = 0;
};

// What a run tells and asks while it composes.
class RunObserver {
public:
    enum class Stop {
        No,      // go on
        Finish,  // stop here: the current page is finished with its footer, the document ended
        Abandon, // stop here: the document is abandoned
    };

    virtual ~RunObserver() = default;
    // After every record: records done × 100 / records in the set.
    virtual void progress(int percent) { (void)percent; }
    // After every finished page, numbered from 1.
    virtual void pageAvailable(int page) { (void)page; }
    // After every record, once progress has been told: the place to let pending messages
    // through and look at the cancel flag.
    virtual Stop afterRecord() { return Stop::No; }
};

} // namespace lambreya
