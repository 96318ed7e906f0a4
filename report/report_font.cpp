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
    f.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferMatch));
    return f;
}

} // namespace lambreya
