#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace lambreya {

// The small window that shows how far a print run has come, with its Cancel button.
class PrintProgressWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr QSize kClientSize{149, 97};

    explicit PrintProgressWindow(QWidget* parent = nullptr);

    QProgressBar* progressBar() const { return m_bar; }
    QLabel* progressText() const { return m_text; }
    QPushButton* cancelButton() const { return m_cancel; }

    // The run reports `percent`: only multiples of 5 move the bar and change the text.
    void showProgress(int percent);
    bool cancelled() const { return m_cancelled; }

Q_SIGNALS:
    // Cancel was pressed (or Esc, or the close box): the run is to stop after the current
    // record, printing what it composed.
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cancel();

    QProgressBar* m_bar;
    QLabel* m_text;
    QPushButton* m_cancel;
    bool m_cancelled = false;
};

} // namespace lambreya
