#pragma once

#include <QFrame>
#include <QLabel>

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

// ControlBar1: the maroon strip along the bottom edge, holding one band with a raised
// frame and a grip at its left edge. Dragging the grip moves the band along the strip.
class ControlBar : public QFrame {
    Q_OBJECT

public:
    explicit ControlBar(QWidget* parent);
    static constexpr int kHeight = 24;

    // The band; what it holds is placed on it by its owner.
    QFrame* band() const { return m_band; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* m_band;
    int m_grabX = -1; // where the grip was taken, in the band; -1 while not dragging
};

} // namespace lambreya
