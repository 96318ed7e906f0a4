#pragma once

#include <QLineEdit>

namespace lambreya {

class SearchBox;

// The window's handlers that the seven boxes share. A key-down or character handler
// consumes what it sets to 0.
class SearchBoxHandlers {
public:
    virtual ~SearchBoxHandlers() = default;
    virtual void Edit1_FamiliKeyDown(SearchBox* sender, int& key) = 0;
    virtual void Edit1_FamiliKeyPress(SearchBox* sender, int& key) = 0;
    virtual void Edit1_FamiliKeyUp(SearchBox* sender, int key) = 0;
};

// One of the seven search boxes: a single line that turns every letter into a capital,
// takes only what code page 1251 can hold, selects its whole text when entered other than
// by a mouse click, and keeps a mark of changes made by the user since the mark was last
// taken.
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
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    int m_tabOrder;
    bool m_modifiedMark = false;
    SearchBoxHandlers* m_handlers = nullptr;
};

} // namespace lambreya
