#pragma once

#include <QFrame>
#include <QLabel>
#include <QToolBar>

// The plain parts of the main window's layout.
namespace lambreya {

// Panel1: a maroon panel with a single-line border around a raised bevel.
class SearchPanel : public QFrame {
    Q_OBJECT

public:
    explicit SearchPanel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Label1: a caption that answers a mouse click. An underlined caption is underlined along
// its whole text, the blanks at its ends included.
class CaptionLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

// ControlBar1: the maroon strip along the bottom edge, with one band that the user drags
// along the strip by its grip.
class ControlBar : public QToolBar {
    Q_OBJECT

public:
    explicit ControlBar(QWidget* parent);
    static constexpr int kHeight = 24;
};

} // namespace lambreya
