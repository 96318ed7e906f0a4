#include "report/pdf_sink.h"

#include "report/page_painter.h"
#include "report/pdf_page_boxes.h"

#include "data/atomic_file.h"
#include "data/error.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace lambreya {

QPageLayout paperLayoutFor(PaperSize paper) {
    const bool landscape = paper.width > paper.height;
    const double shortSide = std::min(paper.width, paper.height) / double(kDrawingUnitsPerMm);
    const double longSide = std::max(paper.width, paper.height) / double(kDrawingUnitsPerMm);
    const QSizeF portrait(shortSide, longSide);
    const QPageSize::PageSizeId id = QPageSize::id(portrait, QPageSize::Millimeter);
    const QPageSize size =
        id == QPageSize::Custom ? QPageSize(portrait, QPageSize::Millimeter) : QPageSize(id);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

struct PdfSink::Writer {
    Writer(QIODevice& device, PaperSize paper)
        : boxes(device, paper)
        , pdf(&boxes) {}

    PdfPageBoxes boxes;
    QPdfWriter pdf;
    QPainter painter;
    ReportFonts fonts;
    int pages = 0;
};

PdfSink::PdfSink(QString path, QMarginsF margins)
    : m_path(std::move(path))
    , m_margins(margins) {}

PdfSink::~PdfSink() {
    abortDocument();
}

void PdfSink::beginDocument(const DocumentInfo& document) {
    abortDocument();
    m_file = std::make_unique<AtomicFile>(m_path, AtomicFile::Buffering::Buffered);
    m_writer = std::make_unique<Writer>(m_file->device(), document.paper);
    m_synced = 0;
    QPdfWriter& pdf = m_writer->pdf;
    pdf.setTitle(document.title);
    pdf.setCreator(QStringLiteral("Ламбрея"));
    pdf.setPageLayout(paperLayoutFor(document.paper));
    m_writer->fonts = document.fonts;
}

void PdfSink::addPage(PageDrawing page) {
    if (!m_writer)
        throw Error("PDF: документ не начат");
    Writer& w = *m_writer;
    if (w.pages == 0) {
        if (!w.painter.begin(&w.pdf))
            throw Error("Не удалось начать файл PDF " + m_path.toStdString());
    } else if (!w.pdf.newPage()) {
        throw Error("Не удалось добавить лист в файл PDF " + m_path.toStdString());
    }
    ++w.pages;
    // The file goes to the disk as it grows: syncing it whole at the end would hold the
    // program for as long as the disk takes to write it all.
    if (const qint64 written = m_file->device().pos(); written - m_synced >= kSyncEveryBytes) {
        m_file->syncWritten();
        m_synced = written;
    }
    const double unitsPerPoint = w.pdf.resolution() / 72.0;
    paintPage(w.painter, page, w.fonts,
              w.boxes.sheetOn(w.pdf).marginsRemoved(m_margins * unitsPerPoint));
}

void PdfSink::endDocument() {
    if (!m_writer)
        throw Error("PDF: документ не начат");
    if (m_writer->pages == 0)
        throw Error("Нет ни одного листа для файла PDF " + m_path.toStdString());
    m_writer->painter.end();
    m_writer->boxes.flushHeld();
    m_writer.reset();
    m_file->commit();
    m_file.reset();
}

void PdfSink::abortDocument() {
    if (m_writer && m_writer->painter.isActive())
        m_writer->painter.end();
    m_writer.reset();
    if (m_file)
        m_file->cancel();
    m_file.reset();
}

} // namespace lambreya
