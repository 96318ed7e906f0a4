#pragma once

#include "data/field_def.h"
#include "data/record_set.h"
#include "search/box_keys.h"
#include "search/filter_compiler.h"
#include "ui/search_box.h"

#include <QMainWindow>

#include <array>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;

namespace lambreya {

class CaptionLabel;
class ControlBar;
class DBGrid;
class DataSource;
class HelpViewer;
class SearchPanel;
class ReportPreview;
class TSearchResForm;

// LambreyaForm, the main window: the search panel with its caption and seven boxes, the
// grid of the directory, the status strip and the menu. The components are public under
// their own names, as the window's layout lists them. Its event handlers carry the
// behaviour; the shell supplies FormCreate and FormClose.
//
// The owner closes Table1 before destroying the window, where a failed write of the data
// file can still be reported.
class TLambreyaForm : public QMainWindow, public SearchBoxHandlers {
    Q_OBJECT

public:
    // The client area, without the menu bar.
    static constexpr int kClientWidth = 639;
    static constexpr int kClientHeight = 507;
    static inline const QString kHelpFile = QStringLiteral("Kalvest.hlp");
    static inline const QString kSearchCaption = QStringLiteral("          ПОИСК          ");
    static inline const QString kEditCaption = QStringLiteral("      РЕДАКТИРОВАНИЕ     ");
    static inline const QString kStatusHint = QStringLiteral("Нажмите F1 для вызова справки");

    explicit TLambreyaForm(HelpViewer* helpViewer, QWidget* parent = nullptr);
    ~TLambreyaForm() override;

    // --- Components ---------------------------------------------------------------------
    RecordSet Table1{"Table1"};
    DataSource* DataSource1 = nullptr;
    DBGrid* DBGrid1 = nullptr;
    SearchPanel* Panel1 = nullptr;
    CaptionLabel* Label1 = nullptr;
    SearchBox* Edit1_Famili = nullptr;
    SearchBox* Edit2_Initsi = nullptr;
    SearchBox* Edit3_Street = nullptr;
    SearchBox* Edit4_Home = nullptr;
    SearchBox* Edit5_Room = nullptr;
    SearchBox* Edit6_Tele = nullptr;
    SearchBox* Edit7_Prim = nullptr;
    ControlBar* ControlBar1 = nullptr;
    QLabel* Label2 = nullptr;
    // The report form, which the shell creates right after this window and destroys first.
    TSearchResForm* SearchResForm = nullptr;
    // The preview and print runs of SearchResForm's report, made and ended with it.
    ReportPreview* QuickRep1Preview = nullptr;

    QMenu* mmFile = nullptr;
    QAction* mmFile_Preview = nullptr;
    QAction* N4 = nullptr;
    QAction* mmFile_Exit = nullptr;
    QMenu* mmView = nullptr;
    QMenu* mmView_Mode = nullptr;
    QAction* mmView_Mode_View = nullptr;
    QAction* mmView_Mode_Edit = nullptr;
    QMenu* mmOptions = nullptr;
    QAction* mmOptions_InstantSearch = nullptr;
    QMenu* mmHelp = nullptr;
    QAction* mmHelp_Contents = nullptr;

    // The seven boxes in tab order.
    const std::array<SearchBox*, kDirectoryFieldCount>& searchBoxes() const { return m_boxes; }
    // The view mode holds exactly while its menu item carries the radio mark.
    bool viewMode() const;

    // --- Handlers -----------------------------------------------------------------------
    virtual void FormCreate() {}
    virtual void FormClose() {}
    void Label1Click();
    void Edit1_FamiliKeyDown(SearchBox* sender, int& key) override;
    void Edit1_FamiliKeyPress(SearchBox* sender, int& key) override;
    void Edit1_FamiliKeyUp(SearchBox* sender, int key) override;
    void Edit1_FamiliExit(SearchBox* sender) override;
    void mmFile_PreviewClick();
    // Posts a pending change of the grid first; when that fails, the program goes on.
    void mmFile_ExitClick();
    void mmView_Mode_ViewClick();
    void mmView_Mode_EditClick();
    void mmOptions_InstantSearchClick();
    void mmHelp_ContentsClick();

    // The platform asks for help on a control: the topic of the first non-zero help
    // context from the control up.
    void requestContextHelp(QWidget* control);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ApplySearchFilter();
    void FocusNextSearchBox(SearchBox* box);
    void FocusPreviousSearchBox(SearchBox* box);
    // Carries out what a key in a search box calls for.
    void actOnBoxKey(SearchBox* sender, BoxKeyAction action);
    // Tells assistive technology, through the box, which record Up or Down reached.
    void announceCurrentRecord(SearchBox* box);

    void createComponents();
    void createSearchBoxes();
    void createGrid();
    void createStatusStrip();
    void createMenu();
    void applyMode(bool view);
    void centreOnDesktop();

    HelpViewer* m_helpViewer;
    FilterCompiler m_compiler;
    std::array<SearchBox*, kDirectoryFieldCount> m_boxes{};
    QActionGroup* m_modeGroup = nullptr;
    bool m_placed = false;
};

} // namespace lambreya
