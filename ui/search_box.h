#pragma once

#include <QLineEdit>

#include <optional>

namespace lambreya {

class SearchBox;

// The window's handlers that the seven boxes share. A key-down or character handler
// consumes what it sets to 0. The exit handler runs when a box loses the focus to another
// control of its window.
class SearchBoxHandlers {
public:
    virtual ~SearchBoxHandlers() = default;
    virtual void Edit1_FamiliKeyDown(SearchBox* sender, int& key) = 0;
    virtual void Edit1_FamiliKeyPress(SearchBox* sender, int& key) = 0;
    virtual void Edit1_FamiliKeyUp(SearchBox* sender, int key) = 0;
    virtual void Edit1_FamiliExit(SearchBox* sender) = 0;
};

// One of the seven search boxes: a single line that turns every letter into a capital,
// takes only what code page 1251 can hold, selects its whole text when entered other than
// by a mouse click, and keeps a mark of changes made by the user since the mark was last
// taken.
//
// Its key events go to the window's handlers: a press to the key-down handler, then, for a
// key that types a character, to the character handler, and only what neither consumed to
// the box itself; a release to the key-up handler, once per key that was pressed in a box
// of this window. A held key repeats: the releases of its repeats are not handed on, also
// when the windowing system fails to mark them, since a release is handed on only after
// the events already waiting, and a press of the same key at the same moment makes it a
// repeat. A press that went to another window (the Enter that closed an error box) has no
// release here.
// Losing the focus to another control of the same window (a box or the grid) is its exit;
// a menu, a popup or another window taking the keyboard is not.
class SearchBox : public QLineEdit {
    Q_OBJECT

public:
    SearchBox(int tabOrder, QWidget* parent);

    int tabOrder() const { return m_tabOrder; }
    void setHandlers(SearchBoxHandlers* handlers) { m_handlers = handlers; }

    // The modified mark: set by every change the user makes, cleared only by taking it.
    bool modifiedMark() const { return m_modifiedMark; }
    bool takeModifiedMark();

    // The whole text is selected; an empty box always counts.
    bool wholeTextSelected() const;

    // The key's virtual-key code as the handlers know it; kOtherKey for the keys they never
    // act on.
    static int virtualKey(int qtKey);
    static constexpr int kOtherKey = 0xFFFF;
    // The character a key types as the character handler sees it; 0 for none.
    static int typedCharacter(const QKeyEvent* event);

protected:
    // Every event of the box, and so each handler below, is entered through the one guard.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // A release waiting for the events queued behind it.
    struct PendingRelease {
        int key = 0;        // as heldKeyOf gives it
        int virtualKey = 0; // for the handler
        quint64 timestamp = 0;
    };

    static int heldKeyOf(const QKeyEvent* event);
    void handPendingRelease();

    int m_tabOrder;
    bool m_modifiedMark = false;
    std::optional<PendingRelease> m_pendingRelease;
    SearchBoxHandlers* m_handlers = nullptr;
};

} // namespace lambreya
