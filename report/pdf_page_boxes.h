#pragma once

#include "report/page_drawing.h"

#include <QByteArray>
#include <QIODevice>
#include <QRectF>

class QPaintDevice;

namespace lambreya {

// Qt's PDF writer gives every page a box of whole points: A4 becomes 595 by 842 points,
// so 210 mm would be drawn over 209.9 mm. This device passes the writer's bytes on to
// `target` with the boxes of `paper` written at the paper's exact size (A4: 595.275591 by
// 841.889764 points). The numbers keep their length, so the byte offsets that the writer
// records stay right (a size whose whole number has fewer digits stays whole). It is open for
// writing from the start; flushHeld() passes on the last bytes once the writer has ended. A failed
// write is the target's to report.
class PdfPageBoxes : public QIODevice {
public:
    PdfPageBoxes(QIODevice& target, PaperSize paper);

    // Where a sheet of the paper lies on the writer's device (`device`, its pixels): as
    // large as the paper, moved by what the whole-point page is taller than the exact one,
    // since the writer measures from the top of its own page.
    QRectF sheetOn(const QPaintDevice& device) const;

    void flushHeld();

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice& m_target;
    PaperSize m_paper;
    double m_pointsTaller = 0; // the whole-point page over the exact one
    QByteArray m_wholeBox;
    QByteArray m_exactBox;
    QByteArray m_held;
};

} // namespace lambreya
