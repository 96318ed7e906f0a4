#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace lambreya {

// A text label of the report, reached by name; the print command writes the captions of
// the filter labels before every run. The caption is kept in code page 1251 as well, the
// form the run prints; a character the code page lacks prints as "?".
class ReportLabel {
public:
    ReportLabel(std::string_view name, const QString& caption);

    std::string_view name() const { return m_name; }
    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }
    std::string_view captionBytes() const { return m_bytes; }

private:
    std::string_view m_name;
    QString m_caption;
    std::string m_bytes;
};

} // namespace lambreya
