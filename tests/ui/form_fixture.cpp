#include "form_fixture.h"

#include "../data/directory_fixture.h"
#include "data/cp1251.h"

#include <QKeyEvent>
#include <QLabel>

namespace lambreya::test {

Directory directoryOf(std::initializer_list<std::vector<std::string>> rows) {
    return makeDirectory(rows);
}

void FormTest::SetUp() {
    m_help.setHelpFolder(QStringLiteral(LAMBREYA_SOURCE_DIR "/docs/help"));
    takeEscapedErrors();
}

void FormTest::TearDown() {
    m_help.quit();
    m_form.reset();
    const std::vector<std::string> left = takeEscapedErrors();
    EXPECT_TRUE(left.empty()) << "an error nobody looked at: " << left.front();
}

void FormTest::openWindow(Directory directory) {
    m_form = std::make_unique<TLambreyaForm>(&m_help);
    m_form->Table1.openDirectory(std::move(directory));
    openWindowClosed();
}

void FormTest::openWindowClosed() {
    if (!m_form)
        m_form = std::make_unique<TLambreyaForm>(&m_help);
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    m_form->Edit1_Famili->setFocus();
}

void FormTest::press(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = focus() ? focus() : m_form.get();
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

void FormTest::type(const QString& text) {
    // As a keyboard types them: a key press carrying the character, then its release.
    for (QChar c : text) {
        const int key = c.toUpper().unicode();
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(focus(), &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(focus(), &up);
    }
}

std::string FormTest::current(int field) const {
    return cp1251::toUtf8(m_form->Table1.fieldText(field));
}

std::string FormTest::status() const {
    return m_form->Label2->text().toStdString();
}

} // namespace lambreya::test
