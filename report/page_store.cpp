#include "report/page_store.h"

#include <stdexcept>
#include <utility>

namespace lambreya {

PageStore::PageStore(DocumentInfo document, PageRange range)
    : m_document(std::move(document))
    , m_range(range)
    , m_pages(std::make_shared<std::vector<PageDrawing>>()) {}

const PageDrawing& PageStore::page(int page) const {
    if (page < 1 || page > pageCount())
        throw std::out_of_range("no such page in the page store");
    return (*m_pages)[static_cast<std::size_t>(page - 1)];
}

void PageStore::replaceWithLoaded(DocumentInfo document, std::vector<PageDrawing> pages) {
    m_document = std::move(document);
    m_pages = std::make_shared<std::vector<PageDrawing>>(std::move(pages));
    m_state = State::Finished;
    m_loadedFromFile = true;
    m_takingRun = false;
}

void PageStore::beginDocument(const DocumentInfo& document) {
    if (m_loadedFromFile)
        return;
    m_document = document;
    m_pages = std::make_shared<std::vector<PageDrawing>>();
    m_state = State::Building;
    m_takingRun = true;
}

void PageStore::addPage(PageDrawing page) {
    if (m_takingRun)
        m_pages->push_back(std::move(page));
}

void PageStore::endDocument() {
    if (std::exchange(m_takingRun, false))
        m_state = State::Finished;
}

void PageStore::abortDocument() {
    // The window keeps what was built before the run was stopped or failed; nothing more
    // comes, so the store counts as finished.
    if (std::exchange(m_takingRun, false))
        m_state = State::Finished;
}

} // namespace lambreya
