#include "report/page_composer.h"

#include "report/element_text.h"
#include "report/system_field_text.h"

#include "data/cp1251.h"
#include "data/record_set.h"
#include "data/view_walk.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <memory>

namespace lambreya {
namespace {

// Vertical positions are whole tenths of a millimetre; drawing units are hundredths.
constexpr int kUnitsPerTenth = kDrawingUnitsPerMm / 10;

int tenthsOf(double units) {
    return static_cast<int>(std::lround(units / kUnitsPerTenth));
}

} // namespace

// Lays out pages: the page header at the top of each, detail lines below it while they
// fit above the page footer.
class PageComposer {
public:
    PageComposer(const RecordSet& table, const Composition& c, PageSink& sink)
        : m_c(c)
        , m_def(c.definition)
        , m_sink(sink)
        , m_painter(m_builder, m_ink, c.measures)
        , m_headerHeight(tenthsOf(pixelsToDrawingUnits(m_def.pageHeader.height)))
        , m_detailHeight(tenthsOf(pixelsToDrawingUnits(m_def.detail.height)))
        , m_footerTop(tenthsOf(c.document.paper.height - m_def.marginBottom -
                               pixelsToDrawingUnits(m_def.pageFooter.height))) {
        for (const ReportElement& e : m_def.detail.elements)
            m_fields.push_back(
                e.kind == ElementKind::Field && table.active() ? table.findField(e.text) : -1);
        for (const ReportElement& e : m_def.pageHeader.elements)
            m_prefixes.push_back(e.kind == ElementKind::PageNumber
                                     ? cp1251::fromUtf8(e.text).value_or(std::string())
                                     : std::string());
        for (const std::string& prefix : m_prefixes)
            m_prefixLengths.push_back(prefix.size());
    }

    bool pageStarted() const { return m_page > 0; }
    bool roomForDetail() const { return m_footerTop - m_position >= m_detailHeight; }

    void startPage() {
        ++m_page;
        m_builder.begin(m_c.document.paper);
        m_ink.beginPage();
        m_position = tenthsOf(m_def.marginTop);
        m_dateTime = dateTimeText(m_c.clock());
        placeBand(m_def.pageHeader,
                  [this](std::size_t i, const ReportElement& e) { return headerText(i, e); });
        m_position += m_headerHeight;
    }

    // The line of the record the walk met, or an empty one without a record.
    void placeDetail(const ViewWalk* walk) {
        placeBand(m_def.detail, [this, walk](std::size_t i, const ReportElement&) {
            const int field = m_fields[i];
            return walk && field >= 0 ? walk->text(field) : std::string_view();
        });
        m_position += m_detailHeight;
    }

    // The page footer is empty: it only keeps its room at the foot of the page.
    void finishPage() { m_sink.addPage(m_builder.take()); }

    int page() const { return m_page; }
    const DocumentInfo& document() const { return m_c.document; }

private:
    std::string_view headerText(std::size_t i, const ReportElement& e) {
        switch (e.kind) {
        case ElementKind::Label:
            return i < m_c.headerLabels.size() && m_c.headerLabels[i]
                       ? m_c.headerLabels[i]->captionBytes()
                       : std::string_view();
        case ElementKind::PageNumber: {
            std::string& text = m_prefixes[i];
            text.resize(m_prefixLengths[i]);
            char digits[16];
            const auto end = std::to_chars(digits, digits + sizeof digits, m_page).ptr;
            text.append(digits, end);
            return text;
        }
        case ElementKind::DateTime:
            return m_dateTime;
        case ElementKind::Field:
            break;
        }
        return {};
    }

    template <typename TextOf>
    void placeBand(const ReportBand& band, TextOf&& textOf) {
        const double left = m_def.marginLeft;
        const double top = m_position * kUnitsPerTenth;
        const double width = pixelsToDrawingUnits(m_def.bandWidth);
        const double height = pixelsToDrawingUnits(band.height);
        m_ink.beginBand();
        if (m_ink.covers(left, top, left + width, top + height))
            m_builder.fill(PageDrawing::Colour::White, wholeUnits(left), wholeUnits(top),
                           wholeUnits(width), wholeUnits(height));
        for (std::size_t i = 0; i < band.elements.size(); ++i) {
            const ReportElement& e = band.elements[i];
            const ElementBox box{left + pixelsToDrawingUnits(e.left),
                                 top + pixelsToDrawingUnits(e.top),
                                 pixelsToDrawingUnits(e.width),
                                 pixelsToDrawingUnits(e.height),
                                 e.font,
                                 e.alignment,
                                 e.autoSize};
            m_painter.paint(box, textOf(i, e));
        }
        if (band.bottomLine) {
            const int bottom = wholeUnits(top + height);
            const int lineTop = wholeUnits(top + height - kDrawingUnitsPerPoint);
            m_builder.fill(PageDrawing::Colour::Black, wholeUnits(left), lineTop, wholeUnits(width),
                           bottom - lineTop);
            m_ink.add(left, lineTop, left + width, bottom);
        }
    }

    const Composition& m_c;
    const ReportDefinition& m_def;
    PageSink& m_sink;
    PageDrawingBuilder m_builder;
    PageInk m_ink;
    ElementPainter m_painter;
    const int m_headerHeight, m_detailHeight, m_footerTop; // tenths of a millimetre
    std::vector<int> m_fields;           // the record set's field of each detail element
    std::vector<std::string> m_prefixes; // per header element: its page number text
    std::vector<std::size_t> m_prefixLengths;
    std::string m_dateTime;
    int m_page = 0;
    int m_position = 0; // tenths of a millimetre from the top of the sheet
};

namespace {

int percentDone(int row, int count) {
    if (count <= 0)
        return 100;
    return static_cast<int>(std::min<std::int64_t>(std::int64_t{row} * 100 / count, 100));
}

} // namespace

ReportComposition::ReportComposition(RecordSet& table, Composition composition, PageSink& sink,
                                     RunObserver& observer)
    : m_table(table)
    , m_composition(std::move(composition))
    , m_sink(sink)
    , m_observer(observer)
    , m_composer(std::make_unique<PageComposer>(table, m_composition, sink))
    , m_walk(std::make_unique<ViewWalk>(table)) {}

ReportComposition::~ReportComposition() {
    abandon();
}

void ReportComposition::begin() {
    // Going to the first record ends a pending change of the current one.
    if (m_table.active())
        m_table.first();
    m_sink.beginDocument(m_composer->document());
    m_begun = true;
}

bool ReportComposition::step() {
    if (!m_walk->next())
        return false;
    const bool pageEnds = m_composer->pageStarted() && !m_composer->roomForDetail();
    if (pageEnds)
        finishPage();
    if (pageEnds || !m_composer->pageStarted())
        m_composer->startPage();
    m_composer->placeDetail(m_walk.get());
    reportProgress();
    return true;
}

void ReportComposition::reportProgress() {
    m_observer.progress(
        percentDone(m_walk->nextRow(), m_table.active() ? m_table.recordCount() : 0));
}

void ReportComposition::finishPage() {
    m_composer->finishPage();
    m_observer.pageAvailable(m_composer->page());
}

bool ReportComposition::finishLastPage() {
    const bool complete =
        !m_table.active() || !m_walk->met() || m_walk->nextRow() >= m_table.recordCount();
    if (!m_composer->pageStarted()) {
        m_composer->startPage();
        m_composer->placeDetail(nullptr);
    }
    finishPage();
    return complete;
}

void ReportComposition::finish() {
    const bool complete = finishLastPage();
    m_begun = false;
    m_sink.endDocument();
    placeCurrentRecord(complete);
}

void ReportComposition::finishLater(PageSink::Ended finished) {
    const bool complete = finishLastPage();
    // Until the sink has ended the document, abandoning the run still reaches it.
    m_sink.endDocumentLater(
        [this, complete, finished = std::move(finished)](std::exception_ptr error) {
            m_begun = false;
            if (!error)
                placeCurrentRecord(complete);
            finished(error);
        });
}

void ReportComposition::abandon() noexcept {
    if (!std::exchange(m_begun, false))
        return;
    // The first error is the one to report; the sink only drops what it holds.
    try {
        m_sink.abortDocument();
    } catch (...) {
    }
    try {
        placeCurrentRecord(false);
    } catch (...) {
    }
}

void ReportComposition::placeCurrentRecord(bool complete) {
    // The current record goes where the walk ended, unless the user is changing a record:
    // that change stays with the record the user chose.
    if (!m_table.active() || m_table.state() != RecordSet::State::Browse || !m_walk->met())
        return;
    if (complete) {
        m_table.last();
        return;
    }
    const int row = m_walk->row();
    m_table.moveToRow(row >= 0 ? row : std::min(m_walk->nextRow(), m_table.recordCount() - 1));
}

} // namespace lambreya
