// The search results report composed from Table1 into page drawings, read back op by op.
#include "recording_sink.h"
#include "support/directory_fixture.h"

#include "report/page_composer.h"
#include "report/quick_report.h"
#include "report/report_font.h"
#include "report/search_res_form.h"
#include "report/stepped_run.h"
#include "report/text_measure.h"
#include "report/threaded_sink.h"
#include "support/qt_test_support.h"

#include "data/record_set.h"

#include <QEventLoop>
#include <QFontMetricsF>
#include <QLocale>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace lambreya {
namespace {

// Positions in drawing units (hundredths of a millimetre) of the sheet.
constexpr int kBandLeft = 1000;
constexpr int kBandWidth = 18997; // 718 px
constexpr int kDetailHeight = 609;
constexpr int kFirstLineTop = 4470;
constexpr int kLineStep = 610;

int px(int pixels) {
    return static_cast<int>(std::lround(pixels * 2540.0 / 96.0));
}

// Progress is told after every record placed.
struct Observer : RunObserver {
    void progress(int percent) override {
        percents.push_back(percent);
        ++records;
        if (onRecord)
            onRecord(records);
    }
    void pageAvailable(int page) override { pages.push_back(page); }

    std::vector<int> percents, pages;
    int records = 0;
    std::function<void(int)> onRecord;
};

// The tops of a page's detail lines, from their surnames' baselines: the texts begin
// 0.79 mm (3 px) below the line's top, their baseline an ascent lower.
std::vector<int> lineTops(const PageDrawing& page, const ReportFont& font) {
    const double ascent = measureOf(font).ascent();
    std::vector<int> tops;
    forEachOp(page, [&](const DrawingOp& op) {
        if (op.kind == DrawingOp::Kind::Text && op.x == kBandLeft + px(6) && op.y > kFirstLineTop)
            tops.push_back(static_cast<int>(std::lround(op.y - ascent - 3 * 2540.0 / 96)));
    });
    return tops;
}

// The ops of a page that start at `x`, in paint order, with their index: fills, or texts.
struct Fill {
    std::size_t op;
    int y, width, height;
    PageDrawing::Colour colour;
};

std::vector<Fill> fillsAt(const PageDrawing& page, int x,
                          DrawingOp::Kind kind = DrawingOp::Kind::Fill) {
    std::vector<Fill> fills;
    std::size_t i = 0;
    forEachOp(page, [&](const DrawingOp& op) {
        if (op.kind == kind && op.x == x)
            fills.push_back({i, op.y, op.width, op.height, op.colour});
        ++i;
    });
    return fills;
}

class CompositionTest : public ::testing::Test {
protected:
    void open(const std::vector<std::vector<std::string>>& rows,
              std::vector<FieldDef> fields = standardDirectoryFields()) {
        table.openDirectory(test::makeDirectory(rows, std::move(fields)));
    }

    void openNumbered(int records) {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < records; ++i)
            rows.push_back({"ИВАНОВ" + std::to_string(i), "А.Б.", "МИРА", "5", "12"});
        open(rows);
    }

    void compose() { form.QuickRep1.compose(sink, observer); }

    // The texts of the first detail line of page 1.
    std::vector<test::PageText> firstLine() {
        std::vector<test::PageText> line;
        for (const test::PageText& t : test::textsOf(sink.pages.at(0)))
            if (t.baseline > kFirstLineTop && t.baseline < kFirstLineTop + kDetailHeight)
                line.push_back(t);
        return line;
    }

    const FontMeasure& measure(int font) {
        return measureOf(form.QuickRep1.documentInfo().fonts[static_cast<std::size_t>(font)]);
    }

    RecordSet table{"Table1"};
    TSearchResForm form{table};
    test::RecordingSink sink;
    Observer observer;
};

struct PagingRow {
    const char* name;
    int records; // -1: Table1 not open
    bool landscape;
    std::vector<int> linesPerPage;
};

TEST_F(CompositionTest, PagesHoldTheLinesThatFitAboveTheFooter) {
    const PagingRow rows[] = {
        {"38 records fill one page", 38, false, {38}},
        {"the 39th begins page 2 under its header", 39, false, {38, 1}},
        {"an empty view gives one page, header only", 0, false, {0}},
        {"a closed Table1 reads nothing and gives the same page", -1, false, {0}},
        {"landscape pages hold 24 lines", 49, true, {24, 24, 1}},
    };
    for (const PagingRow& row : rows) {
        SCOPED_TRACE(row.name);
        table.discard();
        sink = {};
        observer = {};
        if (row.records >= 0)
            openNumbered(row.records);
        form.QuickRep1.PrinterSettings.orientation = row.landscape
                                                         ? PrintSettings::Orientation::Landscape
                                                         : PrintSettings::Orientation::Portrait;
        compose();
        const PaperSize paper = row.landscape ? kA4Landscape : kA4Portrait;
        std::string calls = "begin ";
        std::vector<int> available;
        for (std::size_t p = 0; p < row.linesPerPage.size(); ++p) {
            calls += "page ";
            available.push_back(static_cast<int>(p) + 1);
        }
        EXPECT_EQ(sink.calls, calls + "end");
        EXPECT_EQ(observer.pages, available);
        EXPECT_EQ(sink.document.title, QStringLiteral("Ламбрея: печать результатов поиска"));
        EXPECT_EQ(sink.document.paper, paper);
        ASSERT_EQ(sink.pages.size(), row.linesPerPage.size());
        int record = 0;
        for (std::size_t p = 0; p < sink.pages.size(); ++p) {
            const PageDrawing& page = sink.pages[p];
            EXPECT_EQ(page.paper(), paper);
            const std::vector<test::PageText> texts = test::textsOf(page);
            EXPECT_TRUE(test::findText(texts, "Лист " + std::to_string(p + 1)));
            EXPECT_TRUE(test::findText(texts, "Фамилия"));
            // Line k's top is 44.7 + 6.1 k mm.
            const std::vector<int> tops = lineTops(page, sink.document.fonts[2]);
            const int lines = row.linesPerPage[p];
            ASSERT_EQ(tops.size(), static_cast<std::size_t>(lines));
            for (int k = 0; k < lines; ++k) {
                EXPECT_EQ(tops[static_cast<std::size_t>(k)], kFirstLineTop + kLineStep * k);
                const test::PageText* surname =
                    test::findText(texts, "ИВАНОВ" + std::to_string(record++));
                ASSERT_TRUE(surname);
                EXPECT_GT(surname->baseline, tops[static_cast<std::size_t>(k)] + px(3));
            }
            if (lines == 0) {
                EXPECT_EQ(texts.size(), 12u); // the header's captions, date and page number
            }
        }
        EXPECT_EQ(record, std::max(row.records, 0));
    }
}

TEST_F(CompositionTest, HeaderShowsTheSearchTextsAndItsLineOnTheBandsLowerEdge) {
    EXPECT_EQ(form.findLabel("FamiliFilter_QRLabel"), form.FamiliFilter_QRLabel);
    EXPECT_EQ(form.findLabel("PrimFilter_QRLabel"), form.PrimFilter_QRLabel);
    EXPECT_EQ(form.findLabel("QRDBText1"), nullptr);
    openNumbered(39);
    form.FamiliFilter_QRLabel->setCaption(QStringLiteral("ИВ"));
    form.RoomFilter_QRLabel->setCaption(QStringLiteral("12"));
    form.HomeFilter_QRLabel->setCaption(QStringLiteral("5"));
    // A caption written while the run lets messages through shows on the pages to come.
    observer.onRecord = [this](int record) {
        if (record == 38)
            form.FamiliFilter_QRLabel->setCaption(QStringLiteral("ПЕ"));
    };
    compose();
    ASSERT_EQ(sink.pages.size(), 2u);
    const std::vector<test::PageText> page1 = test::textsOf(sink.pages[0]);
    const test::PageText* famili = test::findText(page1, "ИВ");
    ASSERT_TRUE(famili);
    EXPECT_EQ(famili->x, kBandLeft + px(6));
    EXPECT_EQ(test::findText(page1, "12")->x, kBandLeft + px(416));
    EXPECT_EQ(test::findText(page1, "5")->x, kBandLeft + px(358));
    EXPECT_EQ(test::findText(page1, "Ламбрея")->x, kBandLeft + px(230));
    EXPECT_EQ(test::findText(page1, "Лист 1")->x, kBandLeft + px(634));
    EXPECT_TRUE(test::findText(test::textsOf(sink.pages[1]), "ПЕ"));
    EXPECT_FALSE(test::findText(test::textsOf(sink.pages[1]), "ИВ"));

    // The flat filter is painted before the house filter.
    const std::vector<Fill> room =
        fillsAt(sink.pages[0], kBandLeft + px(416), DrawingOp::Kind::Text);
    const std::vector<Fill> home =
        fillsAt(sink.pages[0], kBandLeft + px(358), DrawingOp::Kind::Text);
    ASSERT_FALSE(room.empty());
    ASSERT_FALSE(home.empty());
    EXPECT_LT(room[0].op, home[0].op);

    // The header's line: black, 1 point thick, its lower edge on the band's lower edge.
    bool line = false;
    forEachOp(sink.pages[0], [&](const DrawingOp& op) {
        if (op.kind == DrawingOp::Kind::Fill && op.colour == PageDrawing::Colour::Black) {
            EXPECT_EQ(op.x, kBandLeft);
            EXPECT_EQ(op.width, kBandWidth);
            EXPECT_EQ(op.y + op.height, 1000 + px(131));
            EXPECT_EQ(op.height, 35);
            line = true;
        }
    });
    EXPECT_TRUE(line);
}

struct LineRow {
    const char* name;
    std::vector<std::string> record;
    int pixelsLeft;                   // the element's left within the band
    std::optional<std::string> shown; // the text printed at that element; none: nothing
};

TEST_F(CompositionTest, ElementsSetTheirTextAsTheirWidthAllows) {
    const LineRow rows[] = {
        {"a remark breaks after a word",
         {"", "", "", "", "", "", "А Б В ГДЕЖЗИКЛМН"},
         541,
         "А Б В "},
        {"a remark breaks after a hyphen", {"", "", "", "", "", "", "ЮГО-ЗАПАДНЫЙ"}, 541, "ЮГО-"},
        {"a word too long for a line is cut",
         {"", "", "", "", "", "", "ЖЖЖЖЖЖЖЖЖЖ ЖЖ"},
         541,
         "ЖЖЖЖ"},
        {"initials with blanks lose their last words", {"", "А. Б. В."}, 134, "А. "},
        {"line feeds are removed, a carriage return ends the first line",
         {"ИВА\nНОВ\rПЕТРОВ"},
         6,
         "ИВАНОВ"},
        {"an empty value prints nothing", {"", "", "", ""}, 358, std::nullopt},
    };
    for (const LineRow& row : rows) {
        SCOPED_TRACE(row.name);
        table.discard();
        sink = {};
        open({row.record});
        compose();
        std::optional<std::string> shown;
        for (const test::PageText& t : firstLine())
            if (std::abs(t.x - kBandLeft - px(row.pixelsLeft)) <
                px(row.pixelsLeft == 134 ? 26 : 56))
                shown = t.text;
        EXPECT_EQ(shown, row.shown);
    }
}

TEST_F(CompositionTest, WidthsFollowTheTextOrStayFixed) {
    open({{"КОНСТАНТИНОПОЛЬСКИЙ-ВОСКРЕСЕНСКИЙ", "А. Б.", "ЛЕНИНА\rНАБЕРЕЖНАЯ", "12"}});
    compose();
    const PageDrawing& page = sink.pages.at(0);
    // The long surname runs under the initials field's box, painted after it with the
    // field's fixed width, and under the street's box, as wide as its widest line (measured
    // here as Qt measures the whole string) though only the first is printed.
    const ReportFont& font = sink.document.fonts[3];
    QFont qfont = toQFont(font, font.points);
    qfont.setPixelSize(2000);
    const double widest = QFontMetricsF(qfont).horizontalAdvance(QStringLiteral("НАБЕРЕЖНАЯ")) /
                          2000 * font.points * 2540 / 72;
    const std::vector<Fill> surname = fillsAt(page, kBandLeft + px(6), DrawingOp::Kind::Text);
    auto onTheLine = [](std::vector<Fill> fills) {
        std::erase_if(fills, [](const Fill& f) { return f.y < kFirstLineTop; });
        return fills;
    };
    const std::vector<Fill> initials = onTheLine(fillsAt(page, kBandLeft + px(134)));
    const std::vector<Fill> street = onTheLine(fillsAt(page, kBandLeft + px(173)));
    ASSERT_EQ(surname.size(), 3u); // the two captions above, then the line
    ASSERT_EQ(initials.size(), 1u);
    ASSERT_EQ(street.size(), 1u);
    EXPECT_EQ(initials[0].width, px(134 + 26) - px(134));
    EXPECT_EQ(initials[0].y, kFirstLineTop + px(3));
    EXPECT_NEAR(initials[0].height, px(16), 1);
    EXPECT_NEAR(street[0].width, widest, 2);
    EXPECT_GT(initials[0].op, surname[2].op);
    EXPECT_GT(street[0].op, initials[0].op);
    EXPECT_TRUE(test::findText(test::textsOf(page), "ЛЕНИНА"));
    EXPECT_FALSE(test::findText(test::textsOf(page), "НАБЕРЕЖНАЯ"));

    // Centred values stand in the middle of their fixed boxes.
    for (const test::PageText& t : firstLine()) {
        if (t.text == "12") {
            const double width = measure(3).width(test::cp("12"));
            EXPECT_NEAR(t.x, kBandLeft + px(358) + (px(358 + 42) - px(358) - width) / 2, 1);
        }
    }
}

TEST_F(CompositionTest, DateAndTimeAreTakenOnEveryPageAndMidnightShowsTheDateAlone) {
    openNumbered(39);
    std::vector<QDateTime> clock{QDateTime(QDate(2026, 12, 9), QTime(0, 0)),
                                 QDateTime(QDate(2026, 12, 9), QTime(12, 34, 56))};
    std::size_t calls = 0;
    form.QuickRep1.setClock([&] { return clock[std::min(calls++, clock.size() - 1)]; });
    compose();
    ASSERT_EQ(sink.pages.size(), 2u);
    const QLocale locale = QLocale::system();
    const std::string date =
        locale.toString(QDate(2026, 12, 9), QLocale::ShortFormat).toStdString();
    const int x = kBandLeft + px(493);
    auto dateText = [&](const PageDrawing& page) {
        for (const test::PageText& t : test::textsOf(page))
            if (t.x == x && t.baseline < kFirstLineTop)
                return t.text;
        return std::string();
    };
    EXPECT_EQ(dateText(sink.pages[0]), date);
    // The tests run in the C locale: its long time format, without the zone.
    EXPECT_EQ(dateText(sink.pages[1]), date + " 12:34:56");
}

TEST_F(CompositionTest, ProgressAndStopsAfterARecord) {
    enum class End { Complete, Abandon, Finish };
    struct Row {
        const char* name;
        int records, stopAfter;
        End end;
        const char* calls;
        std::vector<int> percents;
        int currentRow;
    };
    const Row rows[] = {
        {"a full run", 3, -1, End::Complete, "begin page end", {33, 66, 100}, 2},
        {"abandoned after record 2", 3, 2, End::Abandon, "begin abort", {33, 66}, 1},
        {"finished after record 40: the pages so far",
         50,
         40,
         End::Finish,
         "begin page page end",
         {},
         39},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        table.discard();
        sink = {};
        observer = {};
        openNumbered(row.records);
        const auto run = form.QuickRep1.composition(sink, observer);
        run->begin();
        for (int placed = 0; placed != row.stopAfter && run->step(); ++placed) {
            // The run leaves the current record where the user has it.
            EXPECT_EQ(table.currentRow(), 0);
        }
        row.end == End::Abandon ? run->abandon() : run->finish();
        EXPECT_EQ(sink.calls, row.calls);
        if (!row.percents.empty()) {
            EXPECT_EQ(observer.percents, row.percents);
        }
        EXPECT_EQ(observer.records, row.stopAfter > 0 ? row.stopAfter : row.records);
        EXPECT_EQ(table.currentRow(), row.currentRow);
    }
    ASSERT_EQ(sink.pages.size(), 2u);
    EXPECT_EQ(lineTops(sink.pages[1], sink.document.fonts[2]).size(), 2u);
}

// The user searches, edits, inserts and deletes while a run goes on: each record the run
// can still reach is printed once, in stored order, as it was last posted; nothing is
// skipped, nothing printed twice, and the record being changed stays the user's.
TEST_F(CompositionTest, WhateverTheUserDoesMeanwhileEachMatchIsPrintedOnce) {
    openNumbered(100);
    table.setFiltered(true);
    const int surname = table.findField("Nsa_famili");
    // A search for surnames beginning with `text`; an empty text shows every record.
    auto search = [this](const std::string& text) {
        Condition condition;
        if (!text.empty())
            condition.comparisons.push_back(
                {0, CompareOp::Equal, test::cp(text), test::cp(text).size()});
        table.setFilter(text, condition);
    };
    std::vector<std::string> expected;
    for (int i = 0; i <= 9; ++i)
        expected.push_back("ИВАНОВ" + std::to_string(i));
    observer.onRecord = [&](int record) {
        switch (record) {
        case 10: // a search: the run goes on through its matches after the records printed
            search("ИВАНОВ1");
            break;
        case 11: // the first match (record 1, printed already) is deleted
            table.deleteRecord();
            break;
        case 12: // the search is cleared
            search("");
            break;
        case 20: // a record ahead is changed, one ahead deleted, one ahead inserted
            table.moveToRow(40);
            table.edit();
            table.setFieldText(surname, test::cp("ПЕТРОВ"));
            table.post();
            table.moveToRow(50);
            table.deleteRecord();
            table.moveToRow(60);
            table.insert();
            table.setFieldText(surname, test::cp("НОВЫЙ"));
            table.post();
            break;
        case 30: // an insert the user is still typing when the run passes and ends
            table.moveToRow(80);
            table.insert();
            table.setFieldText(surname, test::cp("НЕДОПИСАН"));
            break;
        }
    };
    for (int i = 10; i <= 12; ++i)
        expected.push_back("ИВАНОВ" + std::to_string(i));
    // With record 1 gone, row 40 holds record 41 and row 50 record 51; with record 51 gone
    // too, row 60 holds record 62.
    for (int i = 13; i <= 99; ++i) {
        if (i == 41)
            expected.push_back("ПЕТРОВ");
        else if (i == 62)
            expected.push_back("НОВЫЙ");
        if (i != 41 && i != 51)
            expected.push_back("ИВАНОВ" + std::to_string(i));
    }
    compose();
    std::vector<std::string> printed;
    for (const PageDrawing& page : sink.pages) {
        forEachOp(page, [&](const DrawingOp& op) {
            if (op.kind == DrawingOp::Kind::Text && op.x == kBandLeft + px(6) &&
                op.y > kFirstLineTop)
                printed.push_back(test::utf8(op.text));
        });
    }
    auto joined = [](const std::vector<std::string>& names) {
        std::string all;
        for (const std::string& name : names)
            all += name + " ";
        return all;
    };
    EXPECT_EQ(joined(printed), joined(expected));
    // The new record being typed is the user's still; the run did not move it.
    EXPECT_EQ(table.state(), RecordSet::State::Insert);
    EXPECT_EQ(table.fieldText(surname), test::cp("НЕДОПИСАН"));
}

TEST_F(CompositionTest, AnErrorDuringTheRunAbortsTheDocument) {
    struct FailingSink : test::RecordingSink {
        void addPage(PageDrawing page) override {
            RecordingSink::addPage(std::move(page));
            throw Error("Не удалось добавить лист");
        }
    } failing;
    openNumbered(50);
    EXPECT_THROW(form.QuickRep1.compose(failing, observer), Error);
    EXPECT_EQ(failing.calls, "begin page abort");
    EXPECT_EQ(observer.records, 38) << "page 1 ended, and failed, as record 39 came";
}

// A run into a sink that paints on a thread of its own. While that thread is held on a
// page, the run stops stepping with the event loop free, at most a few pages ahead; once
// let go, every page arrives in order and the end comes through the loop. A later run
// whose painting fails, or whose document fails to end, ends once, as failed.
TEST_F(CompositionTest, ARunIntoABusyThreadedSinkLeavesTheLoopFree) {
    struct HeldSink : test::RecordingSink {
        void addPage(PageDrawing page) override {
            {
                std::unique_lock lock(mutex);
                // Let go after a while in any case, so that a run that holds the loop fails
                // instead of hanging.
                if (!released.wait_for(lock, std::chrono::seconds(3), [this] { return open; }))
                    open = true;
            }
            RecordingSink::addPage(std::move(page));
            if (failOnPage == static_cast<int>(pages.size()))
                throw Error("Не удалось добавить лист");
        }
        bool isOpen() {
            const std::lock_guard lock(mutex);
            return open;
        }
        void letGo() {
            {
                const std::lock_guard lock(mutex);
                open = true;
            }
            released.notify_all();
        }
        std::mutex mutex;
        std::condition_variable released;
        bool open = false;
        int failOnPage = 0;
    };
    openNumbered(38 * 20);
    // Pages composed at different moments are compared.
    form.QuickRep1.setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 5, 7)); });
    auto held = std::make_unique<HeldSink>();
    HeldSink& inner = *held;
    ThreadedSink threaded(std::move(held));
    std::vector<RunEnd> ends;
    int turnsWhileHeld = 0;
    std::size_t pagesWhileHeld = 0;
    QTimer loopTurns;
    const auto runToEnd = [&] {
        SteppedRun run(form.QuickRep1.composition(threaded, observer));
        QEventLoop loop;
        QObject::connect(&run, &SteppedRun::ended, &loop, [&](RunEnd how) {
            ends.push_back(how);
            loop.quit();
        });
        QObject::connect(&loopTurns, &QTimer::timeout, &loop, [&] {
            if (!inner.isOpen() && ++turnsWhileHeld == 200) {
                pagesWhileHeld = observer.pages.size();
                inner.letGo();
            }
        });
        loopTurns.start(0);
        run.start();
        loop.exec();
        loopTurns.stop();
    };
    runToEnd();
    EXPECT_EQ(turnsWhileHeld, 200);
    EXPECT_GE(pagesWhileHeld, ThreadedSink::kWaitingPages);
    EXPECT_LE(pagesWhileHeld, ThreadedSink::kWaitingPages + 2);
    std::vector<PageDrawing> threadedPages = std::move(inner.pages);
    EXPECT_EQ(inner.calls.substr(inner.calls.size() - 3), "end");
    compose();
    EXPECT_EQ(threadedPages, sink.pages);
    EXPECT_EQ(threadedPages.size(), 20u);

    inner.calls.clear();
    inner.failOnPage = 3;
    ends.clear();
    runToEnd();
    EXPECT_EQ(ends, std::vector<RunEnd>{RunEnd::Failed});
    EXPECT_EQ(inner.calls, "begin page page page abort");
    EXPECT_EQ(test::takeEscapedErrors(), std::vector<std::string>{"Не удалось добавить лист"});

    // A sink that ends at once and fails to: the run ends once, as failed.
    struct FailingEnd : test::RecordingSink {
        void endDocument() override { throw Error("Не удалось закончить документ"); }
    } failingEnd;
    ends.clear();
    SteppedRun run(form.QuickRep1.composition(failingEnd, observer));
    QEventLoop loop;
    QObject::connect(&run, &SteppedRun::ended, &loop, [&](RunEnd how) {
        ends.push_back(how);
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
    });
    run.start();
    loop.exec();
    EXPECT_EQ(ends, std::vector<RunEnd>{RunEnd::Failed});
    EXPECT_EQ(test::takeEscapedErrors(), std::vector<std::string>{"Не удалось закончить документ"});
}

TEST_F(CompositionTest, AFieldTheSetLacksPrintsNothing) {
    std::vector<FieldDef> fields = standardDirectoryFields();
    fields.pop_back(); // no Nsa_prim
    open({{"ИВАНОВ"}}, fields);
    compose();
    for (const test::PageText& t : firstLine())
        EXPECT_EQ(t.text, "ИВАНОВ");
    EXPECT_EQ(firstLine().size(), 1u);
}

} // namespace
} // namespace lambreya
