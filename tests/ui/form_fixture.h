#pragma once

#include "../data/directory_fixture.h"
#include "data/directory.h"
#include "qt_test_support.h"
#include "test_text.h"
#include "ui/data_source.h"
#include "ui/db_grid.h"
#include "ui/help_viewer.h"
#include "ui/lambreya_form.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace lambreya::test {

// The seven standard fields filled from UTF-8 rows.
Directory directoryOf(std::initializer_list<std::vector<std::string>> rows);

// A main window on the offscreen platform over a directory in memory, shown and active,
// the caret in the surname box.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void openWindow(Directory directory);
    // A window whose record set could not be opened.
    void openWindowClosed();

    TLambreyaForm& form() { return *m_form; }
    RecordSet& table() { return m_form->Table1; }
    DBGrid& grid() { return *m_form->DBGrid1; }

    // Keys go where the focus is, as the keyboard's do.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(const QString& text);
    QWidget* focus() const { return QApplication::focusWidget(); }

    std::string current(int field = 0) const;
    std::string status() const;

    HelpViewer m_help;
    std::unique_ptr<TLambreyaForm> m_form;
};

} // namespace lambreya::test
