#include "report/print_progress_window.h"

#include "report/window_placement.h"

#include "data/guarded.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace lambreya {

PrintProgressWindow::PrintProgressWindow(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_bar(new QProgressBar(this))
    , m_text(new QLabel(this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("PrintProgressWindow"));
    setWindowTitle(QStringLiteral("Printing progress"));
    setFixedSize(kClientSize);

    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_bar->setAccessibleName(QStringLiteral("Printing progress"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setGeometry(16, 18, 114, 16);

    m_text->setObjectName(QStringLiteral("ProgressText"));
    m_text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_text->setGeometry(0, 44, 145, m_text->fontMetrics().height());

    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    m_cancel->setGeometry(36, 60, 75, 25);
    m_cancel->setDefault(true);
    connectGuarded(m_cancel, &QPushButton::clicked, this, &PrintProgressWindow::cancel);

    centreFrameOnScreen(*this, kClientSize);
}

void PrintProgressWindow::showProgress(int percent) {
    if (percent % 5 != 0)
        return;
    m_bar->setValue(percent);
    // The number, "% " and " Completed": two blanks stand between them.
    m_text->setText(QString::number(percent) + QStringLiteral("% ") + QStringLiteral(" Completed"));
}

void PrintProgressWindow::cancel() {
    m_cancelled = true;
    Q_EMIT cancelRequested();
}

void PrintProgressWindow::closeEvent(QCloseEvent* event) {
    // Only the end of the run closes the window; its close box counts as Cancel.
    event->ignore();
    guarded([this] { cancel(); });
}

void PrintProgressWindow::keyPressEvent(QKeyEvent* event) {
    // Esc cancels the run rather than closing the window under it.
    if (event->key() == Qt::Key_Escape) {
        guarded([this] { cancel(); });
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace lambreya
