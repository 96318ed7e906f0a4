#include "report/report_label.h"

#include "data/cp1251.h"

namespace lambreya {

ReportLabel::ReportLabel(std::string_view name, const QString& caption)
    : m_name(name) {
    setCaption(caption);
}

void ReportLabel::setCaption(const QString& caption) {
    m_caption = caption;
    m_bytes = cp1251::fromUnicodeReplacing(caption, '?');
}

} // namespace lambreya
