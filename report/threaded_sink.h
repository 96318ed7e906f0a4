#pragma once

#include "report/page_sink.h"

#include <QObject>

#include <cstddef>
#include <memory>

namespace lambreya {

// Does the work of another sink (a PDF file, a print job) on a thread of its own, so that
// painting the pages, embedding the fonts at the end, syncing the file and handing the job
// to the print system never hold the event loop. Pages are handed over as they come; while
// a few are still waiting to be painted, hasRoom() says so, and a page given then waits for
// the one before it: memory stays flat, and a caller that asks first never waits. An error on the
// thread reaches the caller from its next call, or through endDocument or endDocumentLater's
// `ended`.
//
// Once its end is asked for, a document is completed: abortDocument, or the destruction of
// the sink, then waits for it instead of dropping it, so that pages the user let go to the
// printer or into a file are not lost when the window that asked for them closes.
class ThreadedSink final : public PageSink {
public:
    // At most this many pages wait to be painted.
    static constexpr std::size_t kWaitingPages = 8;

    explicit ThreadedSink(std::unique_ptr<PageSink> inner);
    ~ThreadedSink() override;
    ThreadedSink(const ThreadedSink&) = delete;
    ThreadedSink& operator=(const ThreadedSink&) = delete;

    // Waits for the document to begin on the thread; its error is thrown here.
    void beginDocument(const DocumentInfo& document) override;
    void addPage(PageDrawing page) override;
    // Waits for the document to end (the command line, tests).
    void endDocument() override;
    // `ended` is called from the event loop of the thread that called this, once the
    // document has ended; not at all when it was aborted or the sink destroyed meanwhile.
    void endDocumentLater(Ended ended) override;
    void abortDocument() override;
    // Fewer than kWaitingPages pages wait.
    bool hasRoom() const override;

private:
    class Worker;

    void checkBegun() const;

    std::unique_ptr<PageSink> m_inner; // used by the worker's thread alone while it runs
    std::unique_ptr<Worker> m_worker;
    QObject m_home; // what a later `ended` is delivered through
    unsigned m_document = 0;
};

} // namespace lambreya
