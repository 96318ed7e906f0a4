// The report composed into a PDF and read back with poppler: texts where the page drawings
// put them, covered regions blank, and no file after a failure.
#include "recording_sink.h"
#include "support/directory_fixture.h"
#include "support/test_files.h"

#include "report/page_composer.h"
#include "report/pdf_page_boxes.h"
#include "report/pdf_sink.h"
#include "report/search_res_form.h"
#include "report/text_measure.h"
#include "report/threaded_sink.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace lambreya {
namespace {

constexpr double kPointsPerUnit = 72.0 / 2540.0;
constexpr double kMmPerPoint = 25.4 / 72.0;

struct Word {
    int page;
    double xMin, yMin, xMax, yMax; // points
    std::string text;
};

// The words of every page as `pdftotext -bbox` finds them.
std::vector<Word> wordsOf(const QString& pdf) {
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(run.waitForFinished(60000));
    const QString html = QString::fromUtf8(run.readAllStandardOutput());
    static const QRegularExpression tag(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    std::vector<Word> words;
    int page = 0;
    for (const QRegularExpressionMatch& m : tag.globalMatch(html)) {
        if (m.captured(0) == QStringLiteral("<page ")) {
            ++page;
            continue;
        }
        words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                         m.captured(3).toDouble(), m.captured(4).toDouble(),
                         m.captured(5).toStdString()});
    }
    return words;
}

// How many pixels of a region of page 1 (in mm) are dark, rendered at 300 dpi.
int darkPixels(const QString& pdf, double left, double top, double right, double bottom) {
    const auto dots = [](double mm) { return QString::number(std::lround(mm * 300 / 25.4)); };
    const QString out = QFileInfo(pdf).dir().filePath(QStringLiteral("region"));
    QProcess run;
    run.start(QStringLiteral("pdftoppm"),
              {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("300"),
               QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-singlefile"),
               QStringLiteral("-x"), dots(left), QStringLiteral("-y"), dots(top),
               QStringLiteral("-W"), dots(right - left), QStringLiteral("-H"), dots(bottom - top),
               pdf, out});
    EXPECT_TRUE(run.waitForFinished(60000));
    const std::string pgm = test::readAll(out + QStringLiteral(".pgm"));
    // P5, width, height, 255, one blank, then the pixels.
    std::size_t at = 0;
    for (int field = 0; field < 4; ++field) {
        at = pgm.find_first_not_of(" \n", at);
        at = pgm.find_first_of(" \n", at);
    }
    int dark = 0;
    for (std::size_t i = at + 1; i < pgm.size(); ++i)
        dark += static_cast<unsigned char>(pgm[i]) < 128;
    return dark;
}

class PdfSinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::vector<std::string>> rows{
            {"КОНСТАНТИНОПОЛЬСКИЙ-ВОСКРЕСЕНСКИЙ", "", "МИРА", "5", "12", "111-22-33", "СЛУЖ."}};
        for (int i = 1; i < 39; ++i)
            rows.push_back({"ПЕТРОВ", "А.Б.", "ЛЕНИНА", std::to_string(i), "7"});
        table.openDirectory(test::makeDirectory(rows));
        form.FamiliFilter_QRLabel->setCaption(QStringLiteral("КО"));
        form.QuickRep1.setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(9, 5, 7)); });
    }

    QString pdfPath() const { return folder.filePath(QStringLiteral("report.pdf")); }

    RecordSet table{"Table1"};
    TSearchResForm form{table};
    RunObserver observer;
    QTemporaryDir folder;
};

TEST_F(PdfSinkTest, TextsStandWhereThePageDrawingsPutThem) {
    test::RecordingSink drawings;
    form.QuickRep1.compose(drawings, observer);
    PdfSink pdf(pdfPath());
    form.QuickRep1.compose(pdf, observer);

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdfPath()});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString about = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(
        about.contains(QStringLiteral("Title:           Ламбрея: печать результатов поиска")))
        << about.toStdString();
    EXPECT_TRUE(about.contains(QStringLiteral("Pages:           2")));
    EXPECT_TRUE(about.contains(QStringLiteral("595.276 x 841.89 pts (A4)"))) << about.toStdString();

    const std::vector<Word> words = wordsOf(pdfPath());
    const FontMeasures measures = measureFonts(drawings.document.fonts);
    int checked = 0;
    for (std::size_t p = 0; p < drawings.pages.size(); ++p) {
        forEachOp(drawings.pages[p], [&](const DrawingOp& op) {
            if (op.kind != DrawingOp::Kind::Text || op.text.find(' ') != std::string_view::npos)
                return;
            const std::string text = test::utf8(op.text);
            const double width = measures[static_cast<std::size_t>(op.font)].width(op.text);
            // The same text stands on many lines: the word nearest to the run's start.
            const Word* found = nullptr;
            double nearest = 1e9;
            for (const Word& w : words) {
                const double distance = std::abs(w.xMin - op.x * kPointsPerUnit) +
                                        std::abs(w.yMax - op.y * kPointsPerUnit);
                if (w.page == static_cast<int>(p) + 1 && w.text == text && distance < nearest) {
                    found = &w;
                    nearest = distance;
                }
            }
            ASSERT_TRUE(found) << text;
            SCOPED_TRACE(text);
            EXPECT_NEAR(found->xMin * kMmPerPoint, op.x / 100.0, 0.04);
            EXPECT_NEAR((found->xMax - found->xMin) * kMmPerPoint, width / 100.0, 0.1);
            // The baseline lies within the word's box, near its bottom.
            const double baseline = op.y / 100.0;
            EXPECT_GT(found->yMax * kMmPerPoint, baseline);
            EXPECT_LT(found->yMax * kMmPerPoint - baseline, 1.5);
            ++checked;
        });
    }
    EXPECT_GT(checked, 100);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("report.pdf")});

    // Line 0's caps lie between 46.5 and 48.4 mm. The long surname shows up to the
    // initials box at 45.45 mm, not within it, and again from 52.33 mm.
    EXPECT_GT(darkPixels(pdfPath(), 40.0, 46.5, 45.2, 48.4), 50);
    EXPECT_EQ(darkPixels(pdfPath(), 45.7, 46.5, 52.1, 48.4), 0);
    EXPECT_GT(darkPixels(pdfPath(), 52.6, 46.5, 55.5, 48.4), 50);
    // The column headings' underlines lie just below their baseline (about 42 mm), each
    // under its own heading: under "И.О.", and nowhere in the left margin.
    EXPECT_GT(darkPixels(pdfPath(), 46.0, 42.1, 51.0, 43.0), 50);
    EXPECT_EQ(darkPixels(pdfPath(), 0.0, 41.0, 9.5, 43.5), 0);
}

// Written here, or on a thread of its own as the preview's files and print jobs are.
TEST_F(PdfSinkTest, NoFileIsLeftWhenTheRunIsAbandonedOrTheFolderIsMissing) {
    for (const bool threaded : {false, true}) {
        SCOPED_TRACE(threaded ? "threaded" : "here");
        const auto sink = [threaded](const QString& path) -> std::unique_ptr<PageSink> {
            auto pdf = std::make_unique<PdfSink>(path);
            if (!threaded)
                return pdf;
            return std::make_unique<ThreadedSink>(std::move(pdf));
        };
        {
            // Abandoned after its first page was painted.
            const std::unique_ptr<PageSink> pdf = sink(pdfPath());
            const auto run = form.QuickRep1.composition(*pdf, observer);
            run->begin();
            for (int record = 0; record < 39; ++record)
                run->step();
            run->abandon();
        }
        EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());

        const QString missing = folder.filePath(QStringLiteral("no/such/report.pdf"));
        const std::unique_ptr<PageSink> pdf = sink(missing);
        try {
            form.QuickRep1.compose(*pdf, observer);
            ADD_FAILURE() << "composed into a missing folder";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("Не удалось записать файл " + missing.toStdString() + ": ", 0),
                      0u)
                << message;
            EXPECT_NE(message.find(". Файл не создан"), std::string::npos) << message;
        }
        EXPECT_FALSE(QFileInfo::exists(missing));
    }
}

// The writer's page boxes become exact however its bytes are split between writes; other
// bytes pass unchanged and the length stays, so the writer's offsets hold.
TEST(PdfPageBoxes, BoxesBecomeExactWhereverTheWritesSplitThem) {
    const QByteArray written = "1 0 obj /MediaBox [0 0 595.000000 842.000000] /Crop [0 0 595 842]\n"
                               "/MediaBox [0 0 842.000000 595.000000]";
    for (const auto& [paper, expected] :
         {std::pair{kA4Portrait, QByteArray("1 0 obj /MediaBox [0 0 595.275591 841.889764] "
                                            "/Crop [0 0 595 842]\n/MediaBox [0 0 842.000000 "
                                            "595.000000]")},
          {kA4Landscape, QByteArray("1 0 obj /MediaBox [0 0 595.000000 842.000000] /Crop [0 0 "
                                    "595 842]\n/MediaBox [0 0 841.889764 595.275591]")}}) {
        for (qsizetype chunk : {qsizetype(1), qsizetype(7), written.size()}) {
            QBuffer target;
            target.open(QIODevice::WriteOnly);
            PdfPageBoxes boxes(target, paper);
            for (qsizetype at = 0; at < written.size(); at += chunk)
                boxes.write(written.mid(at, chunk));
            boxes.flushHeld();
            EXPECT_EQ(target.data(), expected) << chunk;
        }
    }
}

} // namespace
} // namespace lambreya
