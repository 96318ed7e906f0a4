#pragma once

#include "report/page_sink.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QString>

#include <memory>

namespace lambreya {

class AtomicFile;

// The sheet of a page as a printer or a PDF knows it: the known paper size it matches (A4,
// Letter, ...) in the orientation of its sides, or a custom size when it matches none; no
// margins.
QPageLayout paperLayoutFor(PaperSize paper);

// Writes a run's pages into a PDF file: one A4 sheet per page in the run's orientation,
// vector text with the fonts embedded, the report title as the document's title. The file
// appears only when the document is complete; a run that fails or is abandoned, or a write
// that fails (an unwritable folder, a full disk), leaves no file, and the error says why.
// Pages are written as they come, so memory does not grow with their number.
//
// Each page fills the whole sheet, or the part of it within `margins` (in points).
class PdfSink : public PageSink {
public:
    explicit PdfSink(QString path, QMarginsF margins = {});
    ~PdfSink() override;

    void beginDocument(const DocumentInfo& document) override;
    void addPage(PageDrawing page) override;
    void endDocument() override;
    void abortDocument() override;

private:
    struct Writer;

    static constexpr qint64 kSyncEveryBytes = 1 << 20;

    QString m_path;
    QMarginsF m_margins;
    qint64 m_synced = 0; // bytes of the file synced to the disk
    std::unique_ptr<AtomicFile> m_file;
    std::unique_ptr<Writer> m_writer;
};

} // namespace lambreya
