#pragma once

#include <QLineEdit>

namespace lambreya {

class DBGrid;

// The text a key types into a cell: a printable character without Ctrl or Alt (AltGr, that
// is Ctrl with Alt, types as usual); empty for every other key.
QString typedText(const QKeyEvent* event);

// The grid's cell editor: a one-line editor over the current cell. It takes what code page
// 1251 can hold, at most the field's width in characters, and keeps letter case as typed.
// Keys that move the record, add or delete one, and Enter, Esc and F2 go to the grid
// first; a key that would change the text asks the grid to start the change of the record
// and is dropped when it may not.
class GridCellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit GridCellEditor(DBGrid* grid);

    // The grid's column (logical) it edits.
    int column() const { return m_column; }

    // Shows `text` of `column` in the column's font and colours; the text is unchanged.
    void begin(int column, const QString& text, int maxLength, bool readOnly);

    // The editor's own handling of a key: the key that opened the editor comes here too.
    void typeKey(QKeyEvent* event);

    // Whether a key would change the text (typing, deleting, pasting, cutting, undoing).
    static bool changesText(const QKeyEvent* event);
    // Whether every character of `text` has a byte in code page 1251.
    static bool canHold(const QString& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    DBGrid* m_grid;
    int m_column = -1;
};

} // namespace lambreya
