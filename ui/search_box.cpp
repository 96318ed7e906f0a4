#include "ui/search_box.h"

#include "data/cp1251.h"
#include "data/guarded.h"
#include "search/box_keys.h"
#include "search/box_text.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>

#include <limits>

namespace lambreya {
namespace {

// Turns letters into capitals as they come in, typed or pasted, and refuses characters
// that code page 1251 lacks.
class CapitalsValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        return guarded(
            [&] {
                for (const QChar c : input) {
                    if (!cp1251::canEncode(c))
                        return Invalid;
                }
                input = searchBoxCapitals(input);
                return Acceptable;
            },
            Invalid);
    }
};

} // namespace

SearchBox::SearchBox(int tabOrder, QWidget* parent)
    : QLineEdit(parent)
    , m_tabOrder(tabOrder) {
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new CapitalsValidator(this));
    connectGuarded(this, &QLineEdit::textEdited, this, [this] { m_modifiedMark = true; });
}

bool SearchBox::takeModifiedMark() {
    const bool was = m_modifiedMark;
    m_modifiedMark = false;
    return was;
}

bool SearchBox::wholeTextSelected() const {
    return text().isEmpty() || selectedText().size() == text().size();
}

int SearchBox::virtualKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Down:
        return kKeyDown;
    case Qt::Key_F2:
        return kKeyF2;
    case Qt::Key_Backspace:
        return kCharBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kCharEnter;
    case Qt::Key_Escape:
        return kCharEscape;
    default:
        // A code of its own that no handler acts on; never 0, which means consumed.
        return kOtherKey;
    }
}

int SearchBox::typedCharacter(const QKeyEvent* event) {
    // With Shift, Ctrl or Alt held these keys still stand for the same character.
    switch (event->key()) {
    case Qt::Key_Backspace:
        return kCharBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kCharEnter;
    case Qt::Key_Escape:
        return kCharEscape;
    default:
        return event->text().isEmpty() ? 0 : event->text().front().unicode();
    }
}

bool SearchBox::event(QEvent* event) {
    return guarded([&] { return QLineEdit::event(event); }, true);
}

void SearchBox::keyPressEvent(QKeyEvent* event) {
    m_pressedElsewhere = false;
    if (m_handlers) {
        int key = virtualKey(event->key());
        m_handlers->Edit1_FamiliKeyDown(this, key);
        if (key == 0) {
            event->accept();
            return;
        }
        int character = typedCharacter(event);
        if (character != 0) {
            m_handlers->Edit1_FamiliKeyPress(this, character);
            if (character == 0) {
                event->accept();
                return;
            }
        }
    }
    // A letter with Alt held is a command, not text: it types nothing. (Alt with Ctrl is
    // AltGr on many keyboards and types as usual.)
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::ControlModifier) &&
        !event->text().isEmpty() && event->text().front().isPrint()) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SearchBox::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    // A held key repeats its character but counts as released once, at the end.
    if (m_handlers && !event->isAutoRepeat() && !m_pressedElsewhere)
        m_handlers->Edit1_FamiliKeyUp(this, virtualKey(event->key()));
}

void SearchBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason)
        m_pressedElsewhere = true;
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        selectAll();
        break;
    default:
        // A click keeps the caret where it fell; coming back from a menu or another
        // window keeps the selection as it was.
        break;
    }
}

void SearchBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
        m_pressedElsewhere = true;
        return;
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return;
    default:
        m_pressedElsewhere = false;
        break;
    }
    // The control that takes the focus has it already.
    const QWidget* next = QApplication::focusWidget();
    if (m_handlers && next && next != this && next->window() == window())
        m_handlers->Edit1_FamiliExit(this);
}

} // namespace lambreya
