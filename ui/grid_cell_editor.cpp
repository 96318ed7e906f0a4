#include "ui/grid_cell_editor.h"

#include "data/cp1251.h"
#include "data/guarded.h"
#include "ui/db_grid.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

namespace lambreya {
namespace {

// Takes only characters that code page 1251 holds, and no control characters (a pasted
// line break, say); letters stay as they are.
class CellTextValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        return guarded(
            [&] {
                for (const QChar c : input) {
                    if (c.unicode() < 0x20 || c.unicode() == 0x7F || !cp1251::canEncode(c))
                        return Invalid;
                }
                return Acceptable;
            },
            Invalid);
    }
};

} // namespace

QString typedText(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    if (ctrl != alt || modifiers.testFlag(Qt::MetaModifier))
        return {};
    const QString text = event->text();
    if (text.isEmpty() || !text.front().isPrint())
        return {};
    return text;
}

GridCellEditor::GridCellEditor(DBGrid* grid)
    : QLineEdit(grid->viewport())
    , m_grid(grid) {
    setObjectName(QStringLiteral("CellEditor"));
    setFrame(false);
    // Like the grid, never reached by Tab from the window's other controls.
    setFocusPolicy(Qt::ClickFocus);
    setValidator(new CellTextValidator(this));
    // Changes come from the keyboard only, where the grid can start the change first.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setDragEnabled(false);
    hide();
}

void GridCellEditor::begin(int column, const QString& text, int maxLength, bool readOnly) {
    m_column = column;
    const GridColumn& look = m_grid->column(column);
    setFont(m_grid->cellFont(column));
    QPalette p = palette();
    p.setColor(QPalette::Base, look.background.isValid() ? look.background : look::kWhite);
    p.setColor(QPalette::Text, look.text.isValid() ? look.text : look::windowText());
    setPalette(p);
    setAlignment((look.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
    setMaxLength(maxLength);
    setReadOnly(readOnly);
    setText(text);
    setModified(false);
}

bool GridCellEditor::canHold(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return cp1251::canEncode(c); });
}

bool GridCellEditor::changesText(const QKeyEvent* event) {
    static const QKeySequence::StandardKey kChanging[] = {
        QKeySequence::Paste,
        QKeySequence::Cut,
        QKeySequence::Undo,
        QKeySequence::Redo,
        QKeySequence::Delete,
        QKeySequence::Backspace,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteCompleteLine,
    };
    for (const QKeySequence::StandardKey key : kChanging) {
        if (event->matches(key))
            return true;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return true;
    return !typedText(event).isEmpty();
}

bool GridCellEditor::event(QEvent* event) {
    return guarded(
        [&] {
            // Tab and Shift+Tab move between the grid's cells, not the focus between controls.
            if (event->type() == QEvent::KeyPress) {
                auto* key = static_cast<QKeyEvent*>(event);
                if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
                    m_grid->editorKey(key)) {
                    key->accept();
                    return true;
                }
            }
            return QLineEdit::event(event);
        },
        true);
}

void GridCellEditor::keyPressEvent(QKeyEvent* event) {
    guarded([&] {
        if (m_grid->editorKey(event)) {
            event->accept();
            return;
        }
        typeKey(event);
    });
}

void GridCellEditor::typeKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    // A letter with Alt held is a menu command, not text.
    if (modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::ControlModifier) &&
        !event->text().isEmpty() && event->text().front().isPrint()) {
        event->ignore();
        return;
    }
    if (changesText(event)) {
        const QString typed = typedText(event);
        // A character the code page lacks, or a change the record or field refuses, is
        // dropped without a word.
        if (isReadOnly() || !canHold(typed) || !m_grid->startChange()) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void GridCellEditor::inputMethodEvent(QInputMethodEvent* event) {
    guarded([&] {
        const bool changes = !event->commitString().isEmpty() || event->replacementLength() > 0;
        if (changes && (isReadOnly() || !m_grid->startChange())) {
            event->accept();
            return;
        }
        QLineEdit::inputMethodEvent(event);
    });
}

void GridCellEditor::focusOutEvent(QFocusEvent* event) {
    guarded([&] {
        QLineEdit::focusOutEvent(event);
        m_grid->focusLeft();
    });
}

} // namespace lambreya
