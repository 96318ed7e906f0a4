#include "report/quick_report.h"

#include "report/page_composer.h"
#include "report/report_definition.h"

#include "data/record_set.h"

#include <algorithm>

namespace lambreya {

QuickReport::QuickReport(RecordSet& table)
    : m_table(table)
    , m_clock([] { return QDateTime::currentDateTime(); }) {
    for (const ReportElement& e : searchResultsReport().pageHeader.elements)
        if (e.kind == ElementKind::Label)
            m_labels.emplace_back(
                e.name, QString::fromUtf8(e.text.data(), static_cast<qsizetype>(e.text.size())));
}

QuickReport::~QuickReport() = default;

void QuickReport::setClock(std::function<QDateTime()> clock) {
    m_clock = std::move(clock);
}

DocumentInfo QuickReport::documentInfo() const {
    return {kTitle, PrinterSettings.paper(), searchResultsReport().fonts};
}

ReportLabel* QuickReport::findLabel(std::string_view name) {
    const auto found = std::ranges::find(m_labels, name, &ReportLabel::name);
    return found == m_labels.end() ? nullptr : &*found;
}

const FontMeasures& QuickReport::measures() {
    if (!m_measures)
        m_measures = std::make_unique<FontMeasures>(measureFonts(searchResultsReport().fonts));
    return *m_measures;
}

std::unique_ptr<ReportComposition> QuickReport::composition(PageSink& sink, RunObserver& observer) {
    const ReportDefinition& definition = searchResultsReport();
    Composition composition{definition, measures(), documentInfo(), {}, m_clock};
    for (const ReportElement& e : definition.pageHeader.elements) {
        composition.headerLabels.push_back(e.kind == ElementKind::Label ? findLabel(e.name)
                                                                        : nullptr);
    }
    return std::make_unique<ReportComposition>(m_table, std::move(composition), sink, observer);
}

void QuickReport::compose(PageSink& sink, RunObserver& observer) {
    workToEnd(*composition(sink, observer));
}

} // namespace lambreya
