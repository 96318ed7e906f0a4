// Ctrl+P in the main window: the box texts in the report, the preview, and everything the
// user can do in the main window while the report walks Table1 or its window waits.
#include "form_fixture.h"
#include "support/walk_actions.h"

#include "report/page_drawing.h"
#include "report/page_store.h"
#include "report/quick_report.h"
#include "report/report_preview.h"
#include "report/report_preview_window.h"
#include "report/search_res_form.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace lambreya::test {
namespace {

class PreviewCommandTest : public FormTest {
protected:
    void open(Directory directory) {
        openWindow(std::move(directory));
        m_report = std::make_unique<TSearchResForm>(table());
        m_preview = std::make_unique<ReportPreview>(m_report->QuickRep1);
        takeEscapedErrors();
        QObject::connect(m_preview.get(), &ReportPreview::windowOpened,
                         [this](ReportPreviewWindow*) { ++m_windows; });
        form().SearchResForm = m_report.get();
        form().QuickRep1Preview = m_preview.get();
    }
    void TearDown() override {
        if (m_form) {
            form().QuickRep1Preview = nullptr;
            form().SearchResForm = nullptr;
        }
        m_preview.reset();
        FormTest::TearDown();
    }
    // Ctrl+P; `whenShown` acts once the run has ended, in the window that stays open, and
    // is expected to close it.
    void ctrlP(std::function<void(ReportPreviewWindow&)> whenShown) {
        whenRunEnds(*m_preview, std::move(whenShown));
        press(Qt::Key_P, Qt::ControlModifier);
        untilPreviewCloses(*m_preview);
    }
    QStringList labels() const {
        QStringList captions;
        for (ReportLabel* label : {m_report->FamiliFilter_QRLabel, m_report->InitsiFilter_QRLabel,
                                   m_report->StreetFilter_QRLabel, m_report->HomeFilter_QRLabel,
                                   m_report->RoomFilter_QRLabel, m_report->TeleFilter_QRLabel,
                                   m_report->PrimFilter_QRLabel})
            captions << label->caption();
        return captions;
    }
    static void close(ReportPreviewWindow& window) { window.ExitButton->click(); }

    std::unique_ptr<TSearchResForm> m_report;
    std::unique_ptr<ReportPreview> m_preview;
    int m_windows = 0;
};

TEST_F(PreviewCommandTest, TheBoxesAsTypedHeadTheMatchesOfTheFilterInForce) {
    open(numberedDirectory(100));
    type(QStringLiteral("ПЕТ"));
    form().Label1Click(); // 20 matches
    form().Edit6_Tele->setText(QStringLiteral("22"));
    // The surname box edited again but not left: its filter is not applied.
    form().Edit1_Famili->setFocus();
    type(QStringLiteral("Р"));
    const std::string statusBefore = status();
    int pages = 0;
    QString pagePanel;
    ctrlP([&](ReportPreviewWindow& window) {
        pages = window.pageStore().pageCount();
        pagePanel = window.pagePanel()->text();
        // Ctrl+P again while the window is open: only the labels change.
        form().Edit2_Initsi->setText(QStringLiteral("А"));
        form().mmFile_PreviewClick();
        close(window);
    });
    EXPECT_EQ(
        labels(),
        QStringList(
            {QStringLiteral("ПЕТР"), QStringLiteral("А"), {}, {}, {}, QStringLiteral("22"), {}}));
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(pagePanel, QStringLiteral("Лист 1 из 1"));
    EXPECT_EQ(m_windows, 1);
    // The last match is current, so that Up browses from there; the status line stays.
    EXPECT_EQ(table().currentRow(), 19);
    EXPECT_EQ(utf8(table().fieldText(0)), "ПЕТРОВ99");
    EXPECT_EQ(grid().currentIndex().row(), 19) << "the grid shows it";
    EXPECT_EQ(status(), statusBefore);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form()));
    EXPECT_EQ(focus(), form().Edit1_Famili);
    EXPECT_TRUE(takeEscapedErrors().empty());
}

TEST_F(PreviewCommandTest, AGridEditThatCannotBePostedEndsTheRunAndIsKept) {
    Directory directory = numberedDirectory(100);
    directory.fields[0].required = true;
    open(std::move(directory));
    form().mmView_Mode_EditClick();
    table().insert();
    table().setFieldText(1, cp("А.Б."));
    int pages = -1;
    bool running = true;
    ctrlP([&](ReportPreviewWindow& window) {
        pages = window.pageStore().pageCount();
        running = m_preview->running();
        close(window);
    });
    const std::vector<std::string> errors = takeEscapedErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Nsa_famili"), std::string::npos) << errors[0];
    EXPECT_EQ(pages, 0);
    EXPECT_FALSE(running);
    EXPECT_EQ(table().state(), RecordSet::State::Insert);
    EXPECT_EQ(utf8(table().fieldText(1)), "А.Б.");
}

// What the user does in the main window, with the keyboard and the mouse, while the run goes
// through the records, one step of the user's between two records of the run: the change
// lands in the record the user chose and nowhere else, and each match is printed once.
struct Reentry {
    const char* name;
    std::vector<std::function<void()>> steps;
    // The surnames in stored order once the run has ended, from those of the directory.
    std::function<void(std::vector<std::string>&)> change;
    int printed;
};

TEST_F(PreviewCommandTest, WhatTheUserDoesMeanwhileLandsWhereTheUserChoseAndEachMatchPrintsOnce) {
    // The user comes back to the main window from the preview and clicks a surname.
    auto clickSurname = [this](int row) {
        return [this, row] {
            form().activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
            form().mmView_Mode_EditClick();
            const QModelIndex cell = grid().model()->index(row, 0);
            QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                              grid().visualRect(cell).center());
        };
    };
    auto key = [this](int pressed) { return [this, pressed] { press(pressed); }; };
    auto typing = [this](const char* text) {
        return [this, text] { type(QString::fromUtf8(text)); };
    };
    const Reentry cases[] = {
        {"a surname typed into a cell clicked, then Down, which posts it",
         {clickSurname(3), typing("ЯЯЯ"), key(Qt::Key_Down)},
         [](std::vector<std::string>& surnames) { surnames[3] = "ЯЯЯ"; },
         200},
        {"a record inserted and typed",
         {clickSurname(5), key(Qt::Key_Insert), typing("НОВЫЙ"), key(Qt::Key_Down)},
         [](std::vector<std::string>& surnames) { surnames.insert(surnames.begin() + 5, "НОВЫЙ"); },
         200},
        {"a deletion confirmed",
         {clickSurname(7),
          [this] {
              answerNextDialog<QMessageBox>(
                  [](QMessageBox& box) { box.defaultButton()->click(); }); // OK
              press(Qt::Key_Delete, Qt::ControlModifier);
          }},
         [](std::vector<std::string>& surnames) { surnames.erase(surnames.begin() + 7); },
         200},
        {"a search: the matches after those printed",
         {[this] {
             form().Edit1_Famili->setText(QStringLiteral("ПЕТ"));
             form().Label1Click();
         }},
         [](std::vector<std::string>&) {},
         61 + 28},
        {"Ctrl+P",
         {[this] {
             form().Edit3_Street->setText(QStringLiteral("ЛЕНИНА"));
             form().mmFile_PreviewClick();
         }},
         [](std::vector<std::string>&) {},
         200},
    };
    for (const Reentry& c : cases) {
        SCOPED_TRACE(c.name);
        open(numberedDirectory(200));
        std::vector<std::string> expected;
        for (int row = 0; row < 200; ++row)
            expected.push_back(utf8(table().rowText(row, 0)));
        c.change(expected);
        {
            // The user goes before the window and its Table1.
            WalkActions user(*m_preview);
            for (std::size_t step = 0; step < c.steps.size(); ++step)
                user.at(1, 60 + static_cast<int>(step), c.steps[step]);
            int printed = 0;
            ctrlP([&](ReportPreviewWindow& window) {
                for (const PageDrawing& page : window.pageStore().pages()) {
                    forEachOp(page, [&](const DrawingOp& op) {
                        const std::string text = utf8(op.text);
                        for (const char* surname : {"ИВАНОВ", "ПЕТРОВ", "ЯЯЯ", "НОВЫЙ"})
                            printed +=
                                op.kind == DrawingOp::Kind::Text && text.rfind(surname, 0) == 0;
                    });
                }
                close(window);
            });
            EXPECT_EQ(printed, c.printed);
            EXPECT_EQ(m_windows, 1);
            std::vector<std::string> surnames;
            const Directory& dir = table().directory();
            for (const RecordId id : dir.order)
                surnames.push_back(utf8(dir.columns.value(id, 0)));
            // Where the directory differs from what the user did, record by record.
            std::string differences;
            for (std::size_t i = 0; i < std::max(surnames.size(), expected.size()); ++i) {
                const std::string is = i < surnames.size() ? surnames[i] : "-";
                const std::string was = i < expected.size() ? expected[i] : "-";
                if (is != was)
                    differences += std::to_string(i) + ": " + is + " for " + was + "; ";
            }
            EXPECT_EQ(differences, "");
            // After the run the last match is current, and the grid shows it.
            const int last = table().recordCount() - 1;
            EXPECT_EQ(table().currentRow(), last);
            EXPECT_EQ(grid().currentIndex().row(), last);
            EXPECT_EQ(table().state(), RecordSet::State::Browse);
            const std::vector<std::string> errors = takeEscapedErrors();
            EXPECT_TRUE(errors.empty()) << errors.front();
        }
        TearDown();
        m_windows = 0;
    }
}

} // namespace
} // namespace lambreya::test
