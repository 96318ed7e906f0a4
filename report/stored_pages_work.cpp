#include "report/stored_pages_work.h"

#include "report/page_store.h"
#include "report/pdf_sink.h"
#include "report/printer_sink.h"
#include "report/threaded_sink.h"

#include <utility>

namespace lambreya {

StoredPagesWork::StoredPagesWork(std::shared_ptr<const std::vector<PageDrawing>> pages,
                                 DocumentInfo document, std::unique_ptr<PageSink> sink)
    : m_pages(std::move(pages))
    , m_document(std::move(document))
    , m_sink(std::move(sink)) {}

void StoredPagesWork::begin() {
    m_sink->beginDocument(m_document);
    m_begun = true;
    m_next = 0;
}

bool StoredPagesWork::step() {
    if (m_next >= m_pages->size())
        return false;
    m_sink->addPage((*m_pages)[m_next++]);
    return true;
}

void StoredPagesWork::finish() {
    m_begun = false;
    m_sink->endDocument();
}

void StoredPagesWork::finishLater(PageSink::Ended finished) {
    m_sink->endDocumentLater([this, finished = std::move(finished)](std::exception_ptr error) {
        m_begun = false;
        finished(error);
    });
}

void StoredPagesWork::abandon() noexcept {
    if (!std::exchange(m_begun, false))
        return;
    try {
        m_sink->abortDocument();
    } catch (...) {
    }
}

std::unique_ptr<PageWork> pdfOfPages(const PageStore& store, const QString& path) {
    return std::make_unique<StoredPagesWork>(
        store.sharedPages(), store.document(),
        std::make_unique<ThreadedSink>(std::make_unique<PdfSink>(path)));
}

std::unique_ptr<PageWork> printOfLoadedPages(const PageStore& store,
                                             const PrintSettings& settings) {
    PrintSettings range = settings;
    range.firstPage = store.printRange().first;
    range.lastPage = store.printRange().last;
    const QMarginsF margins = printableMargins(range, store.paper());
    return std::make_unique<StoredPagesWork>(
        store.sharedPages(), store.document(),
        std::make_unique<ThreadedSink>(
            std::make_unique<PrinterSink>(range, store.documentName(), margins)));
}

} // namespace lambreya
