#include "report/report_font.h"

namespace lambreya {

QFont toQFont(const ReportFont& font, double points) {
    QFont f(font.family);
    f.setPointSizeF(points);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    // No shaping either: no ligature may make a text narrower than its characters.
    f.setStyleStrategy(
        QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferMatch | QFont::PreferNoShaping));
    return f;
}

} // namespace lambreya
