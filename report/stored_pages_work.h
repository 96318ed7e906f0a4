#pragma once

#include "report/page_sink.h"
#include "report/page_work.h"
#include "report/print_settings.h"

#include <QString>

#include <memory>
#include <vector>

namespace lambreya {

class PageStore;

// Pages already built going into a sink, one page a step: a preview's pages saved as a PDF,
// or pages loaded from a file going to the printer. The pages are held as they were when
// the work was made, so that loading others meanwhile changes nothing of it.
class StoredPagesWork final : public PageWork {
public:
    StoredPagesWork(std::shared_ptr<const std::vector<PageDrawing>> pages, DocumentInfo document,
                    std::unique_ptr<PageSink> sink);

    void begin() override;
    bool step() override;
    bool ready() const override { return m_sink->hasRoom(); }
    void finish() override;
    void finishLater(PageSink::Ended finished) override;
    void abandon() noexcept override;

private:
    std::shared_ptr<const std::vector<PageDrawing>> m_pages;
    DocumentInfo m_document;
    std::unique_ptr<PageSink> m_sink;
    std::size_t m_next = 0;
    bool m_begun = false;
};

// The store's pages into a PDF file.
std::unique_ptr<PageWork> pdfOfPages(const PageStore& store, const QString& path);

// Print with pages loaded from a file: the pages as they are, with no run and no progress
// window, as one document named with the report title, onto the printer and with the
// copies of `settings`; from the first to the last page of the store's range (0 meaning
// no limit at that end), each drawn over the printer's printable area.
std::unique_ptr<PageWork> printOfLoadedPages(const PageStore& store, const PrintSettings& settings);

} // namespace lambreya
