#pragma once

#include <QFont>
#include <QRgb>
#include <QString>

#include <vector>

namespace lambreya {

// A font of the report as its definition names it. Texts are measured and painted with
// it the same way on every device: no hinting and no kerning, so that a text's width is
// the sum of its characters' design advances at the font's size.
struct ReportFont {
    QString family;
    double points = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QRgb colour = qRgb(0, 0, 0);

    friend bool operator==(const ReportFont&, const ReportFont&) = default;
};

// The fonts one document's page drawings refer to by index.
using ReportFonts = std::vector<ReportFont>;

// The font as Qt is asked for it, at `points` of the device it is used on.
QFont toQFont(const ReportFont& font, double points);

} // namespace lambreya
