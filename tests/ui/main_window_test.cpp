// The main window's layout, its keys and menu, the two modes and help.
#include "form_fixture.h"

#include "ui/help_context.h"
#include "ui/help_topic_window.h"
#include "ui/help_topics_window.h"
#include "ui/search_box.h"
#include "ui/window_icon.h"
#include "ui/window_parts.h"

#include <QAccessible>

#include <QActionGroup>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QToolTip>

namespace lambreya::test {
namespace {

QColor base(const QWidget* w) {
    return w->palette().color(QPalette::Base);
}

QColor text(const QWidget* w) {
    return w->palette().color(QPalette::Text);
}

class MainWindowTest : public FormTest {};

TEST_F(MainWindowTest, TheLayoutIsAsDrawn) {
    openWindow(numberedDirectory(50));
    TLambreyaForm& f = form();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Ламбрея"));
    // A fixed client area of 639 by 507 under the menu bar.
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_EQ(f.width(), 639);
    EXPECT_EQ(f.height() - f.menuBar()->height(), 507);
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    // Centred on the desktop of all monitors, the frame included, halves rounded down.
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    const QSize outer = f.frameGeometry().size();
    EXPECT_EQ(f.frameGeometry().topLeft(),
              desktop.topLeft() + QPoint(std::max(0, (desktop.width() - outer.width()) / 2),
                                         std::max(0, (desktop.height() - outer.height()) / 2)));

    EXPECT_EQ(f.Panel1->geometry(), QRect(0, 0, 639, 65));
    EXPECT_EQ(f.DBGrid1->geometry(), QRect(0, 65, 639, 418));
    EXPECT_EQ(f.ControlBar1->geometry(), QRect(0, 483, 639, 24));
    EXPECT_EQ(f.Label2->mapTo(f.ControlBar1, QPoint(0, 0)), QPoint(11, 2));
    EXPECT_EQ(f.Label1->geometry(), QRect(216, 1, 201, 17));
    EXPECT_EQ(f.Label1->text().size(), 25);
    EXPECT_EQ(f.Label1->text(), QStringLiteral("          ПОИСК          "));
    EXPECT_TRUE(f.Label1->font().bold() && f.Label1->font().underline());
    EXPECT_EQ(f.Label1->font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(f.Label1->font().pixelSize(), 15);
    EXPECT_EQ(f.Label2->text(), QStringLiteral("Нажмите F1 для вызова справки"));
    EXPECT_EQ(f.Label2->size(), QSize(621, 16));
    EXPECT_EQ(f.Label2->palette().color(QPalette::WindowText), look::kLime);
    EXPECT_TRUE(f.Label2->font().bold() && f.Label2->font().italic());

    struct Box {
        SearchBox* box;
        int left, width;
        QColor background, foreground;
        bool italic;
    };
    const Box boxes[] = {
        {f.Edit1_Famili, 12, 129, look::kPurple, look::kYellow, false},
        {f.Edit2_Initsi, 146, 33, look::kPurple, look::kYellow, false},
        {f.Edit3_Street, 184, 185, look::kAqua, look::windowText(), true},
        {f.Edit4_Home, 376, 33, look::kAqua, look::windowText(), true},
        {f.Edit5_Room, 416, 65, look::kAqua, look::windowText(), true},
        {f.Edit6_Tele, 488, 57, look::kGreen, look::kWhite, false},
        {f.Edit7_Prim, 551, 60, look::kBlue, look::kAqua, false},
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.box->objectName().toStdString());
        EXPECT_EQ(b.box->geometry(), QRect(b.left, 32, b.width, 24));
        EXPECT_EQ(base(b.box), b.background);
        EXPECT_EQ(text(b.box), b.foreground);
        EXPECT_TRUE(b.box->font().bold());
        EXPECT_EQ(b.box->font().italic(), b.italic);
        EXPECT_EQ(b.box->font().pixelSize(), 13);
        EXPECT_EQ(b.box->parentWidget(), f.Panel1);
    }

    const int widths[] = {131, 37, 191, 39, -1, -1, 65};
    const char* titles[] = {"Фамилия", "И.О.", "Улица", "Дом", "Квартира", "Телефон", "Примеч."};
    for (int c = 0; c < kDirectoryFieldCount; ++c) {
        EXPECT_EQ(grid().column(c).title.toStdString(), titles[c]);
        if (widths[c] > 0) {
            EXPECT_EQ(grid().columnWidth(c), widths[c]) << c;
        }
    }
    EXPECT_TRUE(grid().titleFont(6).italic());
    EXPECT_FALSE(grid().titleFont(6).underline());
    EXPECT_TRUE(grid().titleFont(0).underline());
    EXPECT_EQ(grid().column(6).titleAlignment, Qt::AlignLeft);
    EXPECT_EQ(grid().column(1).alignment, Qt::AlignHCenter);
    EXPECT_EQ(grid().focusPolicy(), Qt::ClickFocus);
}

TEST_F(MainWindowTest, TheStatusBandIsDraggedAlongTheStripByItsGrip) {
    openWindow(numberedDirectory(3));
    QWidget* band = form().ControlBar1->band();
    const QPoint start = form().Label2->mapTo(form().ControlBar1, QPoint(0, 0));
    QTest::mousePress(band, Qt::LeftButton, {}, QPoint(4, 10));
    QTest::mouseMove(band, QPoint(104, 10));
    QTest::mouseRelease(band, Qt::LeftButton, {}, QPoint(104, 10));
    EXPECT_EQ(form().Label2->mapTo(form().ControlBar1, QPoint(0, 0)), start + QPoint(100, 0));
    // Not by its middle, and never out of the strip.
    QTest::mousePress(band, Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseMove(band, QPoint(900, 10));
    QTest::mouseRelease(band, Qt::LeftButton, {}, QPoint(900, 10));
    EXPECT_EQ(form().Label2->mapTo(form().ControlBar1, QPoint(0, 0)), start + QPoint(100, 0));
    QTest::mousePress(band, Qt::LeftButton, {}, QPoint(4, 10));
    QTest::mouseMove(band, QPoint(2000, 10));
    QTest::mouseRelease(band, Qt::LeftButton, {}, QPoint(2000, 10));
    EXPECT_LT(band->x(), form().ControlBar1->width());
    EXPECT_GT(band->x(), 600);
}

TEST_F(MainWindowTest, DefaultColumnWidthsFollowTheFieldsOr64WhenClosed) {
    openWindowClosed();
    EXPECT_EQ(grid().columnWidth(4), 64);
    EXPECT_EQ(grid().columnWidth(5), 64);
    m_form.reset();

    std::vector<FieldDef> fields = standardDirectoryFields();
    fields[4].width = 20; // flats: wider than the title
    Directory dir;
    dir.fields = fields;
    dir.columns = ColumnStore(fields.size());
    openWindow(std::move(dir));
    const QFontMetrics cells(grid().cellFont(4));
    EXPECT_EQ(grid().columnWidth(4), 20 * cells.horizontalAdvance(QLatin1Char('0')) + 4);
    // Telephones (9 characters) or the title, whichever is wider.
    const int tele = 9 * QFontMetrics(grid().cellFont(5)).horizontalAdvance(QLatin1Char('0')) + 4;
    const int title =
        QFontMetrics(grid().titleFont(5)).horizontalAdvance(QStringLiteral("Телефон")) + 4;
    EXPECT_EQ(grid().columnWidth(5), std::max(tele, title));
}

TEST_F(MainWindowTest, TabAndShiftTabGoRoundTheBoxesOnly) {
    openWindow(numberedDirectory(5));
    const auto& boxes = form().searchBoxes();
    for (std::size_t i = 1; i <= boxes.size(); ++i) {
        press(Qt::Key_Tab);
        EXPECT_EQ(focus(), boxes[i % boxes.size()]) << i;
    }
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focus(), boxes[6]);
    // From the grid, Tab goes on to the boxes.
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, QPoint(50, 5));
    ASSERT_EQ(focus(), &grid());
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), boxes[0]);
}

TEST_F(MainWindowTest, BoxesTurnLettersIntoCapitalsAndRefuseForeignCharacters) {
    openWindow(numberedDirectory(5));
    type(QStringLiteral("иванов ёж abc"));
    EXPECT_EQ(form().Edit1_Famili->text(), QStringLiteral("ИВАНОВ ЁЖ ABC"));
    form().Edit1_Famili->clear();
    type(QStringLiteral("é中я"));
    EXPECT_EQ(form().Edit1_Famili->text(), QStringLiteral("Я"));
}

TEST_F(MainWindowTest, ShortcutsWorkAnywhereWithExactlyTheirModifiers) {
    openWindow(numberedDirectory(5));
    press(Qt::Key_F9, Qt::ShiftModifier);
    EXPECT_TRUE(form().viewMode());
    press(Qt::Key_F9);
    EXPECT_FALSE(form().viewMode());
    press(Qt::Key_F9); // from the grid too
    EXPECT_TRUE(form().viewMode());

    QSignalSpy exit(form().mmFile_Exit, &QAction::triggered);
    press(Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(exit.count(), 0);
    EXPECT_EQ(form().Edit1_Famili->text(), QString()); // nor did it reach the box as text

    QSignalSpy preview(form().mmFile_Preview, &QAction::triggered);
    press(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(preview.count(), 0);
    // The preview answers with a box of its own; close it as soon as it is up.
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(preview.count(), 1);
}

TEST_F(MainWindowTest, TheMenuHasItsCaptionsMarksAndShortcuts) {
    openWindow(numberedDirectory(5));
    TLambreyaForm& f = form();
    EXPECT_EQ(f.mmFile->title(), QStringLiteral("&Файл"));
    EXPECT_EQ(f.mmFile_Exit->text(), QStringLiteral("Вы&xод"));
    EXPECT_EQ(f.mmFile_Exit->text()[3], QLatin1Char('x')); // the Latin letter
    EXPECT_EQ(f.mmFile_Exit->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
    EXPECT_EQ(f.mmFile_Exit->shortcut().toString(QKeySequence::PortableText),
              QStringLiteral("Alt+X"));
    EXPECT_EQ(f.mmFile_Preview->shortcut().toString(QKeySequence::PortableText),
              QStringLiteral("Ctrl+P"));
    EXPECT_TRUE(f.N4->isSeparator());
    EXPECT_EQ(f.mmView_Mode->menuAction()->text(), QStringLiteral("&Режим"));
    EXPECT_TRUE(f.mmView_Mode_View->isChecked());
    EXPECT_FALSE(f.mmView_Mode_Edit->isChecked());
    EXPECT_EQ(f.mmView_Mode->defaultAction(), f.mmView_Mode_View);
    EXPECT_TRUE(f.mmView_Mode_View->actionGroup() &&
                f.mmView_Mode_View->actionGroup()->isExclusive());
    EXPECT_EQ(f.mmView_Mode_Edit->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_TRUE(f.mmView_Mode_View->shortcut().isEmpty());
    EXPECT_TRUE(f.mmOptions_InstantSearch->isCheckable());
    EXPECT_FALSE(f.mmOptions_InstantSearch->isChecked());
    EXPECT_EQ(f.mmHelp_Contents->text(), QStringLiteral("Со&держание"));
    EXPECT_EQ(f.mmHelp_Contents->shortcut(), QKeySequence(Qt::Key_F1));

    f.mmOptions_InstantSearch->trigger();
    EXPECT_TRUE(f.mmOptions_InstantSearch->isChecked());
    f.mmOptions_InstantSearchClick();
    EXPECT_FALSE(f.mmOptions_InstantSearch->isChecked());
}

TEST_F(MainWindowTest, EachModeAppliesAllItsSettings) {
    openWindow(numberedDirectory(30));
    TLambreyaForm& f = form();
    EXPECT_EQ(helpContext(f.Panel1), 0); // no help context before the first mode command

    f.mmView_Mode_EditClick();
    EXPECT_EQ(f.Label1->text(), QStringLiteral("      РЕДАКТИРОВАНИЕ     "));
    EXPECT_EQ(f.Label1->text().size(), 25);
    EXPECT_EQ(helpContext(f.Panel1), 2);
    for (SearchBox* box : f.searchBoxes())
        EXPECT_EQ(helpContext(box), 2);
    EXPECT_TRUE(f.DataSource1->autoEdit());
    EXPECT_TRUE(grid().options().testFlag(GridOption::Editing));
    EXPECT_FALSE(grid().options().testFlag(GridOption::RowSelect));
    EXPECT_EQ(f.mmView_Mode->defaultAction(), f.mmView_Mode_Edit);
    EXPECT_TRUE(f.mmView_Mode_Edit->isChecked());
    EXPECT_FALSE(f.mmView_Mode_View->isChecked());
    EXPECT_EQ(f.mmView_Mode_View->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_TRUE(f.mmView_Mode_Edit->shortcut().isEmpty());
    EXPECT_EQ(focus(), &grid());
    EXPECT_FALSE(f.viewMode());

    f.mmView_Mode_ViewClick();
    EXPECT_EQ(f.Label1->text(), QStringLiteral("          ПОИСК          "));
    EXPECT_EQ(helpContext(f.Edit4_Home), 1);
    EXPECT_FALSE(f.DataSource1->autoEdit());
    EXPECT_TRUE(grid().options().testFlag(GridOption::RowSelect));
    EXPECT_FALSE(grid().options().testFlag(GridOption::Editing));
    EXPECT_EQ(focus(), f.Edit1_Famili);
    EXPECT_EQ(f.mmView_Mode_Edit->shortcut(), QKeySequence(Qt::Key_F9));
}

TEST_F(MainWindowTest, EachModePaintsEveryColumnAsItsTableSays) {
    struct Colours {
        QColor background, text;
    };
    using namespace look;
    const QColor plain = windowText();
    // Columns 3 to 5 are never touched: they keep the colours of the layout.
    const Colours view[] = {{kPurple, kYellow}, {kPurple, kYellow}, {kAqua, kBlack}, {kAqua, plain},
                            {kAqua, plain},     {kGreen, kWhite},   {kBlue, kAqua}};
    const Colours edit[] = {{kAqua, kBlack}, {kAqua, kBlack}, {kAqua, kBlack}, {kAqua, plain},
                            {kAqua, plain},  {kAqua, kBlack}, {kAqua, kBlack}};
    openWindow(numberedDirectory(5));
    for (const bool viewMode : {false, true, false, true}) {
        viewMode ? form().mmView_Mode_ViewClick() : form().mmView_Mode_EditClick();
        const Colours* expected = viewMode ? view : edit;
        for (int c = 0; c < static_cast<int>(std::size(view)); ++c) {
            EXPECT_EQ(grid().column(c).background, expected[c].background)
                << (viewMode ? "view" : "edit") << " column " << c + 1;
            EXPECT_EQ(grid().column(c).text, expected[c].text)
                << (viewMode ? "view" : "edit") << " column " << c + 1;
        }
    }
}

TEST_F(MainWindowTest, ModeColoursLandByTheColumnsPlacesOnScreen) {
    openWindow(numberedDirectory(10));
    // "Телефон" dragged to the first place; "Квартира" is then sixth.
    grid().horizontalHeader()->moveSection(5, 0);
    form().mmView_Mode_ViewClick();
    EXPECT_EQ(grid().column(5).background, look::kPurple);
    EXPECT_EQ(grid().column(5).text, look::kYellow);
    EXPECT_EQ(grid().column(4).background, look::kGreen);
    EXPECT_EQ(grid().column(4).text, look::kWhite);
    EXPECT_EQ(grid().column(0).background, look::kPurple); // now second
}

TEST_F(MainWindowTest, ChoosingTheActiveModeAgainPutsTheFocusBack) {
    openWindow(numberedDirectory(10));
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, QPoint(50, 30));
    ASSERT_EQ(focus(), &grid());
    form().mmView_Mode_View->trigger();
    EXPECT_EQ(focus(), form().Edit1_Famili);
    EXPECT_TRUE(form().viewMode());
}

TEST_F(MainWindowTest, F1OpensHelpTopicsFromEveryControlInBothModes) {
    openWindow(numberedDirectory(10));
    for (bool edit : {false, true}) {
        if (edit)
            form().mmView_Mode_EditClick();
        for (QWidget* target :
             {static_cast<QWidget*>(form().Edit3_Street), static_cast<QWidget*>(&grid())}) {
            target->setFocus();
            m_help.quit();
            press(Qt::Key_F1);
            ASSERT_NE(m_help.topicsWindow(), nullptr);
            EXPECT_TRUE(m_help.topicsWindow()->isVisible());
        }
    }
    EXPECT_EQ(form().Edit3_Street->text(), QString()); // F1 never reached the box
}

TEST_F(MainWindowTest, AContextHelpRequestOpensTheModesTopic) {
    openWindow(numberedDirectory(10));
    form().requestContextHelp(form().Edit3_Street);
    EXPECT_EQ(m_help.topicWindow(), nullptr); // no help context before a mode command

    form().mmView_Mode_ViewClick();
    QHelpEvent request(QEvent::WhatsThis, form().Edit3_Street->mapTo(&form(), QPoint(3, 3)),
                       QPoint());
    QApplication::sendEvent(&form(), &request);
    ASSERT_NE(m_help.topicWindow(), nullptr);
    EXPECT_EQ(m_help.topicWindow()->currentContext(), 1);

    form().mmView_Mode_EditClick();
    form().requestContextHelp(form().Panel1);
    EXPECT_EQ(m_help.topicWindow()->currentContext(), 2);
    m_help.quit();
    form().requestContextHelp(&grid());
    EXPECT_FALSE(m_help.topicWindow()->isVisible());
}

TEST_F(MainWindowTest, TheGridFollowsTheRecordSetAndAClickMovesIt) {
    openWindow(numberedDirectory(1000));
    table().next();
    EXPECT_EQ(grid().currentIndex().row(), 1);
    table().moveBy(500);
    EXPECT_EQ(grid().currentIndex().row(), 501);
    const int rows = grid().visibleRowCount();
    const int top = grid().verticalScrollBar()->value();
    EXPECT_LE(top, 501);
    EXPECT_GT(top + rows, 501);

    // A located record stands in the middle of the visible rows.
    ASSERT_TRUE(table().locate("Nsa_famili", cp("ИВАНОВ700"), false));
    EXPECT_EQ(grid().verticalScrollBar()->value(), 700 - (rows - 1) / 2);
    // Near the end, more records stand above it.
    ASSERT_TRUE(table().locate("Nsa_famili", cp("ИВАНОВ998"), false));
    EXPECT_EQ(grid().verticalScrollBar()->value(), 1000 - rows);

    const QRect cell = grid().visualRect(grid().model()->index(996, 2));
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(table().currentRow(), 996);
    EXPECT_EQ(grid().currentIndex().row(), 996);
}

TEST_F(MainWindowTest, F1OnAHighlightedMenuItemAsksForTopicZero) {
    openWindow(numberedDirectory(3));
    QMenuBar* bar = form().menuBar();
    for (QMenu* menu : {form().mmFile, form().mmView_Mode}) {
        m_help.quit();
        bar->setActiveAction(form().mmFile->menuAction());
        if (menu == form().mmView_Mode) {
            bar->setActiveAction(form().mmView->menuAction());
            form().mmView->setActiveAction(form().mmView_Mode->menuAction());
            form().mmView_Mode->popup(QPoint(40, 40));
        }
        ASSERT_EQ(QApplication::activePopupWidget(), menu);
        QTest::keyClick(menu, Qt::Key_F1);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        ASSERT_NE(m_help.topicsWindow(), nullptr);
        EXPECT_TRUE(m_help.topicsWindow()->isVisible());
        EXPECT_EQ(m_help.topicsWindow()->notice(), QString()); // topic 0 is no particular one
    }
}

TEST_F(MainWindowTest, AssistiveTechnologyReadsTheColumnTitlesAndTheStatus) {
    openWindow(numberedDirectory(20));
    QAccessibleInterface* cells = QAccessible::queryAccessibleInterface(&grid());
    ASSERT_NE(cells, nullptr);
    ASSERT_NE(cells->tableInterface(), nullptr);
    EXPECT_EQ(cells->text(QAccessible::Name), QStringLiteral("Справочник"));
    const QStringList titles = {QStringLiteral("Фамилия"),  QStringLiteral("И.О."),
                                QStringLiteral("Улица"),    QStringLiteral("Дом"),
                                QStringLiteral("Квартира"), QStringLiteral("Телефон"),
                                QStringLiteral("Примеч.")};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(cells->tableInterface()->columnDescription(i), titles[i]);
        // Each search box is named after the column it searches.
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(
            form().searchBoxes()[static_cast<std::size_t>(i)]);
        EXPECT_EQ(box->role(), QAccessible::EditableText);
        EXPECT_EQ(box->text(QAccessible::Name), titles[i]);
    }

    // The caption and the status line are read as the labels they are.
    for (QLabel* label : {static_cast<QLabel*>(form().Label1), form().Label2}) {
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(label);
        ASSERT_NE(status, nullptr);
        EXPECT_EQ(status->role(), QAccessible::StaticText);
        EXPECT_EQ(status->text(QAccessible::Name), label->text());
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form().Label2)->text(QAccessible::Name),
              TLambreyaForm::kStatusHint);
}

TEST_F(MainWindowTest, TheWindowCarriesItsOwnIcon) {
    openWindow(numberedDirectory(3));
    const QImage icon = lambreyaIconImage();
    EXPECT_EQ(icon.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x)
            colours.insert(icon.pixel(x, y));
    }
    EXPECT_LE(colours.size(), 16);
    EXPECT_FALSE(form().windowIcon().isNull());
    // The desktop's copy of the icon shows the same pixels.
    const QImage shipped(QStringLiteral(LAMBREYA_SOURCE_DIR "/packaging/icons/lambreya-32.png"));
    EXPECT_EQ(shipped.convertToFormat(QImage::Format_ARGB32),
              icon.convertToFormat(QImage::Format_ARGB32));
}

TEST_F(MainWindowTest, NoControlShowsATooltip) {
    openWindow(numberedDirectory(3));
    for (QWidget* control : std::initializer_list<QWidget*>{
             form().Edit1_Famili, form().Edit7_Prim, form().Label1, form().Label2, &grid()}) {
        control->setToolTip(QStringLiteral("x"));
        QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(control, &tip);
        EXPECT_FALSE(QToolTip::isVisible()) << control->objectName().toStdString();
        QToolTip::hideText();
    }
}

} // namespace
} // namespace lambreya::test
