// Ctrl+P in the main window: the box texts in the report, the preview, and everything the
// user can do in the main window while the report walks Table1 or its window waits.
#include "form_fixture.h"
#include "support/walk_actions.h"

#include "report/page_store.h"
#include "report/quick_report_runs.h"
#include "report/report_preview.h"
#include "report/report_preview_window.h"
#include "report/search_res_form.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace lambreya::test {
namespace {

class PreviewCommandTest : public FormTest {
protected:
    void open(Directory directory) {
        openWindow(std::move(directory));
        m_report = std::make_unique<TSearchResForm>(table());
        m_runs = std::make_unique<QuickReportRuns>(m_report->QuickRep1);
        m_preview = std::make_unique<ReportPreview>(
            *m_runs, [this](const QString& message) { m_errors.push_back(message); });
        // Messages after every record, so that an action lands where it was meant.
        m_preview->setMessageSlice(0);
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
    // Ctrl+P; `whenShown` acts once the run has ended, in the waiting window, and is
    // expected to close it.
    void ctrlP(std::function<void(ReportPreviewWindow&)> whenShown) {
        QTimer poll;
        whenBuilt(poll, *m_preview, std::move(whenShown));
        press(Qt::Key_P, Qt::ControlModifier);
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
    std::unique_ptr<QuickReportRuns> m_runs;
    std::unique_ptr<ReportPreview> m_preview;
    std::vector<QString> m_errors;
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
    EXPECT_EQ(grid().currentIndex().row(), 19) << "the grid followed the walk";
    EXPECT_EQ(status(), statusBefore);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form()));
    EXPECT_EQ(focus(), form().Edit1_Famili);
    EXPECT_TRUE(m_errors.empty());
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
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_TRUE(m_errors[0].contains(QStringLiteral("Nsa_famili"))) << m_errors[0].toStdString();
    EXPECT_EQ(pages, 0);
    EXPECT_FALSE(running);
    EXPECT_EQ(table().state(), RecordSet::State::Insert);
    EXPECT_EQ(utf8(table().fieldText(1)), "А.Б.");
}

// What the user does in the main window while the run walks Table1.
struct Reentry {
    const char* name;
    std::function<void(TLambreyaForm&)> act;
    int records; // in the view once the run has ended
};

TEST_F(PreviewCommandTest, WhateverTheUserDoesMeanwhileTheRunGoesOnOverTheViewAsItIs) {
    const Reentry cases[] = {
        {"a search",
         [](TLambreyaForm& f) {
             f.Edit1_Famili->setText(QStringLiteral("ПЕТ"));
             f.Label1Click();
         },
         40},
        {"the modes",
         [](TLambreyaForm& f) {
             f.mmView_Mode_EditClick();
             f.mmView_Mode_ViewClick();
         },
         200},
        {"an edit",
         [](TLambreyaForm& f) {
             f.mmView_Mode_EditClick();
             f.Table1.edit();
             f.Table1.setFieldText(0, cp("ЗАХАРОВ"));
         },
         200},
        {"an added record",
         [](TLambreyaForm& f) {
             f.mmView_Mode_EditClick();
             f.Table1.append();
             f.Table1.setFieldText(0, cp("НОВИКОВ"));
             f.Table1.post();
         },
         201},
        {"a deletion", [](TLambreyaForm& f) { f.Table1.deleteRecord(); }, 199},
        {"Ctrl+P",
         [](TLambreyaForm& f) {
             f.Edit3_Street->setText(QStringLiteral("ЛЕНИНА"));
             f.mmFile_PreviewClick();
         },
         200},
    };
    for (const Reentry& c : cases) {
        SCOPED_TRACE(c.name);
        open(numberedDirectory(200));
        {
            // The user goes before the window and its Table1.
            WalkActions user(table());
            user.at(1, 60, [this, &c] { c.act(form()); });
            int pages = 0;
            ctrlP([&](ReportPreviewWindow& window) {
                pages = window.pageStore().pageCount();
                close(window);
            });
            EXPECT_GT(pages, 1);
            EXPECT_EQ(m_windows, 1);
            EXPECT_EQ(table().recordCount(), c.records);
            EXPECT_EQ(table().currentRow(), c.records - 1);
            EXPECT_EQ(grid().currentIndex().row(), c.records - 1);
            EXPECT_EQ(table().state(), RecordSet::State::Browse);
            EXPECT_TRUE(m_errors.empty()) << m_errors.front().toStdString();
        }
        TearDown();
        m_windows = 0;
    }
}

} // namespace
} // namespace lambreya::test
