#pragma once

#include "report/page_drawing.h"
#include "report/report_font.h"

#include <QString>

#include <exception>
#include <functional>

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
    // Told that a document has ended: with the error that kept it from ending, or null.
    using Ended = std::function<void(std::exception_ptr error)>;

    virtual ~PageSink() = default;
    virtual void beginDocument(const DocumentInfo& document) = 0;
    virtual void addPage(PageDrawing page) = 0;
    virtual void endDocument() = 0;
    virtual void abortDocument() = 0;

    // Whether a page given now is taken without waiting.
    virtual bool hasRoom() const { return true; }

    // Ends the document without holding the caller for it: `ended` is called once it has
    // ended, before this returns or later from the caller's event loop. What `ended` throws
    // goes to the caller, or to the standard error box when it is called later. This sink
    // ends at once.
    virtual void endDocumentLater(Ended ended) {
        std::exception_ptr error;
        try {
            endDocument();
        } catch (...) {
            error = std::current_exception();
        }
        ended(error);
    }
};

// What a run tells while it composes.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // After every record: the share of the view placed so far, in percent.
    virtual void progress(int percent) { (void)percent; }
    // After every finished page, numbered from 1.
    virtual void pageAvailable(int page) { (void)page; }
};

} // namespace lambreya
