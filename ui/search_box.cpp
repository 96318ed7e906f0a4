#include "ui/search_box.h"

#include "data/cp1251.h"
#include "data/guarded.h"
#include "search/box_keys.h"
#include "search/box_text.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QValidator>

#include <algorithm>
#include <limits>
#include <vector>

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

// Keys pressed in a search box whose release has not come, with the window of the box.
struct HeldKey {
    int key;
    const QWidget* window;
};

std::vector<HeldKey>& heldKeys() {
    static std::vector<HeldKey> keys;
    return keys;
}

// Sees every key press of the application. A key pressed in another window than the one it
// was held in was let go meanwhile, its release taken there: a release that comes to a box
// now belongs to that other press. This needs no focus events, which a desktop without a
// window manager may never send when a box closes.
class KeyPressWatcher : public QObject {
public:
    using QObject::QObject;

    static void install() {
        static QPointer<KeyPressWatcher> watcher;
        if (!watcher && qApp) {
            watcher = new KeyPressWatcher(qApp);
            qApp->installEventFilter(watcher);
        }
    }

    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && receiver->isWidgetType()) {
            const QWidget* window = static_cast<QWidget*>(receiver)->window();
            const auto* key = static_cast<const QKeyEvent*>(event);
            const int held = key->nativeScanCode() != 0 ? int(key->nativeScanCode()) : key->key();
            std::erase_if(heldKeys(),
                          [&](const HeldKey& h) { return h.key == held && h.window != window; });
        }
        return false;
    }
};

} // namespace

SearchBox::SearchBox(int tabOrder, QWidget* parent)
    : QLineEdit(parent)
    , m_tabOrder(tabOrder) {
    KeyPressWatcher::install();
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

int SearchBox::heldKeyOf(const QKeyEvent* event) {
    return event->nativeScanCode() != 0 ? int(event->nativeScanCode()) : event->key();
}

void SearchBox::handPendingRelease() {
    if (!m_pendingRelease)
        return;
    const int key = m_pendingRelease->virtualKey;
    m_pendingRelease.reset();
    if (m_handlers)
        m_handlers->Edit1_FamiliKeyUp(this, key);
}

bool SearchBox::event(QEvent* event) {
    return guarded([&] { return QLineEdit::event(event); }, true);
}

void SearchBox::keyPressEvent(QKeyEvent* event) {
    const int held = heldKeyOf(event);
    if (m_pendingRelease) {
        // The windowing system repeats a held key as a release and a press at one moment.
        const bool repeat =
            m_pendingRelease->key == held &&
            (event->isAutoRepeat() ||
             (event->timestamp() != 0 && event->timestamp() == m_pendingRelease->timestamp));
        if (repeat)
            m_pendingRelease.reset();
        else
            handPendingRelease();
    }
    std::erase_if(heldKeys(), [&](const HeldKey& h) { return h.key == held; });
    heldKeys().push_back({held, window()});
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
    if (!m_handlers || event->isAutoRepeat())
        return;
    const int held = heldKeyOf(event);
    auto& keys = heldKeys();
    const auto found = std::find_if(keys.begin(), keys.end(), [&](const HeldKey& h) {
        return h.key == held && h.window == window();
    });
    if (found == keys.end())
        return; // pressed elsewhere
    keys.erase(found);
    handPendingRelease();
    m_pendingRelease = PendingRelease{held, virtualKey(event->key()), event->timestamp()};
    QMetaObject::invokeMethod(this, &SearchBox::handPendingRelease, Qt::QueuedConnection);
}

void SearchBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
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
    handPendingRelease(); // a release in this box comes before what leaving it does
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return;
    default:
        break;
    }
    // The control that takes the focus has it already.
    const QWidget* next = QApplication::focusWidget();
    if (m_handlers && next && next != this && next->window() == window())
        m_handlers->Edit1_FamiliExit(this);
}

} // namespace lambreya
