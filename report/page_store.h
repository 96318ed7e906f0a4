#pragma once

#include "report/page_sink.h"
#include "report/print_settings.h"

#include <memory>
#include <vector>

namespace lambreya {

// The page range for direct printing: the print settings' first and last page when the
// window's run began (0 meaning no limit at that end).
struct PageRange {
    int first = 0;
    int last = 0;
};

// The pages of one preview window, each kept as its drawing: what a run into the preview
// built, or what was loaded from a file. Every preview command makes a new store; it is
// given up when its window closes.
class PageStore : public PageSink {
public:
    enum class State { Ready, Building, Finished };

    explicit PageStore(DocumentInfo document, PageRange range = {});

    State state() const { return m_state; }
    bool finished() const { return m_state == State::Finished; }
    int pageCount() const { return static_cast<int>(m_pages->size()); }
    // Page `page`, numbered from 1; within 1 .. pageCount().
    const PageDrawing& page(int page) const;
    const std::vector<PageDrawing>& pages() const { return *m_pages; }
    // The pages as they are now, for work that goes on while they may be replaced.
    std::shared_ptr<const std::vector<PageDrawing>> sharedPages() const { return m_pages; }

    const DocumentInfo& document() const { return m_document; }
    const QString& documentName() const { return m_document.title; }
    PaperSize paper() const { return m_document.paper; }
    const PageRange& printRange() const { return m_range; }
    bool loadedFromFile() const { return m_loadedFromFile; }

    // Replaces every page with pages read from a file: the store is finished and
    // loaded-from-file, its paper that of the pages.
    void replaceWithLoaded(DocumentInfo document, std::vector<PageDrawing> pages);

    // PageSink: a run's pages. An abandoned run leaves the pages built so far. Once pages
    // were loaded, what a run still sends is ignored.
    void beginDocument(const DocumentInfo& document) override;
    void addPage(PageDrawing page) override;
    void endDocument() override;
    void abortDocument() override;

private:
    DocumentInfo m_document;
    PageRange m_range;
    std::shared_ptr<std::vector<PageDrawing>> m_pages;
    State m_state = State::Ready;
    bool m_loadedFromFile = false;
    bool m_takingRun = false;
};

} // namespace lambreya
