#pragma once

#include "clicktracker.h"
#include "colour.h"
#include "picture.h"

#include <QWidget>

namespace common {

// A box with a single-line border and a background colour that can hold a picture of its own
// and other controls. Controls inside it are placed from the inner edge of its border.
class PictureBox final : public QWidget {
    Q_OBJECT

public:
    static constexpr int borderWidth = 1;

    explicit PictureBox(QWidget *parent = nullptr);

    ColourValue background() const { return m_background; }
    void setBackground(ColourValue colour);
    Picture picture() const { return m_picture; }
    void setPicture(const Picture &picture);
    // Where a control at (x, y) of the box's inside goes in widget coordinates.
    QRect insideRect(const QRect &rect) const { return rect.translated(borderWidth, borderWidth); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ColourValue m_background = systemWindowBackground;
    Picture m_picture;
    ClickTracker m_click;
};

} // namespace common
