#pragma once

#include "report/page_sink.h"

namespace lambreya {

// Work on one document that the event loop can do a small piece at a time: a report run
// composing pages into a sink, or pages already built going into a file or onto a printer.
class PageWork {
public:
    virtual ~PageWork() = default;
    // Begins the document.
    virtual void begin() = 0;
    // One small piece of the work, at most one page handed to the sink; false once nothing
    // is left.
    virtual bool step() = 0;
    // Whether a step now would not wait for the sink to take a page.
    virtual bool ready() const = 0;
    // Ends the document with what was done so far.
    virtual void finish() = 0;
    // The same without holding the caller while the document ends: `finished` is called
    // once it has, as PageSink::endDocumentLater calls its `ended`.
    virtual void finishLater(PageSink::Ended finished) = 0;
    // Drops the document; nothing of it is left behind.
    virtual void abandon() noexcept = 0;
};

// Does the whole work at once (the command line, tests); on an error the document is
// dropped and the error rethrown.
inline void workToEnd(PageWork& work) {
    try {
        work.begin();
        while (work.step()) {
        }
        work.finish();
    } catch (...) {
        work.abandon();
        throw;
    }
}

} // namespace lambreya
