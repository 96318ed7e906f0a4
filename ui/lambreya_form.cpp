#include "ui/lambreya_form.h"

#include "data/guarded.h"
#include "ui/data_source.h"
#include "ui/db_grid.h"
#include "ui/help_context.h"
#include "ui/help_viewer.h"
#include "ui/look.h"
#include "ui/menu_help.h"
#include "ui/menu_item_accessibility.h"
#include "ui/no_tooltips.h"
#include "ui/window_icon.h"
#include "ui/window_parts.h"

#include "report/report_preview.h"
#include "report/search_res_form.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QWindow>

namespace lambreya {

namespace {

// The place and look of each search box, in the fields' order.
struct BoxLayout {
    int left;
    int width;
    QColor background;
    QColor text; // invalid: the window text colour
    int styles;
};

const std::array<BoxLayout, kDirectoryFieldCount> kBoxes = {{
    {12, 129, look::kPurple, look::kYellow, look::Bold},
    {146, 33, look::kPurple, look::kYellow, look::Bold},
    {184, 185, look::kAqua, QColor(), look::Bold | look::Italic},
    {376, 33, look::kAqua, QColor(), look::Bold | look::Italic},
    {416, 65, look::kAqua, QColor(), look::Bold | look::Italic},
    {488, 57, look::kGreen, look::kWhite, look::Bold},
    {551, 60, look::kBlue, look::kAqua, look::Bold},
}};

std::vector<GridColumn> gridColumns() {
    using look::Bold, look::Italic, look::Underline;
    const QColor windowText = look::windowText();
    // The look of each column, in the fields' order; the fields give names and titles.
    std::vector<GridColumn> columns = {
        {QString(), QString(), Qt::AlignHCenter, Bold | Underline, look::kPurple, look::kYellow,
         Bold, Qt::AlignLeft, 131},
        {QString(), QString(), Qt::AlignHCenter, Bold | Underline, look::kPurple, look::kYellow,
         Bold, Qt::AlignHCenter, 37},
        {QString(), QString(), Qt::AlignHCenter, Bold | Underline, look::kAqua, look::kBlack,
         Bold | Italic, Qt::AlignLeft, 191},
        {QString(), QString(), Qt::AlignHCenter, Bold | Underline, look::kAqua, windowText,
         Bold | Italic, Qt::AlignHCenter, 39},
        {QString(), QString(), Qt::AlignHCenter, Bold | Underline, look::kAqua, windowText,
         Bold | Italic, Qt::AlignHCenter, 0},
        {QString(), QString(), Qt::AlignHCenter, Bold | Underline, look::kGreen, look::kWhite, Bold,
         Qt::AlignHCenter, 0},
        {QString(), QString(), Qt::AlignLeft, Bold | Italic, look::kBlue, look::kAqua, Bold,
         Qt::AlignLeft, 65},
    };
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columns[i].fieldName = QString::fromUtf8(kDirectoryFields.at(i).name);
        columns[i].title = QString::fromUtf8(kDirectoryFields.at(i).title);
    }
    return columns;
}

QStringList gridFields() {
    QStringList names;
    for (const GridColumn& c : gridColumns())
        names << c.fieldName;
    return names;
}

const GridOptions kViewOptions = GridOption::Titles | GridOption::Indicator |
                                 GridOption::ColumnResize | GridOption::ColLines |
                                 GridOption::RowLines | GridOption::Tabs | GridOption::RowSelect |
                                 GridOption::AlwaysShowSelection | GridOption::ConfirmDelete;
const GridOptions kEditOptions = GridOption::Editing | GridOption::Titles | GridOption::Indicator |
                                 GridOption::ColumnResize | GridOption::ColLines |
                                 GridOption::RowLines | GridOption::Tabs |
                                 GridOption::AlwaysShowSelection | GridOption::ConfirmDelete;

void setColours(QWidget* w, const QColor& background, const QColor& text,
                QPalette::ColorRole role) {
    QPalette p = w->palette();
    p.setColor(role, background);
    p.setColor(role == QPalette::Base ? QPalette::Text : QPalette::WindowText, text);
    w->setPalette(p);
}

} // namespace

TLambreyaForm::TLambreyaForm(HelpViewer* helpViewer, QWidget* parent)
    : QMainWindow(parent)
    , m_helpViewer(helpViewer) {
    setObjectName(QStringLiteral("LambreyaForm"));
    setWindowTitle(QStringLiteral("Ламбрея"));
    setWindowIcon(lambreyaIcon());
    // A single border, a system menu and a minimise button; no maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(look::font(QStringLiteral("MS Sans Serif"), 13, look::Regular));
    setColours(this, look::buttonFace(), look::windowText(), QPalette::Window);
    Table1.setCompiler(&m_compiler);
    Table1.setFileName(QStringLiteral("kalvest.cds"));
    createComponents();
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    suppressToolTips(this);
}

TLambreyaForm::~TLambreyaForm() {
    // The grid and its data source follow Table1, a member that is gone before the
    // window's child objects would be destroyed: they go first.
    delete DBGrid1;
    delete DataSource1;
}

void TLambreyaForm::createComponents() {
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    DataSource1 = new DataSource(Table1, gridFields(), this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    createGrid();

    Panel1 = new SearchPanel(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, kClientWidth, 65);

    Label1 = new CaptionLabel(kSearchCaption, Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(216, 1, 201, 17);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(look::timesFont(15, look::Bold | look::Underline));
    Label1->setAutoFillBackground(true);
    setColours(Label1, look::kMaroon, look::kWhite, QPalette::Window);
    connectGuarded(Label1, &CaptionLabel::clicked, this, &TLambreyaForm::Label1Click);

    createSearchBoxes();
    createStatusStrip();
    createMenu();
}

void TLambreyaForm::createGrid() {
    DBGrid1 = new DBGrid(*DataSource1, centralWidget());
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Справочник"));
    DBGrid1->setGeometry(0, 65, kClientWidth, 418);
    DBGrid1->setColumns(gridColumns());
    DBGrid1->setOptions(kViewOptions);
}

void TLambreyaForm::createSearchBoxes() {
    SearchBox** named[] = {&Edit1_Famili, &Edit2_Initsi, &Edit3_Street, &Edit4_Home,
                           &Edit5_Room,   &Edit6_Tele,   &Edit7_Prim};
    for (int i = 0; i < kDirectoryFieldCount; ++i) {
        const auto field = static_cast<std::size_t>(i);
        const BoxLayout& layout = kBoxes[field];
        auto* box = new SearchBox(i, Panel1);
        box->setObjectName(QString::fromUtf8(kDirectoryFields[field].searchBox));
        box->setGeometry(layout.left, 32, layout.width, 24);
        box->setFont(look::timesFont(13, layout.styles));
        setColours(box, layout.background, layout.text.isValid() ? layout.text : look::windowText(),
                   QPalette::Base);
        box->setHandlers(this);
        // Read out as the title of the column it searches, which it stands above.
        box->setAccessibleName(QString::fromUtf8(kDirectoryFields[field].title));
        *named[field] = box;
        m_boxes[field] = box;
    }
    // The boxes are the window's only tab stops: Tab and Shift+Tab go round them.
    for (std::size_t i = 0; i + 1 < m_boxes.size(); ++i)
        setTabOrder(m_boxes[i], m_boxes[i + 1]);
    setTabOrder(Edit7_Prim, DBGrid1);
    Edit1_Famili->setFocus();
}

void TLambreyaForm::createStatusStrip() {
    ControlBar1 = new ControlBar(centralWidget());
    ControlBar1->setGeometry(0, kClientHeight - ControlBar::kHeight, kClientWidth,
                             ControlBar::kHeight);
    Label2 = new QLabel(kStatusHint, ControlBar1->band());
    Label2->setObjectName(QStringLiteral("Label2"));
    // 11 and 2 from the strip's corner, filling the band beside its grip.
    Label2->setGeometry(
        QRect(ControlBar1->band()->mapFrom(ControlBar1, QPoint(11, 2)), QSize(621, 16)));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(look::timesFont(15, look::Bold | look::Italic));
    Label2->setAutoFillBackground(true);
    setColours(Label2, look::kMaroon, look::kLime, QPalette::Window);
}

void TLambreyaForm::createMenu() {
    // A checkable item's mark belongs to its handler: the automatic toggle of a click is
    // taken back before the handler runs.
    auto wire = [this](QAction* action, void (TLambreyaForm::*handler)()) {
        connectGuarded(action, &QAction::triggered, this, [this, action, handler] {
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            (this->*handler)();
        });
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    mmFile = bar->addMenu(QStringLiteral("&Файл"));
    mmFile_Preview = mmFile->addAction(QStringLiteral("&Печать"));
    mmFile_Preview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    wire(mmFile_Preview, &TLambreyaForm::mmFile_PreviewClick);
    N4 = mmFile->addSeparator();
    // The access key of "Выход" is the Latin x.
    mmFile_Exit = mmFile->addAction(QStringLiteral("Вы&xод"));
    // Read out as the Russian word, not with the Latin letter of its caption.
    setAccessibleMenuItemName(mmFile_Exit, QStringLiteral("Выход"));
    mmFile_Exit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    wire(mmFile_Exit, &TLambreyaForm::mmFile_ExitClick);

    mmView = bar->addMenu(QStringLiteral("&Вид"));
    mmView_Mode = mmView->addMenu(QStringLiteral("&Режим"));
    m_modeGroup = new QActionGroup(this);
    m_modeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    mmView_Mode_View = mmView_Mode->addAction(QStringLiteral("&Просмотр"));
    mmView_Mode_Edit = mmView_Mode->addAction(QStringLiteral("&Редактирование"));
    for (QAction* item : {mmView_Mode_View, mmView_Mode_Edit}) {
        item->setCheckable(true);
        m_modeGroup->addAction(item);
    }
    mmView_Mode_View->setChecked(true);
    mmView_Mode->setDefaultAction(mmView_Mode_View);
    mmView_Mode_Edit->setShortcut(QKeySequence(Qt::Key_F9));
    wire(mmView_Mode_View, &TLambreyaForm::mmView_Mode_ViewClick);
    wire(mmView_Mode_Edit, &TLambreyaForm::mmView_Mode_EditClick);

    mmOptions = bar->addMenu(QStringLiteral("&Настройка"));
    mmOptions_InstantSearch = mmOptions->addAction(QStringLiteral("Немедленный поиск"));
    mmOptions_InstantSearch->setCheckable(true);
    wire(mmOptions_InstantSearch, &TLambreyaForm::mmOptions_InstantSearchClick);

    mmHelp = bar->addMenu(QStringLiteral("&Справка"));
    mmHelp_Contents = mmHelp->addAction(QStringLiteral("Со&держание"));
    mmHelp_Contents->setShortcut(QKeySequence(Qt::Key_F1));
    wire(mmHelp_Contents, &TLambreyaForm::mmHelp_ContentsClick);

    for (QAction* a : {mmFile_Preview, mmFile_Exit, mmView_Mode_View, mmView_Mode_Edit,
                       mmOptions_InstantSearch, mmHelp_Contents})
        a->setShortcutContext(Qt::WindowShortcut);
    // No menu item has a help context: help on one asks for topic 0.
    installMenuHelp(bar, [this] { m_helpViewer->showContext(kHelpFile, 0, this); });
}

bool TLambreyaForm::viewMode() const {
    return mmView_Mode_View->isChecked();
}

// --- Modes --------------------------------------------------------------------------------

void TLambreyaForm::mmView_Mode_ViewClick() {
    applyMode(true);
}

void TLambreyaForm::mmView_Mode_EditClick() {
    applyMode(false);
}

void TLambreyaForm::applyMode(bool view) {
    Label1->setText(view ? kSearchCaption : kEditCaption);

    const int context = view ? 1 : 2;
    setHelpContext(Panel1, context);
    for (SearchBox* box : m_boxes)
        setHelpContext(box, context);

    DataSource1->setAutoEdit(!view);
    DBGrid1->setOptions(view ? kViewOptions : kEditOptions);

    // By the columns' places on screen at this moment, not by their fields.
    const QColor first = view ? look::kPurple : look::kAqua;
    const QColor firstText = view ? look::kYellow : look::kBlack;
    DBGrid1->setColumnColors(0, first, firstText);
    DBGrid1->setColumnColors(1, first, firstText);
    DBGrid1->setColumnColors(5, view ? look::kGreen : look::kAqua,
                             view ? look::kWhite : look::kBlack);
    DBGrid1->setColumnColors(6, view ? look::kBlue : look::kAqua,
                             view ? look::kAqua : look::kBlack);

    QAction* mine = view ? mmView_Mode_View : mmView_Mode_Edit;
    QAction* other = view ? mmView_Mode_Edit : mmView_Mode_View;
    mmView_Mode->setDefaultAction(mine);
    other->setChecked(false);
    mine->setChecked(true);
    other->setShortcut(QKeySequence(Qt::Key_F9));
    mine->setShortcut({});

    if (view)
        Edit1_Famili->setFocus();
    else
        DBGrid1->setFocus();
}

// --- Help ---------------------------------------------------------------------------------

void TLambreyaForm::mmHelp_ContentsClick() {
    QWidget* owner = QApplication::activeWindow() ? QApplication::activeWindow() : this;
    m_helpViewer->showTopics(kHelpFile, owner);
}

void TLambreyaForm::requestContextHelp(QWidget* control) {
    if (const int context = helpContextFor(control))
        m_helpViewer->showContext(kHelpFile, context, this);
}

bool TLambreyaForm::event(QEvent* event) {
    return guarded(
        [&] {
            if (event->type() == QEvent::WhatsThis) {
                const auto* help = static_cast<QHelpEvent*>(event);
                QWidget* control = childAt(help->pos());
                requestContextHelp(control ? control : this);
                return true;
            }
            return QMainWindow::event(event);
        },
        true);
}

// --- The other commands and the window's life ---------------------------------------------

void TLambreyaForm::mmOptions_InstantSearchClick() {
    mmOptions_InstantSearch->setChecked(!mmOptions_InstantSearch->isChecked());
}

void TLambreyaForm::mmFile_PreviewClick() {
    if (!SearchResForm || !QuickRep1Preview)
        return;
    // The texts as the boxes hold them, even one edited but not yet left.
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        SearchResForm->findLabel(kDirectoryFields[i].filterLabel)->setCaption(m_boxes[i]->text());

    if (QuickRep1Preview->window())
        return;
    // When the preview window closes, the main window is the active one again, with the
    // control that had the focus.
    connectGuarded(
        QuickRep1Preview, &ReportPreview::windowClosed, this,
        [this, hadFocus = QPointer<QWidget>(focusWidget())] {
            if (!isVisible())
                return;
            activateWindow();
            raise();
            if (hadFocus)
                hadFocus->setFocus();
        },
        Qt::SingleShotConnection);
    QuickRep1Preview->preview();
}

void TLambreyaForm::mmFile_ExitClick() {
    Table1.completePendingEdit();
    QCoreApplication::exit(0);
}

void TLambreyaForm::closeEvent(QCloseEvent* event) {
    guarded([&] {
        // A change typed into the grid is posted as the next move would post it; when it
        // cannot be, the error box says why and the window stays open with it.
        event->ignore();
        Table1.completePendingEdit();
        FormClose();
        event->accept();
        // The program ends with its main window, also while the preview window, another
        // top-level window, stands open.
        if (QuickRep1Preview && QuickRep1Preview->window())
            QCoreApplication::exit(0);
    });
}

void TLambreyaForm::showEvent(QShowEvent* event) {
    guarded([&] {
        QMainWindow::showEvent(event);
        if (!std::exchange(m_placed, true))
            centreOnDesktop();
    });
}

void TLambreyaForm::centreOnDesktop() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The desktop of all monitors together; the window with its frame.
    const QRect desktop = screen->virtualGeometry();
    const QSize outer = frameGeometry().size();
    const int left = std::max(0, (desktop.width() - outer.width()) / 2);
    const int top = std::max(0, (desktop.height() - outer.height()) / 2);
    move(desktop.left() + left, desktop.top() + top);
}

} // namespace lambreya
